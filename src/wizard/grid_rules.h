#pragma once

// The design grid's editing rules: what is repaired after an edit, what follows a move of
// the current cell, and which keys the size cell takes.

namespace controls {
class FlexGrid;
}

namespace wizard {

// Whether the row commands up, down and remove apply to the selected rows.
enum class RowCommands { kDisabled, kEnabled };

// Checks and repairs row `row` after an edit of its column `col`: a size only where the
// attribute takes one, at most 3 digits from 1 to 255 on a text row; no quote in the ID and
// the name; only characters with codes 48 to 122 in the ID. Warns of what it removes.
void afterEditCheck(controls::FlexGrid& fg1, int row, int col);

// The row commands apply when at least one row is selected and none of the selected rows
// is an existing field.
RowCommands rowCommandsFor(const controls::FlexGrid& fg1);

// After the current cell moved to (row, col): the IME list and cell follow the row's
// attribute, and editing is switched on unless the row is read-only or the cell is the
// size of a row whose attribute takes none. Returns what rowCommandsFor says.
RowCommands currentCellChange(controls::FlexGrid& fg1, int row, int col);

// A key typed into the editor of row `row`: while the current cell is the size of a text
// row, anything but a digit, Enter and Backspace is refused with a warning and `key`
// becomes 0.
void sizeKeyFilter(const controls::FlexGrid& fg1, int row, int& key);

}  // namespace wizard
