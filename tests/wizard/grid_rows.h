// SPDX-License-Identifier: MIT
#pragma once

// Design grid cells with rows of each kind, for the rule and command tests.

#include <QStringList>

#include "controls/flex_grid_model.h"
#include "wizard/design_grid.h"

namespace rvtest {

// A typed text row with IME "ON"; readOnly "1" makes it a fixed template field.
inline QStringList fieldRow(const QString& id, const QString& readOnly = {}) {
    return QStringLiteral("\t%1\t%1名\t文字\t\tON\t\t\t%2\t").arg(id, readOnly).split(u'\t');
}

// The cells of a laid-out grid with `existing` existing-field rows E1.. on top, then
// `typed` typed rows T1.., numbered.
inline void fillGrid(controls::FlexGridModel& fg1, int existing, int typed) {
    fg1.setGridRows(1);
    wizard::setupGridModel(fg1);
    for (int i = 1; i <= existing; ++i) {
        fg1.insertGridRow(
            fg1.gridRows(),
            QStringLiteral("\tE%1\tE%1名\t文字\t20\tON\t\t\t%1\t1").arg(i).split(u'\t'));
    }
    for (int i = 1; i <= typed; ++i) {
        fg1.insertGridRow(fg1.gridRows(), fieldRow(QStringLiteral("T%1").arg(i)));
    }
    wizard::renumberRows(fg1);
}

// The cells of row `r`, joined by '|'.
inline QString gridRow(const controls::FlexGridModel& fg1, int r) {
    QStringList cells;
    for (int c = 0; c < fg1.gridCols(); ++c) {
        cells << fg1.text(r, c);
    }
    return cells.join(u'|');
}

// Column `col` of the data rows, top to bottom.
inline QStringList gridColumn(const controls::FlexGridModel& fg1, int col) {
    QStringList texts;
    for (int r = 1; r < fg1.gridRows(); ++r) {
        texts << fg1.text(r, col);
    }
    return texts;
}

}  // namespace rvtest
