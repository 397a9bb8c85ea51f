// SPDX-License-Identifier: MIT
#include "component/grid_layout.h"

#include <iterator>

#include "controls/flex_grid.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/design_grid.h"
#include "wizard/grid_columns.h"

namespace component {

namespace {

// Widths in twips, column 0 to 7.
constexpr int kColumnWidthsTwips[] = {300, 1200, 960, 960, 795, 705, 960, 960};

}  // namespace

void layOutGrid(controls::FlexGrid& fg1) {
    using namespace wizard;
    fg1.setCols(kGridColumns);
    setupGridModel(*fg1.gridModel());

    fg1.setColComboList(kColAttr, MsgBox_Const::attributeList());
    fg1.setColComboList(kColIme, MsgBox_Const::imeList());
    fg1.setColComboList(kColMail, MsgBox_Const::mailList());
    fg1.setColComboList(kColFax, MsgBox_Const::faxList());

    fg1.setColHidden(kColReadOnly, true);
    fg1.setColHidden(kColExisting, true);
    fg1.setColHidden(kColMail, true);
    fg1.setColHidden(kColFax, true);

    for (int c = 0; c < static_cast<int>(std::size(kColumnWidthsTwips)); ++c) {
        fg1.setColWidth(c, kColumnWidthsTwips[c]);
    }
}

}  // namespace component
