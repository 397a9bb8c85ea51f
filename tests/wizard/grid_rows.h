#pragma once

// Design grids with rows of each kind, for the grid rule and row command tests.

#include <QList>
#include <QString>

#include "controls/flex_grid.h"
#include "wizard/design_grid.h"
#include "wizard/grid_columns.h"

namespace rvtest {

// A typed text row with IME "ON"; readOnly "1" makes it a fixed template field.
inline QString fieldRow(const QString& id, const QString& readOnly = {}) {
    return QStringLiteral("\t%1\t%1名\t文字\t\tON\t\t\t%2\t").arg(id, readOnly);
}

// A laid-out grid with `existing` existing-field rows E1.. on top, then `typed` typed rows
// T1.., numbered.
inline void fillGrid(controls::FlexGrid& fg1, int existing, int typed) {
    fg1.setRows(1);
    wizard::setupGrid(fg1);
    for (int i = 1; i <= existing; ++i) {
        fg1.addItem(QStringLiteral("\tE%1\tE%1名\t文字\t20\tON\t\t\t%1\t1").arg(i));
    }
    if (existing > 0) {
        fg1.setCellBackground(1, wizard::kColFieldId, existing, wizard::kColReadOnly,
                              wizard::kExistingRowColor);
    }
    for (int i = 1; i <= typed; ++i) {
        fg1.addItem(fieldRow(QStringLiteral("T%1").arg(i)));
    }
    wizard::renumberRows(fg1);
}

// Column `col` of the data rows, top to bottom.
inline QStringList gridColumn(const controls::FlexGrid& fg1, int col) {
    QStringList texts;
    for (int r = 1; r < fg1.rows(); ++r) {
        texts << fg1.textMatrix(r, col);
    }
    return texts;
}

inline void selectOnly(controls::FlexGrid& fg1, const QList<int>& rows) {
    for (int r = 1; r < fg1.rows(); ++r) {
        fg1.selectRow(r, rows.contains(r));
    }
}

}  // namespace rvtest
