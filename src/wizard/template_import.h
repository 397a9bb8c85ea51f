#pragma once

#include <QString>

namespace controls {
class FlexGrid;
class KeyedTree;
}  // namespace controls

namespace wizard {

// What the caller does with the remove command after an import.
enum class RemoveCommand {
    kLeave,   // no grid row is selected: leave the command as it is
    kEnable,  // at least one grid row is selected
};

// Copies the template fields selected in `tree` into the design grid, in library order
// (by parent folder, then position), whatever order they were selected in. Selected
// folders and the root add nothing.
//
// The rows go directly after the first selected grid row, or after the last row when
// none is selected; when that row is an existing field they go to the end instead. The
// row they follow is deselected; the new rows are selected when several tree nodes are
// selected, otherwise the row after it becomes the current row.
//
// Reads the library on a connection of its own, closed again at the end. When the
// library cannot be read, "データベースがエラーです" is shown once and the import ends;
// rows added before that stay.
RemoveCommand importTemplates(controls::FlexGrid& fg1, const controls::KeyedTree& tree,
                              const QString& templateConnectionString);

}  // namespace wizard
