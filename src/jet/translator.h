// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jet {

// The Jet dialect, translated into SQL for SQLCipher. Pure: no database needed.
//
// DDL becomes SQLite DDL whose constraints carry the Jet rules (types, widths,
// NOT NULL, zero-length, number and date checks), each named after what it guards
// ("FIELD.ATTR: at most 1 character") so that a refusal names its table and column.
// DML is rewritten token by token: "delete * from", [names], "strings", #dates#,
// True/False and the & operator. The tokens come from lexer.h, the columns as stored
// (types and rules) from schema_rules.h.
struct Translation {
    enum class Kind { kQuery, kChange, kDefinition, kAddColumn, kBegin, kCommit, kRollback };
    Kind kind = Kind::kChange;
    std::string sql;    // exactly one SQLite statement
    std::string table;  // the table a definition names
    // ALTER TABLE … ADD COLUMN (kAddColumn): the new column's name, its declared type,
    // and its text as ADD COLUMN stores it in the table's definition (the end of `sql`).
    std::string column;
    std::string columnType;
    std::string columnSql;
    // Every word, [name] and quoted text of the statement, unquoted, so that the engine
    // can tell which tables it cannot touch (a table it touches is named there).
    std::vector<std::string> mentions;
};

// Throws jet::Error (kSyntax, kUnsupported, kInvalidName) for text that is not one
// Jet statement; a second statement after the first is refused.
//
// A query's TOP n (the first n rows) and TOP n PERCENT (the first n percent of them,
// rounded up) become a LIMIT; rows tied with the last one are not added.
Translation translate(std::string_view statement);

// The statements of `text`, each without its closing ';', split where the engine's own
// lexer sees a ';' (not inside a quoted text, a [name] or a #date#); blank pieces are left
// out. Throws jet::Error for text the lexer refuses (an unterminated quote, a comment).
std::vector<std::string_view> splitStatements(std::string_view text);

// True when `name` may stand as a column or table name without brackets.
bool isValidPlainName(std::string_view name);
bool isReservedWord(std::string_view word);

}  // namespace jet
