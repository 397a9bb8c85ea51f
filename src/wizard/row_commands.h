// SPDX-License-Identifier: MIT
#pragma once

// The commands that arrange the design grid's rows, as plans over the grid's cells and its
// selection (ascending row numbers); the window carries them out and renumbers the rows.
// Existing-field rows stay where they are: they cannot move, be removed, or have a row
// moved above them.

#include <QList>
#include <QStringList>
#include <optional>
#include <utility>

#include "controls/message.h"

namespace controls {
class FlexGridModel;
}

namespace wizard {

// The cells of a typed row from column 0: "文字" and IME "ON", all else empty.
QStringList newRowCells();

// Where the add-row command puts its new row: after the first selected row, or after the
// last row when nothing is selected (-1); below an existing field at the end instead.
int newRowPosition(const controls::FlexGridModel& fg1, int firstSelected);

// A move of the selected rows: the refusal to show, or the moves (from, to) to make one
// after another.
struct RowMoves {
    std::optional<controls::Message> refusal;
    QList<std::pair<int, int>> moves;
};

// Up by one; refused when the first selected row is row 1 or below an existing field, or
// when nothing is selected.
RowMoves moveUp(const controls::FlexGridModel& fg1, const QList<int>& selected);

// Down by one, except the rows in a run that already ends at the last row; refused when the
// first selected row is the last row or nothing is selected.
RowMoves moveDown(const controls::FlexGridModel& fg1, const QList<int>& selected);

// The remove command removes the selected rows unless the first of them is an existing
// field.
bool mayRemoveRows(const controls::FlexGridModel& fg1, const QList<int>& selected);

}  // namespace wizard
