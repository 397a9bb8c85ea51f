// SPDX-License-Identifier: MIT
#pragma once

// The field editor's input rules over values: what survives of a typed field ID, which IDs
// are reserved, which keys the size box takes and which sizes it keeps. The dialog shows the
// messages and changes its boxes as these say.

#include <QString>
#include <QStringView>
#include <Qt>

namespace templates {

// A typed field ID after the ID filter: only the ASCII letters and digits, in their order.
struct FilteredFieldId {
    QString text;
    // A character other than the apostrophe was dropped (the apostrophe goes silently).
    bool refused = false;
};
FilteredFieldId filterFieldId(QStringView typed);

// The ID is one of the reserved words, as a whole and ignoring letter case ("memo" is,
// "MEMO1" is not).
bool isReservedFieldId(QStringView id);

// Whether a key press reaches the size box: the digits, Enter and Backspace do, and so does
// a key that types no character (the arrows, Tab, Delete, Escape); every other character,
// control combinations included, is refused.
bool sizeKeyPasses(int key, Qt::KeyboardModifiers modifiers, QStringView text);

// Whether the size box must be emptied: it holds something that is not a whole number from
// 1 to 255 (a pasted text that is not a number included). An empty box is kept.
bool sizeOutOfRange(QStringView size);

// The position of a new entry: one after `last` (the highest position in its folder), or 1
// when the folder has none.
QString positionAfter(const QString& last);

}  // namespace templates
