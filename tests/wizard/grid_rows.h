#pragma once

// Design grids with rows of each kind, for the grid rule and row command tests.

#include <QString>

#include <vector>

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "wizard/design_grid.h"
#include "wizard/grid_columns.h"

namespace rvtest {

// The text of a typed or template row: ID, name, attribute, size, IME, then the read-only
// marker ("1" for a fixed template field).
inline QString fieldRow(const QString& id, const QString& attr = QStringLiteral("文字"),
                        const QString& size = {}, const QString& ime = QStringLiteral("ON"),
                        const QString& readOnly = {}) {
    return QStringLiteral("\t%1\t%1名\t%2\t%3\t%4\t\t\t%5\t").arg(id, attr, size, ime, readOnly);
}

// A row as loaded from an existing product database.
inline QString existingRow(const QString& id, int seq) {
    return QStringLiteral("\t%1\t%1名\t文字\t20\tON\t\t\t%2\t1").arg(id).arg(seq);
}

// A laid-out grid with `existing` existing-field rows E1.. on top, then `typed` typed rows
// T1.., numbered.
inline void fillGrid(controls::FlexGrid& fg1, int existing, int typed) {
    fg1.setRows(1);
    wizard::setupGrid(fg1);
    for (int i = 1; i <= existing; ++i) {
        fg1.addItem(existingRow(QStringLiteral("E%1").arg(i), i));
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

inline void selectOnly(controls::FlexGrid& fg1, std::initializer_list<int> rows) {
    for (int r = 1; r < fg1.rows(); ++r) {
        fg1.selectRow(r, false);
    }
    for (int r : rows) {
        fg1.selectRow(r);
    }
}

}  // namespace rvtest
