// SPDX-License-Identifier: MIT
#include "wizard/row_paste.h"

#include "controls/flex_grid_model.h"
#include "wizard/design_grid.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_rules.h"
#include "wizard/row_commands.h"

namespace wizard {

namespace {

// The columns a line fills, in its order.
constexpr int kLineColumns[] = {kColFieldId, kColFieldName, kColAttr, kColSize,
                                kColIme,     kColMail,      kColFax};

// The line repeats the grid's headings, from the ID on.
bool isHeadingLine(const controls::FlexGridModel& fg1, const QStringList& cells) {
    if (cells.size() < 2) {
        return false;
    }
    for (int i = 0; i < cells.size(); ++i) {
        const QString cell = cells[i].trimmed();
        if (i >= static_cast<int>(std::size(kLineColumns))) {
            if (!cell.isEmpty()) {
                return false;
            }
        } else if (cell != fg1.text(0, kLineColumns[i])) {
            return false;
        }
    }
    return true;
}

QString quoted(const QString& cell) {
    if (!cell.contains(u'\t') && !cell.contains(u'\n') && !cell.contains(u'\r') &&
        !cell.contains(u'"')) {
        return cell;
    }
    QString out = cell;
    out.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

}  // namespace

QList<QStringList> parseRows(const QString& text) {
    const QChar separator = text.contains(u'\t') ? u'\t' : u',';
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool inQuotes = false;
    bool wasQuoted = false;
    const auto endRow = [&] {
        row << cell;
        const bool empty = row.size() == 1 && row.front().isEmpty() && !wasQuoted;
        if (!empty) {
            rows << row;
        }
        row.clear();
        cell.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                cell += c;
            }
        } else if (c == u'"' && cell.isEmpty()) {
            inQuotes = true;
            wasQuoted = true;
        } else if (c == separator) {
            row << cell;
            cell.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            continue;  // the \n ends the row
        } else if (c == u'\n' || c == u'\r') {
            endRow();
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty() || wasQuoted) {
        endRow();
    }
    return rows;
}

QString rowsText(const controls::FlexGridModel& fg1, const QList<int>& rows) {
    QString out;
    for (int r : rows) {
        QStringList cells;
        for (int col : kLineColumns) {
            cells << quoted(fg1.text(r, col));
        }
        out += cells.join(u'\t') + u'\n';
    }
    return out;
}

std::optional<controls::Message> typeCell(
    controls::FlexGridModel& fg1, int row, int col, const QString& text,
    const std::function<void(const controls::Message&)>& warn) {
    if (const std::optional<bool> editable = currentCellChange(fg1, {}, row, col).editable;
        editable && !*editable) {
        return std::nullopt;
    }
    if (isListColumn(col)) {
        const std::optional<QString> entry = listCellValue(col, text);
        if (!entry) {
            fg1.setCellNote(row, col, kRefusedEntryNote.toString());
            return listRefusal(row, col);
        }
        fg1.setText(row, col, *entry);
        afterEditCheck(fg1, row, col, warn);
        return std::nullopt;
    }
    QString typed;
    for (QChar ch : text) {
        int key = ch.unicode();
        if (auto warning = sizeKeyFilter(fg1, row, col, key)) {
            warn(*warning);
        }
        if (key != 0) {
            typed += QChar(key);
        }
    }
    fg1.setText(row, col, typed);
    afterEditCheck(fg1, row, col, warn);
    return std::nullopt;
}

PastedRows pasteRows(controls::FlexGridModel& fg1, int firstSelected,
                     const QList<QStringList>& lines) {
    PastedRows pasted;
    QList<QStringList> fields;
    for (const QStringList& line : lines) {
        if (!isHeadingLine(fg1, line)) {
            fields << line;
        }
    }
    if (fields.isEmpty()) {
        return pasted;
    }
    // The rows come in first, then their cells are typed in as one change of the grid.
    const int first = newRowPosition(fg1, firstSelected);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        fg1.insertGridRow(first + static_cast<int>(i), newRowCells());
        pasted.rows << first + static_cast<int>(i);
    }
    const auto warn = [&](const controls::Message& warning) {
        if (!pasted.warnings.contains(warning)) {
            pasted.warnings << warning;
        }
    };
    fg1.changeRows(first, pasted.rows.back(), [&] {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const int row = first + static_cast<int>(i);
            const QStringList& cells = fields[i];
            for (int c = 0; c < static_cast<int>(std::size(kLineColumns)) && c < cells.size();
                 ++c) {
                if (auto refusal = typeCell(fg1, row, kLineColumns[c], cells[c], warn)) {
                    pasted.refusals << *refusal;
                }
            }
            currentCellChange(fg1, {}, row, kColFieldId);  // and on to the next row
        }
    });
    renumberRows(fg1);
    return pasted;
}

}  // namespace wizard
