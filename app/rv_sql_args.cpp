// SPDX-License-Identifier: MIT
#include "rv_sql_args.h"

#include "jet/connection_string.h"
#include "password.h"

namespace rv_sql {

namespace {

// One line an option; the help wraps each text to the screen.
constexpr cli::Option kOptions[] = {
    cli::kPasswordOption,
    cli::kPasswordFileOption,
    cli::kAskPasswordOption,
    {.names = "create",
     .help = "create DATABASE as a new empty database first (fails when something exists at "
             "the path)"},
    {.names = "allow-zero-length",
     .value = "TABLE.COLUMN",
     .help = "after the statements, set that column's \"Jet OLEDB:Allow Zero Length\" to True "
             "(repeatable)"},
    {.names = "csv",
     .help = "print query results as CSV: a null as an empty cell, an empty text as \"\"",
     .group = "format"},
    {.names = "json",
     .help = "print each query's result as a JSON array of one object a row (a null as null)",
     .group = "format"},
    {.names = "header", .help = "with --csv, begin with a line of the column names", .with = "csv"},
    {.names = "catalog",
     .help = "last, print the catalog: one line per column of every table except the engine's "
             "own, tab-separated:\n"
             "  TABLE COLUMN TYPE ATTRIBUTE_FLAGS ALLOW_ZERO_LENGTH\n"
             "TYPE in Jet words as declared (LONG, TEXT(32), MEMO, DATE, DOUBLE, YESNO, "
             "COUNTER); ATTRIBUTE_FLAGS in decimal (1 fixed length, 2 nullable); "
             "ALLOW_ZERO_LENGTH true|false"},
};

}  // namespace

const cli::Program kProgram{
    .name = "rv_sql",
    .usage = "[OPTION]... DATABASE [STATEMENT]...",
    .intro = R"(Runs Jet-dialect SQL statements against a database file or a database on a
PostgreSQL server, one after the other on one connection. A password is given
with a file path or a server's URI, never with a connection string.

  DATABASE            a file path, a server's URI (postgresql://user@host/db),
                      or a whole connection string (any other text containing
                      '='), for example
                      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb;
                       Jet OLEDB:Database Password=pw;"
)",
    .options = kOptions,
    .epilogue = R"(Options may stand anywhere; "--" ends them, and every later argument is a
statement.

Statements come from the arguments, in order. With none, they come from
standard input: when a line of it ends with ';', statements may span lines and
end with ';' at the end of a line; when none does, each line is a statement.
Several statements may stand on one line, separated by ';'. Empty lines and
lines beginning with "--" between statements are skipped. At a terminal,
rv_sql prompts, with line editing and a history (~/.rv_sql_history, written as
each line is entered); a failing statement is reported and the session goes
on. Ctrl+C stops the statement running or drops the line being typed; .quit,
.exit or Ctrl+D ends the session.

Dot-commands, on a line of their own: .tables, .schema [TABLE] (the statements
that make the tables again, keys and indexes included), .headers on|off,
.mode tabs|list|csv|json, .read FILE, .allow-zero-length TABLE.COLUMN...,
.quit, .exit, .help.

BEGIN, COMMIT and ROLLBACK, alone and in any letter case, begin, commit and
roll back a transaction. A transaction still open at the end is rolled back.

A query prints a header line with the column names, then one line per row;
cells are separated by tabs, a null prints as \N, and a backslash, tab, line
feed or carriage return inside a value prints as \\, \t, \n or \r (see --csv
and --json for the other formats).

At the first statement that fails, rv_sql prints
  rv_sql: statement N (line L): MESSAGE
to standard error (N counts the statements run, from 1; L, the line of standard
input it begins on) and exits with 1; an open transaction is not committed.
Other failures (open, create, catalog) print "rv_sql: MESSAGE" and exit with 1.
Usage errors exit with 2. Otherwise 0.

The field template library that rv_makedb uses by default, base.mdb, is an
unencrypted database (open it without -p). In the build tree it lies beside
this program; installed, in <prefix>/share/rv_makedb/ (from the package:
/usr/share/rv_makedb/base.mdb).
)",
};

cli::Parsed parseCommandLine(const std::vector<std::string>& args) {
    cli::Parsed parsed = cli::parse(kProgram, args);
    if (parsed.exit) {
        return parsed;
    }
    const cli::Arguments& a = parsed.args;
    if (a.positional().empty() || a.positional().front().empty()) {
        return cli::usageError(kProgram, "no DATABASE given");
    }
    if (jet::isConnectionString(a.positional().front()) &&
        (a.has("password") || a.has("password-file") || a.has("ask-password"))) {
        return cli::usageError(kProgram,
                               "a password goes with a file path, not with a connection string");
    }
    for (const std::string& target : a.values("allow-zero-length")) {
        const auto dot = target.find('.');
        if (dot == std::string::npos || dot == 0 || dot + 1 == target.size() ||
            target.find('.', dot + 1) != std::string::npos) {
            return cli::usageError(
                kProgram, "--allow-zero-length wants TABLE.COLUMN, not \"" + target + "\"");
        }
    }
    return parsed;
}

}  // namespace rv_sql
