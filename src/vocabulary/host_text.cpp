// SPDX-License-Identifier: MIT
#include "vocabulary/host_text.h"

namespace vocabulary {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at the start of `s` and its code point, or 0.
int validSequence(std::string_view s, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(s[0]);
    int len = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (s.size() < static_cast<std::size_t>(len)) {
        return 0;
    }
    for (int k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return overlong || surrogate || cp > 0x10FFFF ? 0 : len;
}

}  // namespace

std::size_t validUtf8Length(std::string_view bytes) {
    std::size_t n = 0;
    char32_t cp = 0;
    while (n < bytes.size()) {
        const int len = validSequence(bytes.substr(n), cp);
        if (len == 0) {
            break;
        }
        n += static_cast<std::size_t>(len);
    }
    return n;
}

QString fromHostBytes(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    while (!bytes.empty()) {
        char32_t cp = 0;
        const int len = validSequence(bytes, cp);
        if (len == 0) {
            out += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[0])));
            bytes.remove_prefix(1);
        } else {
            out += QString::fromUcs4(&cp, 1);
            bytes.remove_prefix(static_cast<std::size_t>(len));
        }
    }
    return out;
}

std::string toHostBytes(QStringView text) {
    std::string out;
    qsizetype run = 0;  // start of the characters not yet written
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const bool pairsWithPrevious = i > 0 && QChar::isHighSurrogate(text[i - 1].unicode());
        if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF && !pairsWithPrevious) {
            out += text.mid(run, i - run).toUtf8().toStdString();
            out += static_cast<char>(u - kEscapeBase);
            run = i + 1;
        }
    }
    out += text.mid(run).toUtf8().toStdString();
    return out;
}

}  // namespace vocabulary
