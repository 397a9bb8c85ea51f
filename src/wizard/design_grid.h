#pragma once

namespace controls {
class FlexGrid;
}

namespace wizard {

// Lays the empty grid out: headings, drop-down lists, ten columns, the mail, FAX and
// marker columns hidden, widths.
void setupGrid(controls::FlexGrid& fg1);

// Writes 1, 2, 3, ... into column 0 of the data rows. Runs after every change of rows, so
// it also greys the text of read-only rows that came from a fixed template (existing-field
// rows have their own background instead).
void renumberRows(controls::FlexGrid& fg1);

}  // namespace wizard
