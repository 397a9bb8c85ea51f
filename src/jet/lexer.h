// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jet::detail {

// The tokens of a Jet SQL statement. Failures throw jet::Error (ErrorCode::kSyntax).
enum class Tok { kWord, kBracketed, kString, kDqString, kNumber, kDate, kPunct, kSpace, kSemi };

struct Token {
    Tok type;
    std::string_view text;  // as written, delimiters included
};

bool isWordStart(unsigned char c);
bool isWordChar(unsigned char c);

// Splits `statement` into tokens, blanks included; refuses comments, control
// characters, unterminated quotes and a number running into a name.
std::vector<Token> tokenize(std::string_view statement);

// Drops the statement's closing ';' and refuses anything after it.
std::vector<Token> singleStatement(std::vector<Token> toks);

// The body of a quoted token, doubled quote characters `q` made single.
std::string unquoteBody(std::string_view quoted, char q);

// #2026-12-05# or #12/5/2026#, optionally with a time of day, as an SQLite string
// literal 'YYYY-MM-DD[ time]'.
std::string dateLiteral(std::string_view tok);

}  // namespace jet::detail
