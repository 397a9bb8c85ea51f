// SPDX-License-Identifier: MIT
#pragma once

// Rows of fields taken from text and given back as text, in the column order of the batch
// field file: ID, name, attribute label, size, IME, mail kind, FAX kind.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "controls/message.h"

namespace controls {
class FlexGridModel;
}

namespace wizard {

// The rows of text as spreadsheets copy it: cells separated by tabs, or by commas when the
// text holds no tab; a cell in double quotes may hold separators, line breaks and doubled
// quotes. Empty lines are left out.
QList<QStringList> parseRows(const QString& text);

// Rows `rows` of the grid as tab-separated lines in that column order; a cell that holds a
// tab, a line break or a double quote is quoted, so parseRows() gives the cells back.
QString rowsText(const controls::FlexGridModel& fg1, const QList<int>& rows);

// Types one cell of a data row as a person would: the current cell moves onto it (which
// brings the IME cell in line with the attribute), nothing happens where editing is off;
// each character passes the size key filter, then the after-edit check runs. Warns as the
// rules do. A list cell takes only an entry of its list (wizard::listCellValue()): any other
// text is refused, the cell keeps what it held and is marked refused until an entry is set
// there, and the refusal is returned.
std::optional<controls::Message> typeCell(
    controls::FlexGridModel& fg1, int row, int col, const QString& text,
    const std::function<void(const controls::Message&)>& warn);

// What a paste did: the new rows, each warning the rules gave, once, and the refusal of each
// list cell that took none of its entries, in the order met.
struct PastedRows {
    QList<int> rows;
    QList<controls::Message> warnings;
    QList<controls::Message> refusals;
};

// Adds each of `lines` as "項目追加" adds a row after the first selected row (-1: none) and
// the rows already pasted, then types its cells in as typeCell() does. A line whose cells
// are the grid's headings is left out. Rows already in the grid are never written.
PastedRows pasteRows(controls::FlexGridModel& fg1, int firstSelected,
                     const QList<QStringList>& lines);

}  // namespace wizard
