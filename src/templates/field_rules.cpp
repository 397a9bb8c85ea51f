// SPDX-License-Identifier: MIT
#include "templates/field_rules.h"

#include "templates/texts.h"

namespace templates {

namespace {

bool isIdCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
}

}  // namespace

FilteredFieldId filterFieldId(QStringView typed) {
    FilteredFieldId out;
    out.text.reserve(typed.size());
    for (const QChar c : typed) {
        if (isIdCharacter(c)) {
            out.text.append(c);
        } else if (c != u'\'') {
            out.refused = true;
        }
    }
    return out;
}

bool isReservedFieldId(QStringView id) {
    for (QStringView word : kReservedFieldIds) {
        if (id.compare(word, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool sizeKeyPasses(int key, Qt::KeyboardModifiers modifiers, QStringView text) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Backspace) {
        return true;
    }
    const bool control = modifiers.testAnyFlags(Qt::ControlModifier | Qt::MetaModifier);
    if (text.isEmpty()) {
        // Ctrl+letter types no character here under some platforms; it is still refused.
        return !(control && key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde);
    }
    const char16_t first = text.front().unicode();
    if (!control && (first < u' ' || first == 0x7F)) {
        return true;  // Tab, Escape, Delete: keys that type nothing into the box
    }
    return !control && text.size() == 1 && first >= u'0' && first <= u'9';
}

bool sizeOutOfRange(QStringView size) {
    if (size.isEmpty()) {
        return false;
    }
    for (const QChar c : size) {
        if (c < u'0' || c > u'9') {
            return true;
        }
    }
    const int value = size.toInt();
    return value < kFieldSizeMin || value > kFieldSizeMax;
}

QString positionAfter(const QString& last) {
    bool number = false;
    const qlonglong value = last.toLongLong(&number);
    return number ? QString::number(value + 1) : QStringLiteral("1");
}

}  // namespace templates
