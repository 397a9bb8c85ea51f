// rv_sql: runs Jet-dialect statements against a product or template database.

#include <algorithm>
#include <cctype>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/recordset.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    R"(Usage: rv_sql [options] DATABASE [STATEMENT ...]

Runs Jet-dialect SQL statements against a database file, one after the other on
one connection.

  DATABASE            a file path, or a whole connection string (any text
                      containing '='), for example
                      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb;
                       Jet OLEDB:Database Password=pw;"
  -p, --password P    the database password, with a file path (default: empty,
                      an unencrypted file); not allowed with a connection string
  --create            create DATABASE as a new empty database first (fails when
                      something exists at the path)
  --allow-zero-length TABLE.COLUMN
                      after the statements, set that column's
                      "Jet OLEDB:Allow Zero Length" to True (repeatable)
  --catalog           last, print the catalog: one line per column of every
                      table except the engine's own, tab-separated:
                      TABLE  COLUMN  TYPE  ATTRIBUTE_FLAGS  ALLOW_ZERO_LENGTH
                      TYPE in Jet words as declared (LONG, TEXT(32), MEMO, DATE,
                      DOUBLE, YESNO, COUNTER); ATTRIBUTE_FLAGS in decimal
                      (1 fixed length, 2 nullable); ALLOW_ZERO_LENGTH true|false
  -h, --help          show this text
  --                  end of options; every later argument is a statement

Statements come from the arguments, in order. With none, they come from
standard input, one statement per line; empty lines and lines beginning with
"--" are skipped. Options may stand anywhere before "--".

BEGIN, COMMIT and ROLLBACK, alone and in any letter case, begin, commit and
roll back a transaction. A transaction still open at the end is rolled back.

A query prints a header line with the column names, then one line per row;
cells are separated by tabs, a null prints as \N, and a backslash, tab, line
feed or carriage return inside a value prints as \\, \t, \n or \r.

At the first statement that fails, rv_sql prints
  rv_sql: statement N: MESSAGE
to standard error (N counts the statements run, from 1) and exits with 1; an
open transaction is not committed. Other failures (open, create, catalog) print
"rv_sql: MESSAGE" and exit with 1. Usage errors exit with 2. Otherwise 0.

The field template library that rv_makedb uses by default, base.mdb, is an
unencrypted database (open it without -p). In the build tree it lies beside
this program; installed, in <prefix>/share/rv_makedb/ (from the package:
/usr/share/rv_makedb/base.mdb).
)";

struct Options {
    std::string database;
    std::optional<std::string> password;
    bool create = false;
    bool catalog = false;
    bool help = false;
    std::vector<std::pair<std::string, std::string>> allowZeroLength;  // table, column
    std::vector<std::string> statements;
};

struct UsageError {
    std::string message;
};

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

Options parseArguments(int argc, char** argv) {
    Options o;
    bool haveDatabase = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto valueOf = [&](std::string_view name) -> std::string {
            // "--name=value" or "--name value"
            if (arg.size() > name.size() && arg[name.size()] == '=') {
                return std::string(arg.substr(name.size() + 1));
            }
            if (i + 1 >= argc) {
                throw UsageError{std::string(name) + " needs a value"};
            }
            return argv[++i];
        };
        const auto is = [&](std::string_view name) {
            return arg == name || (arg.starts_with(name) && arg.size() > name.size() &&
                                   arg[name.size()] == '=' && name.starts_with("--"));
        };
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "-h" || arg == "--help") {
                o.help = true;
            } else if (is("-p") || is("--password")) {
                o.password = valueOf(arg.starts_with("--") ? "--password" : "-p");
            } else if (arg == "--create") {
                o.create = true;
            } else if (arg == "--catalog") {
                o.catalog = true;
            } else if (is("--allow-zero-length")) {
                const std::string target = valueOf("--allow-zero-length");
                const auto dot = target.find('.');
                if (dot == std::string::npos || dot == 0 || dot + 1 == target.size() ||
                    target.find('.', dot + 1) != std::string::npos) {
                    throw UsageError{"--allow-zero-length wants TABLE.COLUMN, not \"" + target +
                                     "\""};
                }
                o.allowZeroLength.emplace_back(target.substr(0, dot), target.substr(dot + 1));
            } else {
                throw UsageError{"unknown option " + std::string(arg)};
            }
            continue;
        }
        if (!haveDatabase) {
            o.database = arg;
            haveDatabase = true;
        } else {
            o.statements.emplace_back(arg);
        }
    }
    if (o.help) {
        return o;
    }
    if (!haveDatabase || o.database.empty()) {
        throw UsageError{"no DATABASE given"};
    }
    if (o.database.find('=') != std::string::npos && o.password) {
        throw UsageError{"-p/--password goes with a file path, not with a connection string"};
    }
    return o;
}

std::string connectionStringOf(const Options& o) {
    if (o.database.find('=') != std::string::npos) {
        return o.database;
    }
    return jet::ConnectionString::build(o.database, o.password.value_or(""));
}

std::vector<std::string> readStatements(std::istream& in) {
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view text = trim(line);
        if (text.empty() || text.starts_with("--")) {
            continue;
        }
        // A line ending in CR (a file from Windows) keeps its text without the CR.
        std::string_view kept = line;
        if (kept.ends_with('\r')) {
            kept.remove_suffix(1);
        }
        out.emplace_back(kept);
    }
    return out;
}

void writeCell(std::ostream& out, const jet::Value& v) {
    if (v.isNull()) {
        out << "\\N";
        return;
    }
    for (char c : v.toString()) {
        switch (c) {
            case '\\':
                out << "\\\\";
                break;
            case '\t':
                out << "\\t";
                break;
            case '\n':
                out << "\\n";
                break;
            case '\r':
                out << "\\r";
                break;
            default:
                out << c;
        }
    }
}

void printRecordset(std::ostream& out, jet::Recordset& rs) {
    const int n = rs.fieldCount();
    if (n == 0) {
        return;
    }
    for (int i = 0; i < n; ++i) {
        out << (i ? "\t" : "") << rs.fieldName(i);
    }
    out << '\n';
    for (; !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < n; ++i) {
            if (i) {
                out << '\t';
            }
            writeCell(out, rs.field(i));
        }
        out << '\n';
    }
}

void run(jet::Connection& conn, std::string_view statement) {
    const std::string_view word = trim(statement);
    if (equalsIgnoringCase(word, "BEGIN")) {
        conn.beginTrans();
    } else if (equalsIgnoringCase(word, "COMMIT")) {
        conn.commitTrans();
    } else if (equalsIgnoringCase(word, "ROLLBACK")) {
        conn.rollbackTrans();
    } else {
        jet::Recordset rs = conn.execute(statement);
        printRecordset(std::cout, rs);
    }
}

void printCatalog(jet::Connection& conn) {
    const jet::Catalog catalog(conn);
    for (const jet::TableInfo& table : catalog.tables()) {
        if (table.system) {
            continue;
        }
        for (const jet::ColumnInfo& col : table.columns) {
            std::cout << table.name << '\t' << col.name << '\t' << col.type << '\t'
                      << col.attributes << '\t' << (col.allowZeroLength ? "true" : "false") << '\n';
        }
    }
}

int fail(std::string_view message) {
    std::cout.flush();
    std::cerr << "rv_sql: " << message << '\n';
    return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = parseArguments(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "rv_sql: " << e.message << "\n"
                  << "Try 'rv_sql --help' for more information.\n";
        return kExitUsage;
    }
    if (options.help) {
        std::cout << kUsage;
        return kExitOk;
    }

    jet::Connection conn;
    try {
        const std::string connStr = connectionStringOf(options);
        if (options.create) {
            jet::Catalog::create(connStr);
        }
        conn.open(connStr);
    } catch (const jet::Error& e) {
        return fail(e.what());
    }

    std::vector<std::string> statements = std::move(options.statements);
    if (statements.empty()) {
        statements = readStatements(std::cin);
    }

    for (std::size_t i = 0; i < statements.size(); ++i) {
        try {
            run(conn, statements[i]);
        } catch (const jet::Error& e) {
            // Closing the connection with the transaction open leaves nothing of it.
            return fail("statement " + std::to_string(i + 1) + ": " + e.what());
        }
    }

    for (const auto& [table, column] : options.allowZeroLength) {
        try {
            jet::Catalog(conn).setProperty(table, column, jet::kAllowZeroLength, true);
        } catch (const jet::Error& e) {
            return fail("--allow-zero-length " + table + "." + column + ": " + e.what());
        }
    }

    if (options.catalog) {
        try {
            printCatalog(conn);
        } catch (const jet::Error& e) {
            return fail(std::string("--catalog: ") + e.what());
        }
    }

    if (conn.inTransaction()) {
        std::cerr << "rv_sql: transaction left open at the end, rolled back\n";
        try {
            conn.rollbackTrans();
        } catch (const jet::Error& e) {
            return fail(e.what());
        }
    }
    try {
        conn.close();
    } catch (const jet::Error& e) {
        return fail(e.what());
    }
    std::cout.flush();
    return std::cout ? kExitOk : kExitFailed;
}
