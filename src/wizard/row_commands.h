#pragma once

// The commands that arrange the design grid's rows. Each ends with the row renumbering.
// Existing-field rows stay where they are: they cannot move, be removed, or have a row moved
// above them.

namespace controls {
class FlexGrid;
}

namespace wizard {

// Inserts a typed row ("文字", IME "ON") after the first selected row, or after the last row
// when nothing is selected; below an existing field it goes to the end instead. The new row
// becomes the current row.
void addRow(controls::FlexGrid& fg1);

// Moves the selected rows up by one; refused with a message when the first of them is row 1
// or below an existing field, or when nothing is selected.
void moveUp(controls::FlexGrid& fg1);

// Moves the selected rows down by one, except those in a run that already ends at the last
// row; refused with a message when the first of them is the last row or nothing is selected.
void moveDown(controls::FlexGrid& fg1);

// Removes the selected rows, unless the first of them is an existing field.
void removeRows(controls::FlexGrid& fg1);

}  // namespace wizard
