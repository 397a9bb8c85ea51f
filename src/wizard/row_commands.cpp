#include "wizard/row_commands.h"

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "wizard/design_grid.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace wizard {

namespace {

void tell(QStringView text) {
    controls::MsgBox(text.toString(), controls::vbOKOnly, kMsgBoxTitle.toString());
}

bool isExisting(const controls::FlexGrid& fg1, int row) {
    return !fg1.textMatrix(row, kColExisting).isEmpty();
}

void writeNewRow(controls::FlexGrid& fg1, int row) {
    fg1.setTextMatrix(row, kColAttr, kAttrLabelText.toString());
    fg1.setTextMatrix(row, kColIme, kImeLabelOn.toString());
}

}  // namespace

void addRow(controls::FlexGrid& fg1) {
    const int first = fg1.firstSelectedRow();
    const int after = first == -1 ? fg1.rows() - 1 : first;
    const int row = isExisting(fg1, after) ? fg1.rows() : after + 1;
    fg1.addItem(QString(), row);
    writeNewRow(fg1, row);
    fg1.setCurrentRow(row);
    renumberRows(fg1);
}

void moveUp(controls::FlexGrid& fg1) {
    const int first = fg1.firstSelectedRow();
    if (first < 2) {
        tell(kMsgFirstRecord);
    } else if (isExisting(fg1, first - 1)) {
        tell(kMsgCannotMoveAboveExisting);
    } else {
        QList<std::pair<int, int>> moves;
        for (int r : fg1.selectedRows()) {
            moves.append({r, r - 1});
        }
        fg1.moveRows(moves);
    }
    renumberRows(fg1);
}

void moveDown(controls::FlexGrid& fg1) {
    const int first = fg1.firstSelectedRow();
    const int last = fg1.rows() - 1;
    if (first == -1 || first == last) {
        tell(kMsgLastRecord);
    } else {
        // Selected rows that already reach the last row in an unbroken run stay put.
        const QList<int> selected = fg1.selectedRows();
        const auto k = static_cast<int>(selected.size());
        QList<std::pair<int, int>> moves;
        for (int i = k - 1; i >= 0; --i) {
            const int r = selected[i];
            if (r != last - (k - 1 - i)) {
                moves.append({r, r + 1});
            }
        }
        fg1.moveRows(moves);
    }
    renumberRows(fg1);
}

void removeRows(controls::FlexGrid& fg1) {
    const int first = fg1.firstSelectedRow();
    if (first != -1 && !isExisting(fg1, first)) {
        const auto k = fg1.selectedRows().size();
        for (qsizetype i = 0; i < k; ++i) {
            const int r = fg1.firstSelectedRow();
            if (r == -1) {
                break;
            }
            fg1.removeItem(r);
        }
    }
    renumberRows(fg1);
}

}  // namespace wizard
