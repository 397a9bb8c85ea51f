// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <optional>
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
    // On a server: the columns a CREATE TABLE defines (as written), and whether the
    // definition has text or memo columns (which need the server's citext type).
    std::vector<std::string> columns;
    bool usesText = false;
    // On a server: the table's COUNTER column, when a CREATE TABLE defines one or an INSERT
    // gives it a number of its own (the server's numbering then continues after it).
    std::string counterTable;
    std::string counterColumn;
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

// The tables and columns of a database on a server, as it stores their names: a name
// that a statement writes in any case is sent as stored.
struct ServerNames {
    std::map<std::string, std::string> tables;                          // lower case → stored
    std::map<std::string, std::map<std::string, std::string>> columns;  // by lower-case table
    std::map<std::string, std::string> counters;  // lower-case table → its COUNTER column

    std::optional<std::string> table(std::string_view name) const;
    std::optional<std::string> column(std::string_view table, std::string_view name) const;
    // A column of that name in any table.
    std::optional<std::string> anyColumn(std::string_view name) const;
};

// The same statement for a PostgreSQL server: its DDL with the rules of server_rules.h,
// its DML with every known name as stored (quoted), ORDER BY putting nulls first when
// ascending and last when descending, as in a file. Names longer than the server takes
// (63 bytes) are refused rather than cut short.
Translation translateForServer(std::string_view statement, const ServerNames& names);

// True when `name` may stand as a column or table name without brackets.
bool isValidPlainName(std::string_view name);
bool isReservedWord(std::string_view word);

}  // namespace jet
