#include "wizard/design_grid.h"

#include "controls/flex_grid.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/grid_columns.h"

namespace wizard {

void setupGridModel(controls::FlexGridModel& fg1) {
    fg1.setGridCols(kGridColumns);
    fg1.setText(0, kColFieldId, kHeadingFieldId.toString());
    fg1.setText(0, kColFieldName, kHeadingFieldName.toString());
    fg1.setText(0, kColAttr, kHeadingAttr.toString());
    fg1.setText(0, kColSize, kHeadingSize.toString());
    fg1.setText(0, kColIme, kHeadingIme.toString());
    fg1.setText(0, kColMail, kHeadingMail.toString());
    fg1.setText(0, kColFax, kHeadingFax.toString());
}

void setupGrid(controls::FlexGrid& fg1) {
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

void renumberRows(controls::FlexGridModel& fg1) {
    const unsigned int grey = kReadOnlyTextColor.rgba();
    for (int r = 1; r < fg1.gridRows(); ++r) {
        fg1.setText(r, kColNumber, QString::number(r));
        const bool fixedTemplate =
            !fg1.text(r, kColReadOnly).isEmpty() && fg1.text(r, kColExisting).isEmpty();
        if (fixedTemplate && fg1.foreground(r, kColFieldId) != grey) {
            fg1.setForeground(r, kColFieldId, r, kColFax, grey);
        }
    }
}

}  // namespace wizard
