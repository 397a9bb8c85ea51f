#include "wizard/design_grid.h"

#include "controls/flex_grid.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace wizard {

void setupGrid(controls::FlexGrid& fg1) {
    fg1.setCols(kGridColumns);
    fg1.setTextMatrix(0, kColFieldId, kHeadingFieldId.toString());
    fg1.setTextMatrix(0, kColFieldName, kHeadingFieldName.toString());
    fg1.setTextMatrix(0, kColAttr, kHeadingAttr.toString());
    fg1.setTextMatrix(0, kColSize, kHeadingSize.toString());
    fg1.setTextMatrix(0, kColIme, kHeadingIme.toString());
    fg1.setTextMatrix(0, kColMail, kHeadingMail.toString());
    fg1.setTextMatrix(0, kColFax, kHeadingFax.toString());

    fg1.setColComboList(kColAttr, kAttrList.toString());
    fg1.setColComboList(kColIme, kImeList.toString());
    fg1.setColComboList(kColMail, kMailList.toString());
    fg1.setColComboList(kColFax, kFaxList.toString());

    fg1.setColHidden(kColReadOnly, true);
    fg1.setColHidden(kColExisting, true);
    fg1.setColHidden(kColMail, true);
    fg1.setColHidden(kColFax, true);

    for (int c = 0; c < static_cast<int>(std::size(kColumnWidthsTwips)); ++c) {
        fg1.setColWidth(c, kColumnWidthsTwips[c]);
    }
}

void renumberRows(controls::FlexGrid& fg1) {
    for (int r = 1; r < fg1.rows(); ++r) {
        fg1.setTextMatrix(r, kColNumber, QString::number(r));
        const bool fixedTemplate =
            !fg1.textMatrix(r, kColReadOnly).isEmpty() && fg1.textMatrix(r, kColExisting).isEmpty();
        if (fixedTemplate && fg1.cellForeColor(r, kColFieldId) != kReadOnlyTextColor) {
            fg1.setCellForeColor(r, kColFieldId, r, kColFax, kReadOnlyTextColor);
        }
    }
}

}  // namespace wizard
