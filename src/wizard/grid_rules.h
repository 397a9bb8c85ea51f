// SPDX-License-Identifier: MIT
#pragma once

// The design grid's editing rules over the grid's cells: what is repaired after an edit,
// what follows a move of the current cell, and which keys the size cell takes. The window
// shows the messages and switches what the rules say.

#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "controls/message.h"

namespace controls {
class FlexGridModel;
}

namespace wizard {

// The list cells: attribute, IME, mail kind and FAX kind. The window sets them only by
// picking an entry; every other way in (typing a line, a paste, a field file) goes through
// listCellValue().
bool isListColumn(int col);

// What a list cell of column `col` takes of `text`: blanks around it (ASCII and ideographic)
// trimmed, then exactly one of the column's entries. The IME, mail and FAX kinds may also be
// empty (none; an empty IME is filled by the current-cell change), and the IME may be "ON"
// or "OFF" on any row (the current-cell change empties it where the attribute takes none).
// None: the text is no entry, and the cell keeps what it held.
std::optional<QString> listCellValue(int col, const QString& text);

// The refusal of a text that is no entry of column `col`'s list, in row `row`: the row, the
// column's heading and its entries.
controls::Message listRefusal(int row, int col);

// Whether the row commands up, down and remove apply to the selected rows.
enum class RowCommands { kDisabled, kEnabled };

// Receives a warning when a rule gives one, before the rule goes on.
using Warn = std::function<void(const controls::Message&)>;

// Checks and repairs row `row` after an edit of its column `col`: a size only where the
// attribute takes one, at most 3 digits from 1 to 255 on a text row; no quote and no control
// character in the ID and the name; only characters with codes 48 to 122 in the ID. Warns of
// what it removes from the ID. A list cell edited is no longer refused (listCellValue()).
void afterEditCheck(controls::FlexGridModel& fg1, int row, int col, const Warn& warn);

// The row commands apply when at least one row is selected (`selected`, ascending) and none
// of the selected rows is an existing field.
RowCommands rowCommandsFor(const controls::FlexGridModel& fg1, const QList<int>& selected);

// What the window switches after a move of the current cell.
struct CellChange {
    RowCommands rowCommands = RowCommands::kDisabled;
    std::optional<QString> imeList;  // the IME column's new drop-down list
    std::optional<bool> editable;    // editing on or off; none outside the data rows
};

// After the current cell moved to (row, col): the IME cell and list follow the row's
// attribute, and editing is on unless the row is read-only or the cell is the size of a
// row whose attribute takes none.
CellChange currentCellChange(controls::FlexGridModel& fg1, const QList<int>& selected, int row,
                             int col);

// A key typed into the editor of row `row` while the current column is `currentCol`: in the
// size of a text row anything but a digit, Enter and Backspace is refused (`key` becomes 0)
// with the warning returned.
std::optional<controls::Message> sizeKeyFilter(const controls::FlexGridModel& fg1, int row,
                                               int currentCol, int& key);

}  // namespace wizard
