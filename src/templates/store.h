// SPDX-License-Identifier: MIT
#pragma once

// The template library's store: every statement sent to TEMP_FIELD, one function each,
// over a connection the caller holds. Values go in as they stand, never escaped.

#include <QString>

#include "jet/connection.h"

namespace templates {

// One TEMP_FIELD row as read; a null is an empty text.
struct TemplateEntry {
    QString number;  // FIELD_NO, the key of its tree node
    QString parent;  // P_FIELD_NO, 0 at the top level
    QString kind;    // "F" folder, "A" field
    QString fieldId;
    QString name;
    QString attr;
    QString size;
    QString sortBy;
    QString ime;
    QString fixedFlag;  // DIS_ALT_FLG
};

// The entry on the current row of a record set of whole rows (the folders, the fields, one
// entry); throws
// jet::Error past the last row.
TemplateEntry entryAt(const jet::Recordset& rs);

// In the arguments, an entry or a parent is an entry number as decimal text (a parent 0 is
// the top level), a position a SORTBY value as text.
class TemplateStore {
  public:
    explicit TemplateStore(jet::Connection& connection) : m_connection(connection) {}

    // Folders by parent, then number; fields by parent, position, number.
    jet::Recordset selectFolders();
    jet::Recordset selectFields();
    // One entry.
    jet::Recordset selectEntry(const QString& entry);
    // Field numbers in library order: by parent, then position.
    jet::Recordset selectFieldNumbers();
    // The children of a folder, and the same with their fixed marks.
    jet::Recordset selectChildren(const QString& parent);
    jet::Recordset selectChildrenWithFixedMark(const QString& parent);
    // The number of the row inserted last, and the same as text.
    jet::Recordset selectMaxFieldNo();
    QString insertedNumber();
    // IDs and names of all template fields.
    jet::Recordset selectFieldIdsAndNames();
    // The positions in a folder, highest first; the position of one entry.
    jet::Recordset selectPositions(const QString& parent);
    jet::Recordset selectPosition(const QString& entry);

    // A new template field; a changed one.
    void insertField(const QString& parent, const QString& fieldId, const QString& name,
                     const QString& attr, const QString& size, const QString& position,
                     const QString& ime);
    void updateField(const QString& fieldId, const QString& name, const QString& attr,
                     const QString& size, const QString& ime, const QString& entry);
    // A new template folder; its new name from the folder editor.
    void insertFolder(const QString& parent, const QString& name);
    void updateFolderName(const QString& name, const QString& entry);
    // A new name typed in the tree.
    void rename(const QString& name, const QString& entry);
    // Deletes one entry.
    void deleteEntry(const QString& entry);
    // Moves: room at a position of a folder, the moved entry's position, its position in an
    // empty folder, its new parent.
    void shiftPositions(const QString& parent, const QString& position);
    void setPosition(const QString& position, const QString& entry);
    void setFirstPosition(const QString& entry);
    void setParent(const QString& parent, const QString& entry);
    // Marks an imported field as fixed.
    void markFixed(const QString& entry);

  private:
    jet::Recordset run(const std::string& statement);

    jet::Connection& m_connection;
};

}  // namespace templates
