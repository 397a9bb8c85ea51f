// SPDX-License-Identifier: MIT
#include "wizard/design_grid.h"

#include "controls/flex_grid_model.h"
#include "wizard/grid_columns.h"

namespace wizard {

void setupGridModel(controls::FlexGridModel& fg1) {
    fg1.setGridCols(kGridColumns);
    for (int col = kColFieldId; col <= kColFax; ++col) {
        fg1.setText(0, col, columnHeading(col).toString());
    }
}

void renumberRows(controls::FlexGridModel& fg1) {
    const unsigned int grey = kReadOnlyTextArgb;
    QStringList numbers;
    numbers.reserve(fg1.gridRows());
    for (int r = 1; r < fg1.gridRows(); ++r) {
        numbers << QString::number(r);
    }
    fg1.setTexts(1, kColNumber, numbers);
    for (int r = 1; r < fg1.gridRows(); ++r) {
        const bool fixedTemplate =
            !fg1.text(r, kColReadOnly).isEmpty() && fg1.text(r, kColExisting).isEmpty();
        if (fixedTemplate && fg1.foreground(r, kColFieldId) != grey) {
            fg1.setForeground(r, kColFieldId, r, kColFax, grey);
        }
    }
}

}  // namespace wizard
