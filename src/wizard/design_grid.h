// SPDX-License-Identifier: MIT
#pragma once

namespace controls {
class FlexGridModel;
}

namespace wizard {

// Lays the empty grid's cells out: ten columns and the headings. What the window shows of
// them (drop-down lists, hidden columns, widths) is the window's.
void setupGridModel(controls::FlexGridModel& fg1);

// Writes 1, 2, 3, ... into column 0 of the data rows. Runs after every change of rows, so
// it also greys the text of read-only rows that came from a fixed template (existing-field
// rows have their own background instead).
void renumberRows(controls::FlexGridModel& fg1);

}  // namespace wizard
