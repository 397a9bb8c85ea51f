// SPDX-License-Identifier: MIT
#pragma once

// Text that comes from the host or the command line as bytes: file paths and passwords.
// The wizard holds it as a QString; the file system and the engine get the very bytes
// again. Valid UTF-8 becomes its characters; every byte that is not part of valid UTF-8
// becomes one of the code units U+DC80..U+DCFF, which turn back into that byte. A path
// with bytes that are not UTF-8 therefore names the same file all the way through.

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace vocabulary {

QString fromHostBytes(std::string_view bytes);
std::string toHostBytes(QStringView text);

// The length of the longest start of `bytes` that is valid UTF-8 (no overlong forms, no
// surrogates, nothing beyond U+10FFFF).
std::size_t validUtf8Length(std::string_view bytes);

}  // namespace vocabulary
