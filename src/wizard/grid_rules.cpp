// SPDX-License-Identifier: MIT
#include "wizard/grid_rules.h"

#include <algorithm>

#include "controls/flex_grid_model.h"
#include "vocabulary/field_text.h"
#include "vocabulary/msgbox_const.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

namespace wizard {

namespace {

using controls::Message;
using vocabulary::Attribute;

constexpr int kMaxSizeDigits = 3;
constexpr int kMinSize = 1;
constexpr int kMaxSize = 255;
constexpr char16_t kLowestIdChar = 48;    // '0'
constexpr char16_t kHighestIdChar = 122;  // 'z'
constexpr int kEnterKey = 13;
constexpr int kBackspaceKey = 8;
constexpr int kWarning = controls::vbOKOnly + controls::vbExclamation;

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A size a text row can keep: decimal digits only, of a value from 1 to 255. Text pasted
// into the cell that is no whole number fails as an out-of-range value does.
bool isValidTextSize(const QString& size) {
    if (size.isEmpty() || !std::all_of(size.begin(), size.end(), isAsciiDigit)) {
        return false;
    }
    const int value = size.toInt();
    return value >= kMinSize && value <= kMaxSize;
}

// The attribute cell names exactly an attribute with a size (文字).
bool takesSize(const QString& attr) {
    const Attribute* attribute = MsgBox_Const::attributeOfLabel(attr);
    return attribute && attribute->takesSize;
}

// The attribute cell contains the label of an attribute without a size.
bool containsLabelWithoutSize(const QString& attr) {
    return std::any_of(vocabulary::kAttributes.begin(), vocabulary::kAttributes.end(),
                       [&](const Attribute& a) { return !a.takesSize && attr.contains(a.label); });
}

bool isIdChar(QChar c) {
    return c.unicode() >= kLowestIdChar && c.unicode() <= kHighestIdChar;
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\u3000';
}

// The entries of a list column in the order of its drop-down list, the blank item as an empty
// text; none for other columns.
QStringList listEntries(int col) {
    const QString list = col == kColAttr   ? MsgBox_Const::attributeList()
                         : col == kColIme  ? MsgBox_Const::imeList()
                         : col == kColMail ? MsgBox_Const::mailList()
                         : col == kColFax  ? MsgBox_Const::faxList()
                                           : QString();
    QStringList entries = list.split(vocabulary::kListSeparator.toString(), Qt::SkipEmptyParts);
    for (QString& entry : entries) {
        if (entry == vocabulary::kBlankItem) {
            entry.clear();
        }
    }
    return entries;
}

}  // namespace

bool isListColumn(int col) {
    return col == kColAttr || col == kColIme || col == kColMail || col == kColFax;
}

std::optional<QString> listCellValue(int col, const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && isBlank(text[from])) {
        ++from;
    }
    while (to > from && isBlank(text[to - 1])) {
        --to;
    }
    const QString value = text.mid(from, to - from);
    if (listEntries(col).contains(value) || (col == kColIme && value.isEmpty())) {
        return value;
    }
    return std::nullopt;
}

Message listRefusal(int row, int col) {
    QStringList entries = listEntries(col);
    for (QString& entry : entries) {
        if (entry.isEmpty()) {
            entry = kBlankEntry.toString();
        }
    }
    return Message{
        kMsgNotAListEntry.toString(),
        kWarning,
        {QString::number(row), columnHeading(col).toString(), entries.join(kEntrySeparator)}};
}

void afterEditCheck(controls::FlexGridModel& fg1, int row, int col, const Warn& warn) {
    if (row < 1 || row >= fg1.gridRows()) {
        return;
    }
    const Message sizeWarning{kMsgSizeOutOfRange.toString(), kWarning, {QString::number(row)}};
    const QString attr = fg1.text(row, kColAttr);
    if (col == kColFieldName && containsLabelWithoutSize(attr)) {
        fg1.setText(row, kColSize, QString());
    }

    QString size = fg1.text(row, kColSize);
    if (!size.isEmpty()) {
        if (size.size() > kMaxSizeDigits) {
            warn(sizeWarning);
            size.truncate(kMaxSizeDigits);
            fg1.setText(row, kColSize, size);
        }
        const bool textRow = takesSize(attr);
        if (textRow && !isValidTextSize(size)) {
            fg1.setText(row, kColSize, QString());
            warn(sizeWarning);
        }
        if (!textRow) {
            fg1.setText(row, kColSize, QString());
        }
    }

    if (isListColumn(col)) {
        fg1.setCellNote(row, col, QString());
    }

    // Quotes would break the statements the builder joins from these texts, control
    // characters the lines of a field file.
    QString id = fg1.text(row, kColFieldId);
    id.remove(u'\'');
    QString name = vocabulary::withoutControlCharacters(fg1.text(row, kColFieldName));
    name.remove(u'\'');
    fg1.setText(row, kColFieldName, name);

    if (!std::all_of(id.begin(), id.end(), isIdChar)) {
        warn(Message{kMsgInvalidIdCharacters.toString(), kWarning});
        id.removeIf([](QChar c) { return !isIdChar(c); });
    }
    fg1.setText(row, kColFieldId, id);
}

RowCommands rowCommandsFor(const controls::FlexGridModel& fg1, const QList<int>& selected) {
    if (selected.isEmpty()) {
        return RowCommands::kDisabled;
    }
    for (int r : selected) {
        if (!fg1.text(r, kColExisting).isEmpty()) {
            return RowCommands::kDisabled;
        }
    }
    return RowCommands::kEnabled;
}

CellChange currentCellChange(controls::FlexGridModel& fg1, const QList<int>& selected, int row,
                             int col) {
    CellChange change;
    change.rowCommands = rowCommandsFor(fg1, selected);
    if (row < 1 || row >= fg1.gridRows()) {
        return change;
    }

    const QString attr = fg1.text(row, kColAttr);
    if (const Attribute* attribute = MsgBox_Const::attributeOfLabel(attr)) {
        if (attribute->takesIme) {
            change.imeList = MsgBox_Const::imeList();
            if (fg1.text(row, kColIme).isEmpty()) {
                fg1.setText(row, kColIme, vocabulary::kImeOn.label.toString());
            }
        } else {
            fg1.setText(row, kColIme, QString());
            change.imeList = vocabulary::kBlankItem.toString();
        }
    }

    change.editable = fg1.text(row, kColReadOnly).isEmpty() && (col != kColSize || takesSize(attr));
    return change;
}

std::optional<Message> sizeKeyFilter(const controls::FlexGridModel& fg1, int row, int currentCol,
                                     int& key) {
    if (row < 1 || row >= fg1.gridRows() || currentCol != kColSize ||
        !takesSize(fg1.text(row, kColAttr))) {
        return std::nullopt;
    }
    const bool digit = key >= '0' && key <= '9';
    if (digit || key == kEnterKey || key == kBackspaceKey) {
        return std::nullopt;
    }
    key = 0;
    return Message{kMsgDigitsOnly.toString(), kWarning};
}

}  // namespace wizard
