#include "wizard/grid_rules.h"

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "jet/placeholders.h"
#include "wizard/grid_columns.h"
#include "wizard/texts.h"

#include <algorithm>
#include <string>

namespace wizard {

namespace {

constexpr int kMaxSizeDigits = 3;
constexpr int kMinSize = 1;
constexpr int kMaxSize = 255;
constexpr char16_t kLowestIdChar = 48;    // '0'
constexpr char16_t kHighestIdChar = 122;  // 'z'
constexpr int kEnterKey = 13;
constexpr int kBackspaceKey = 8;

void warn(const QString& text) {
    controls::MsgBox(text, controls::vbOKOnly + controls::vbExclamation, kMsgBoxTitle.toString());
}

void warnSize(int row) {
    warn(QString::fromStdString(
        jet::fill(kMsgSizeOutOfRange.toString().toStdString(), {std::to_string(row)})));
}

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

bool takesNoSize(const QString& attr) {
    return attr.contains(kAttrLabelNumber) || attr.contains(kAttrLabelDate) ||
           attr.contains(kAttrLabelYesNo) || attr.contains(kAttrLabelMemo);
}

bool isIdChar(QChar c) {
    return c.unicode() >= kLowestIdChar && c.unicode() <= kHighestIdChar;
}

}  // namespace

void afterEditCheck(controls::FlexGrid& fg1, int row, int col) {
    if (row < 1 || row >= fg1.rows()) {
        return;
    }
    const QString attr = fg1.textMatrix(row, kColAttr);
    if (col == kColFieldName && takesNoSize(attr)) {
        fg1.setTextMatrix(row, kColSize, QString());
    }

    QString size = fg1.textMatrix(row, kColSize);
    if (!size.isEmpty()) {
        if (size.size() > kMaxSizeDigits) {
            warnSize(row);
            size.truncate(kMaxSizeDigits);
            fg1.setTextMatrix(row, kColSize, size);
        }
        if (attr == kAttrLabelText && !isValidTextSize(size)) {
            fg1.setTextMatrix(row, kColSize, QString());
            warnSize(row);
        }
        if (attr != kAttrLabelText) {
            fg1.setTextMatrix(row, kColSize, QString());
        }
    }

    // Quotes would break the statements the builder joins from these texts.
    QString id = fg1.textMatrix(row, kColFieldId);
    id.remove(u'\'');
    QString name = fg1.textMatrix(row, kColFieldName);
    name.remove(u'\'');
    fg1.setTextMatrix(row, kColFieldName, name);

    if (!std::all_of(id.begin(), id.end(), isIdChar)) {
        warn(kMsgInvalidIdCharacters.toString());
        id.removeIf([](QChar c) { return !isIdChar(c); });
    }
    fg1.setTextMatrix(row, kColFieldId, id);
}

RowCommands rowCommandsFor(const controls::FlexGrid& fg1) {
    const QList<int> selected = fg1.selectedRows();
    if (selected.isEmpty()) {
        return RowCommands::kDisabled;
    }
    for (int r : selected) {
        if (!fg1.textMatrix(r, kColExisting).isEmpty()) {
            return RowCommands::kDisabled;
        }
    }
    return RowCommands::kEnabled;
}

RowCommands currentCellChange(controls::FlexGrid& fg1, int row, int col) {
    const RowCommands commands = rowCommandsFor(fg1);
    if (row < 1 || row >= fg1.rows()) {
        return commands;
    }

    const QString attr = fg1.textMatrix(row, kColAttr);
    if (attr == kAttrLabelMemo || attr == kAttrLabelText) {
        fg1.setColComboList(kColIme, kImeList.toString());
        if (fg1.textMatrix(row, kColIme).isEmpty()) {
            fg1.setTextMatrix(row, kColIme, kImeLabelOn.toString());
        }
    } else if (attr == kAttrLabelYesNo || attr == kAttrLabelDate || attr == kAttrLabelNumber) {
        fg1.setTextMatrix(row, kColIme, QString());
        fg1.setColComboList(kColIme, kImeNoneList.toString());
    }

    if (!fg1.textMatrix(row, kColReadOnly).isEmpty()) {
        fg1.setEditable(false);
    } else if (col == kColSize && attr != kAttrLabelText) {
        fg1.setEditable(false);
    } else {
        fg1.setEditable(true);
    }
    return commands;
}

void sizeKeyFilter(const controls::FlexGrid& fg1, int row, int& key) {
    if (row < 1 || row >= fg1.rows() || fg1.currentCol() != kColSize ||
        fg1.textMatrix(row, kColAttr) != kAttrLabelText) {
        return;
    }
    const bool digit = key >= '0' && key <= '9';
    if (!digit && key != kEnterKey && key != kBackspaceKey) {
        warn(kMsgDigitsOnly.toString());
        key = 0;
    }
}

}  // namespace wizard
