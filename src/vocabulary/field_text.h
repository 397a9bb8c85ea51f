// SPDX-License-Identifier: MIT
#pragma once

// What a field's ID and name never hold, whatever way they arrive: the control characters
// U+0000 to U+001F and U+007F, and the line and paragraph separators U+2028 and U+2029. A
// field file, a statement or a line of the build's messages would break on them.

#include <QString>

namespace vocabulary {

inline bool isControlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7F || u == 0x2028 || u == 0x2029;
}

inline QString withoutControlCharacters(QString text) {
    text.removeIf(isControlCharacter);
    return text;
}

}  // namespace vocabulary
