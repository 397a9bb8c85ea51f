// SPDX-License-Identifier: MIT
#pragma once

// The pieces of rv_sql's shell: statements read from lines (one a line, or ending with ';'
// at the end of a line), query results in the output formats, the dot-commands, and a
// session that runs what was read.

#include <csignal>
#include <cstddef>
#include <optional>
#include <ostream>
#include <stdexcept>
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
// without, each line is a statement. A statement's text may hold several statements, one
// after the other on a line; the session splits them.
class StatementReader {
  public:
    explicit StatementReader(bool semicolons) : m_semicolons(semicolons) {}

    // The line (without its line feed), and the statement it completes, if any.
    std::optional<Statement> feed(std::string_view line, int number);
    // A statement has begun and not ended.
    bool pending() const { return !m_text.empty(); }
    // At the end of the input: the statement begun, if any.
    std::optional<Statement> finish();
    // Drops the statement begun (Ctrl+C at the prompt).
    void clear();

  private:
    bool m_semicolons;
    std::string m_text;
    int m_line = 0;
    char m_quote = 0;  // the quote a text is open in across lines
};

// The statements of a whole script: statements end with ';' when a line of it ends so,
// else (as scripts written one statement per line) each line is one.
std::vector<Statement> splitScript(std::string_view script);

enum class Format { kTabs, kList, kCsv, kJson };

// How query results are printed.
struct Settings {
    Format format = Format::kTabs;
    bool header = true;  // a line of the column names first (not in JSON)
};

// A query's result: tab-separated (a null as \N; backslash, tab, line feed, carriage
// return as \\ \t \n \r); a list, cells between '|' as they are (a null as an empty cell);
// CSV (a null as an empty cell, an empty text as ""); or JSON, an array of one object a row
// (null as null). The header line, when asked for, in the same format.
void printRecordset(std::ostream& out, jet::Recordset& rs, Settings settings);

// A dot-command, read into what it asks for.
struct DotCommand {
    enum class Kind { kHelp, kTables, kSchema, kQuit, kHeaders, kMode, kRead, kAllowZeroLength };
    Kind kind = Kind::kHelp;
    std::vector<std::string> arguments;  // .schema [TABLE], .read FILE, .allow-zero-length T.C…
    bool on = false;                     // .headers on|off
    Format format = Format::kTabs;       // .mode
};

// Reads a line beginning with '.'. Throws std::runtime_error for an unknown command or
// wrong arguments.
DotCommand parseDotCommand(std::string_view line);

// "TABLE.COLUMN" (either may stand in [brackets]) as its two names. Throws
// std::runtime_error when it is not of that form.
std::pair<std::string, std::string> tableAndColumn(std::string_view target);

// .schema: the Jet statements that make the tables (each, or only TABLE) again as they
// are: columns with their types and NOT NULL, the primary key and UNIQUE clauses, the
// indexes, and the columns that allow zero-length texts (as .allow-zero-length lines).
// Throws std::runtime_error for a table that does not exist.
void printSchema(std::ostream& out, jet::Connection& conn, std::string_view table = {});

// What a statement run by the session failed with: "statement N (line L): MESSAGE".
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Runs what the shell reads on one connection: statements, several to a text, one after
// the other, and dot-commands; counts them for the messages.
class Session {
  public:
    Session(jet::Connection& conn, std::ostream& out, Settings settings)
        : m_conn(conn), m_out(out), m_settings(settings) {}

    // Runs a statement read, or each of the statements its text holds. False after .quit
    // or .exit. Throws Failure for the first that fails; the rest of the text is not run.
    bool run(const Statement& statement);

    // Ctrl+C: the statement running is stopped, and the rest of the text is not run. Safe
    // from a signal handler; holds until clearInterrupt().
    void interrupt() noexcept;
    void clearInterrupt() noexcept { m_interrupted = 0; }
    const Settings& settings() const { return m_settings; }
    std::size_t count() const { return m_count; }

  private:
    bool runDotCommand(const Statement& statement);
    bool read(const std::string& file);
    void execute(std::string_view text, int line);
    std::string where(int line) const;

    jet::Connection& m_conn;
    std::ostream& m_out;
    Settings m_settings;
    std::size_t m_count = 0;  // statements run so far
    std::string m_file;       // the file .read is reading, if any
    int m_depth = 0;          // .read within .read
    volatile std::sig_atomic_t m_interrupted = 0;
};

// .help
extern const char* const kHelp;
// Ctrl+C on an empty line.
inline constexpr const char* kHowToLeave = "rv_sql: to leave, type .quit or press Ctrl+D";

}  // namespace sql_shell
