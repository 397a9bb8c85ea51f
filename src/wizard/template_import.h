// SPDX-License-Identifier: MIT
#pragma once

// The template import as a plan over values: the template fields chosen in the tree, read
// from the library, and the grid's rows go in; the rows to insert, the selection afterwards
// and any message come out. The window carries the plan out.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "controls/message.h"
#include "templates/library_owner.h"
#include "templates/store.h"

namespace controls {
class FlexGridModel;
}

namespace wizard {

// The chosen template fields as the library holds them, in library order (by parent folder,
// then position), whatever order they were chosen in.
struct ChosenTemplates {
    std::vector<templates::TemplateEntry> entries;
    // The library could not be read to the end; `entries` holds what was read before.
    bool unreadable = false;
};

// Reads the template fields numbered `fieldNumbers` (the keys of the chosen field nodes) from
// the library `library` reads, on a connection of its own, closed again at the end: the field
// numbers in library order, then each chosen one. Numbers that are no template field are left
// out.
ChosenTemplates readChosenTemplates(const templates::LibraryOwner& library,
                                    const QSet<qint64>& fieldNumbers);

// How many nodes were selected in the tree, folders and the root included.
enum class ChosenNodes { kOne, kSeveral };

// One row to insert: its cells from column 0 (the row number left to the renumbering),
// read-only when its template is fixed.
struct ImportRow {
    int row = 0;  // where it goes, counted when the rows before it are in
    QStringList cells;
    bool fixed = false;
};

struct ImportPlan {
    QList<ImportRow> rows;                     // to insert one after another
    QList<int> selected;                       // the grid's selected rows afterwards, ascending
    std::optional<int> current;                // the row that becomes the current row
    std::optional<controls::Message> message;  // shown once the rows are in
};

// The rows go directly after the first selected grid row (`selected`, ascending), or after
// the last row when none is selected; when that row is an existing field they go to the end
// instead. The row they follow is deselected; the new rows are selected when several tree
// nodes were, or go to the end; otherwise the row after it becomes the current row. A
// template field is copied whatever the grid holds already: duplicates are left to OK's
// checks. An unreadable library gives "データベースがエラーです" after the rows read before.
ImportPlan planImport(const ChosenTemplates& chosen, const controls::FlexGridModel& fg1,
                      const QList<int>& selected, ChosenNodes nodes);

}  // namespace wizard
