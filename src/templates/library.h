// SPDX-License-Identifier: MIT
#pragma once

// The template library's operations on plain values, over a connection to the library its
// owner names (library_owner.h): what the browser and its dialogs do to TEMP_FIELD, without
// a window. It reads the file the owner reads, and each write goes through the owner
// (LibraryConnection::Write), so it changes that same file, or the user's copy the first
// change makes of a shared one. Each write runs in one transaction: it is done whole or
// not at all. The engine's refusals reach the caller
// as jet::Error. A write that names an entry first checks, inside its transaction, that the
// entry is still there (the top level, 0, always is); when it is not, it throws EntryGone
// and writes nothing.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>

#include "templates/library_owner.h"
#include "templates/store.h"

namespace templates {

// A write named an entry (a parent, a target, the entry itself) that is no longer in the
// library, deleted by another program meanwhile: nothing was written.
class EntryGone : public std::runtime_error {
  public:
    explicit EntryGone(const QString& number)
        : std::runtime_error("entry " + number.toStdString() + " is no longer in the library"),
          m_number(number) {}
    const QString& number() const { return m_number; }

  private:
    QString m_number;
};

// What the field editor was opened for.
enum class EditorMode { kAdd, kEdit, kCopy };

// A template field as the field editor hands it over: the attribute and the IME as their
// codes ("T", "1"), an empty text where the editor has none.
struct FieldDraft {
    QString fieldId;
    QString name;
    QString attr;
    QString size;
    QString ime;
};

// Why the field editor does not take a draft, in the order it looks.
enum class FieldRefusal {
    kIncomplete,  // no ID, no name or no attribute
    kReservedId,  // the ID is a reserved word
    kDuplicate,   // another template field has the ID or the name
};

// What a drop of one node on another does.
enum class DropVerdict {
    kNothing,  // no target, the same text (the node itself included), or the root dragged
    kRefused,  // a folder of the moved node's name lies above the target
    kMove,     // the entry is moved (possibly by no statement at all) and the tree reloads
};

// One end of a drop: the node's key and text.
struct DropNode {
    QString key;
    QString name;
};

// Where a moved entry goes: before the field `key`, in that field's folder `parent`; or at
// the end of the folder (or root) `key`.
struct DropTarget {
    QString key;
    QString parent;
    bool isField = false;
};

class Library {
  public:
    explicit Library(LibraryConnection& library) : m_library(library) {}

    // One entry's row; throws jet::Error when there is none.
    TemplateEntry entry(const QString& number);
    // The folder an entry added beside `selected` goes into: `selected` itself when it is a
    // folder, else the folder that holds it.
    QString parentFolder(const QString& selected);

    // Told the number of entries walked so far, now and then during a long walk.
    using Progress = std::function<void(int entries)>;

    // Whether a fixed template field lies anywhere below `folder`. Each level stops at its
    // first fixed field; the walk visits every entry once and never follows entry 0 (the
    // top level) down.
    bool holdsFixedField(const QString& folder);
    bool holdsFixedField(const QString& folder, const Progress& progress);
    // Deletes `folder` and everything below it, children before parents, walking as above.
    void deleteFolder(const QString& folder);
    void deleteFolder(const QString& folder, const Progress& progress);
    // Deletes one entry.
    void deleteEntry(const QString& entry);

    // The field editor's checks on OK: a complete draft with a free ID (form), and then
    // no other template field with its ID or name (the whole check). In edit mode the rows
    // with the field's own ID (`ownId`) are not others.
    static std::optional<FieldRefusal> formRefusal(const FieldDraft& draft);
    std::optional<FieldRefusal> refusal(const FieldDraft& draft, EditorMode mode,
                                        const QString& ownId);
    // Adds a template field after the last position of `folder`; returns its number.
    QString addField(const QString& folder, const FieldDraft& draft);
    // Changes template field `entry` to the draft.
    void editField(const QString& entry, const FieldDraft& draft);

    // Adds a template folder below `parent` (0: the top level); returns its number.
    QString addFolder(const QString& parent, const QString& name);
    // A new name from the folder editor, and one typed into the tree in place.
    void renameFolder(const QString& folder, const QString& name);
    void rename(const QString& entry, const QString& name);

    // Whether `moved` may be dropped on `target`, by their texts; `foldersAbove` are the
    // texts of the folders from the target's parent up to, not including, the root.
    static DropVerdict judgeDrop(const DropNode& moved, const DropNode& target,
                                 const QStringList& foldersAbove);
    // Moves `moved`: before a field, room is made at its position and the entry takes it;
    // into a folder, the entry takes the folder's highest position plus one (1 in an empty
    // folder); either way the folder becomes its parent. A target without a position gets
    // nothing sent.
    void move(const QString& moved, const DropTarget& target);

  private:
    jet::Connection& reading() { return m_library.connection(); }

    LibraryConnection& m_library;
};

}  // namespace templates
