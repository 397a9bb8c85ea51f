// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace jet::detail {

inline char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = asciiUpper(c);
    }
    return out;
}

inline std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = asciiLower(c);
    }
    return out;
}

inline bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiUpper(a[i]) != asciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

inline std::string_view trim(std::string_view s) {
    const char* ws = " \t\r\n\f\v";
    auto b = s.find_first_not_of(ws);
    if (b == std::string_view::npos) {
        return {};
    }
    auto e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

// `s` between two `quote`s, each `quote` inside doubled.
inline std::string quoted(std::string_view s, char quote) {
    std::string out(1, quote);
    for (char c : s) {
        if (c == quote) {
            out += quote;
        }
        out += c;
    }
    out += quote;
    return out;
}

// "name" with embedded quotes doubled: an SQLite identifier or constraint name.
inline std::string quoteIdent(std::string_view s) {
    return quoted(s, '"');
}

// 'text' with embedded apostrophes doubled: an SQLite string literal.
inline std::string quoteString(std::string_view s) {
    return quoted(s, '\'');
}

}  // namespace jet::detail
