#pragma once

namespace controls {
class FlexGrid;
class FlexGridModel;
}  // namespace controls

namespace wizard {

// Lays the empty grid's cells out: ten columns and the headings.
void setupGridModel(controls::FlexGridModel& fg1);

// Lays the empty grid out: its cells as above, then the drop-down lists, the mail, FAX and
// marker columns hidden, widths.
void setupGrid(controls::FlexGrid& fg1);

// Writes 1, 2, 3, ... into column 0 of the data rows. Runs after every change of rows, so
// it also greys the text of read-only rows that came from a fixed template (existing-field
// rows have their own background instead).
void renumberRows(controls::FlexGridModel& fg1);

}  // namespace wizard
