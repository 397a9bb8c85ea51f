// SPDX-License-Identifier: MIT
#include "lexer.h"

#include <array>
#include <cstdio>

#include "error.h"
#include "text_util.h"

namespace jet::detail {

namespace {

[[noreturn]] void syntax(const std::string& why) {
    throw Error(why, ErrorCode::kSyntax);
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool isSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

}  // namespace

bool isWordStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool isWordChar(unsigned char c) {
    return isWordStart(c) || (c >= '0' && c <= '9');
}

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> out;
    out.reserve(s.size() / 4 + 8);
    size_t i = 0;
    const size_t n = s.size();
    auto quoted = [&](char close, Tok type, const char* what) {
        size_t j = i + 1;
        while (true) {
            if (j >= n) {
                throw Error(std::string("unterminated ") + what, ErrorCode::kSyntax,
                            ErrorKind::kUnterminated);
            }
            if (s[j] == close) {
                if (close != ']' && close != '#' && j + 1 < n && s[j + 1] == close) {
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        out.push_back({type, s.substr(i, j + 1 - i)});
        i = j + 1;
    };
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (isSpace(c)) {
            size_t j = i;
            while (j < n && isSpace(static_cast<unsigned char>(s[j]))) {
                ++j;
            }
            out.push_back({Tok::kSpace, s.substr(i, j - i)});
            i = j;
        } else if (isWordStart(c)) {
            size_t j = i;
            while (j < n && isWordChar(static_cast<unsigned char>(s[j]))) {
                ++j;
            }
            out.push_back({Tok::kWord, s.substr(i, j - i)});
            i = j;
        } else if (isDigit(c) || (c == '.' && i + 1 < n && isDigit(s[i + 1]))) {
            size_t j = i;
            while (j < n && isDigit(s[j])) {
                ++j;
            }
            if (j < n && s[j] == '.') {
                ++j;
                while (j < n && isDigit(s[j])) {
                    ++j;
                }
            }
            if (j < n && (s[j] == 'e' || s[j] == 'E')) {
                size_t k = j + 1;
                if (k < n && (s[k] == '+' || s[k] == '-')) {
                    ++k;
                }
                if (k < n && isDigit(s[k])) {
                    j = k;
                    while (j < n && isDigit(s[j])) {
                        ++j;
                    }
                }
            }
            if (j < n && isWordStart(static_cast<unsigned char>(s[j]))) {
                syntax("\"" + std::string(s.substr(i, j + 1 - i)) + "\" is not a number or a name");
            }
            out.push_back({Tok::kNumber, s.substr(i, j - i)});
            i = j;
        } else if (c == '\'') {
            quoted('\'', Tok::kString, "string");
        } else if (c == '"') {
            quoted('"', Tok::kDqString, "string");
        } else if (c == '[') {
            quoted(']', Tok::kBracketed, "[name]");
        } else if (c == '#') {
            quoted('#', Tok::kDate, "#date#");
        } else if (c == ';') {
            out.push_back({Tok::kSemi, s.substr(i, 1)});
            ++i;
        } else if ((c == '-' && i + 1 < n && s[i + 1] == '-') ||
                   (c == '/' && i + 1 < n && s[i + 1] == '*')) {
            syntax("comments are not part of Jet SQL");
        } else if (c < 0x20 || c == 0x7f) {
            syntax("control character in statement");
        } else {
            static constexpr std::array<std::string_view, 6> kTwo = {
                "<>", "<=", ">=", "!=", "||", "=="};
            size_t len = 1;
            for (auto two : kTwo) {
                if (s.substr(i, 2) == two) {
                    len = 2;
                }
            }
            out.push_back({Tok::kPunct, s.substr(i, len)});
            i += len;
        }
    }
    return out;
}

std::vector<Token> singleStatement(std::vector<Token> toks) {
    for (size_t i = 0; i < toks.size(); ++i) {
        if (toks[i].type == Tok::kSemi) {
            for (size_t j = i + 1; j < toks.size(); ++j) {
                if (toks[j].type != Tok::kSpace) {
                    syntax("only one statement may be executed at a time");
                }
            }
            toks.resize(i);
            break;
        }
    }
    return toks;
}

std::string unquoteBody(std::string_view quoted, char q) {
    std::string out;
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
        out += quoted[i];
        if (quoted[i] == q && i + 2 < quoted.size() && quoted[i + 1] == q) {
            ++i;
        }
    }
    return out;
}

std::string dateLiteral(std::string_view tok) {
    std::string body(tok.substr(1, tok.size() - 2));
    auto sv = trim(body);
    int y = 0, m = 0, d = 0;
    std::string time;
    auto sp = sv.find(' ');
    std::string_view datePart = sv.substr(0, sp);
    if (sp != std::string_view::npos) {
        time = std::string(trim(sv.substr(sp + 1)));
    }
    auto num = [](std::string_view t, int& v) {
        if (t.empty() || t.size() > 4) {
            return false;
        }
        v = 0;
        for (char c : t) {
            if (!isDigit(c)) {
                return false;
            }
            v = v * 10 + (c - '0');
        }
        return true;
    };
    auto split = [&](char sep, int& a, int& b, int& c) {
        auto p1 = datePart.find(sep);
        auto p2 = p1 == std::string_view::npos ? p1 : datePart.find(sep, p1 + 1);
        return p2 != std::string_view::npos && num(datePart.substr(0, p1), a) &&
               num(datePart.substr(p1 + 1, p2 - p1 - 1), b) && num(datePart.substr(p2 + 1), c);
    };
    if (split('-', y, m, d)) {
    } else if (split('/', m, d, y)) {
    } else {
        syntax("\"" + std::string(tok) + "\" is not a date");
    }
    char buf[40];  // room for any three ints, so the compiler sees nothing cut
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    std::string out = buf;
    if (!time.empty()) {
        out += ' ';
        out += time;
    }
    return quoteString(out);
}

}  // namespace jet::detail
