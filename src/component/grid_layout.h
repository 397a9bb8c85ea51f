// SPDX-License-Identifier: MIT
#pragma once

namespace controls {
class FlexGrid;
}

namespace component {

// Lays the wizard's empty grid out: its cells (ten columns and the headings), then what the
// window shows of them: the drop-down lists, the mail, FAX and marker columns hidden, widths.
void layOutGrid(controls::FlexGrid& fg1);

}  // namespace component
