// SPDX-License-Identifier: MIT
#include "wizard/row_commands.h"

#include "controls/flex_grid_model.h"
#include "vocabulary/texts.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace wizard {

namespace {

bool isExisting(const controls::FlexGridModel& fg1, int row) {
    return !fg1.text(row, kColExisting).isEmpty();
}

controls::Message refusal(QStringView text) {
    return {text.toString(), controls::vbOKOnly};
}

}  // namespace

QStringList newRowCells() {
    QStringList cells(kGridColumns);
    cells[kColAttr] = vocabulary::kText.label.toString();
    cells[kColIme] = vocabulary::kImeOn.label.toString();
    return cells;
}

int newRowPosition(const controls::FlexGridModel& fg1, int firstSelected) {
    const int after = firstSelected == -1 ? fg1.gridRows() - 1 : firstSelected;
    return isExisting(fg1, after) ? fg1.gridRows() : after + 1;
}

RowMoves moveUp(const controls::FlexGridModel& fg1, const QList<int>& selected) {
    const int first = selected.isEmpty() ? -1 : selected.front();
    if (first < 2) {
        return {refusal(kMsgFirstRecord), {}};
    }
    if (isExisting(fg1, first - 1)) {
        return {refusal(kMsgCannotMoveAboveExisting), {}};
    }
    RowMoves up;
    for (int r : selected) {
        up.moves.append({r, r - 1});
    }
    return up;
}

RowMoves moveDown(const controls::FlexGridModel& fg1, const QList<int>& selected) {
    const int first = selected.isEmpty() ? -1 : selected.front();
    const int last = fg1.gridRows() - 1;
    if (first == -1 || first == last) {
        return {refusal(kMsgLastRecord), {}};
    }
    // Selected rows that already reach the last row in an unbroken run stay put.
    RowMoves down;
    const auto k = static_cast<int>(selected.size());
    for (int i = k - 1; i >= 0; --i) {
        const int r = selected[i];
        if (r != last - (k - 1 - i)) {
            down.moves.append({r, r + 1});
        }
    }
    return down;
}

bool mayRemoveRows(const controls::FlexGridModel& fg1, const QList<int>& selected) {
    return !selected.isEmpty() && !isExisting(fg1, selected.front());
}

}  // namespace wizard
