// SPDX-License-Identifier: MIT
#pragma once

// The pieces of rv_sql's shell: statements read from lines (one a line, or ending with ';'
// at the end of a line), query results in the output formats, and the dot-commands.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace jet {
class Connection;
class Recordset;
}  // namespace jet

namespace sql_shell {

struct Statement {
    std::string text;
    int line = 0;  // the line it begins on, from 1; 0: not read from lines
};

// Collects statements line by line. Empty lines and lines beginning with "--" between
// statements are skipped, and a line beginning with '.' there is a dot-command. With
// `semicolons`, a statement runs over lines until one ends with ';' outside a quoted text;
// without, each line is a statement.
class StatementReader {
  public:
    explicit StatementReader(bool semicolons) : m_semicolons(semicolons) {}

    // The line (without its line feed), and the statement it completes, if any.
    std::optional<Statement> feed(std::string_view line, int number);
    // A statement has begun and not ended.
    bool pending() const { return !m_text.empty(); }
    // At the end of the input: the statement begun, if any.
    std::optional<Statement> finish();

  private:
    bool m_semicolons;
    std::string m_text;
    int m_line = 0;
    char m_quote = 0;  // the quote a text is open in across lines
};

// The statements of a whole script: statements end with ';' when a line of it ends so,
// else (as scripts written one statement per line) each line is one.
std::vector<Statement> splitScript(std::string_view script);

enum class Format { kTabs, kCsv, kJson };

// A query's result: tab-separated under a header line (a null as \N; backslash, tab, line
// feed, carriage return as \\ \t \n \r); CSV (a null as an empty cell, an empty text as "",
// a header line only with `header`); or JSON, an array of one object a row (null as null).
void printRecordset(std::ostream& out, jet::Recordset& rs, Format format, bool header);

// Runs a dot-command (.tables, .schema [TABLE], .help). Throws std::runtime_error for one
// it does not know.
void runDotCommand(std::ostream& out, jet::Connection& conn, std::string_view command);

}  // namespace sql_shell
