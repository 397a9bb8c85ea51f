// SPDX-License-Identifier: MIT
// rv_sql: runs Jet-dialect statements against a product or template database, from its
// arguments, a script on standard input, or typed at a terminal.

#include <editline/readline.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/recordset.h"
#include "password.h"
#include "rv_sql_args.h"
#include "sql_shell.h"

namespace {

using cli::kExitOk;
constexpr int kExitFailed = 1;

struct Options {
    std::string database;
    std::string password;
    bool create = false;
    bool catalog = false;
    sql_shell::Format format = sql_shell::Format::kTabs;
    bool header = false;
    std::vector<std::pair<std::string, std::string>> allowZeroLength;  // table, column
    std::vector<std::string> statements;
};

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (blank(s.back()) || s.back() == ';')) {
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

Options optionsOf(const cli::Arguments& args) {
    Options o;
    o.database = args.positional().front();
    o.statements.assign(args.positional().begin() + 1, args.positional().end());
    o.create = args.has("create");
    o.catalog = args.has("catalog");
    o.format = args.has("csv")    ? sql_shell::Format::kCsv
               : args.has("json") ? sql_shell::Format::kJson
                                  : sql_shell::Format::kTabs;
    o.header = args.has("header");
    for (const std::string& target : args.values("allow-zero-length")) {
        const auto dot = target.find('.');  // the parser saw that there is one
        o.allowZeroLength.emplace_back(target.substr(0, dot), target.substr(dot + 1));
    }
    return o;
}

std::string connectionStringOf(const Options& o) {
    if (jet::isConnectionString(o.database)) {
        return o.database;
    }
    return jet::ConnectionString::build(o.database, o.password);
}

void run(jet::Connection& conn, const Options& o, std::string_view statement) {
    const std::string_view word = trim(statement);
    if (word.starts_with('.')) {
        sql_shell::runDotCommand(std::cout, conn, word);
    } else if (equalsIgnoringCase(word, "BEGIN")) {
        conn.beginTrans();
    } else if (equalsIgnoringCase(word, "COMMIT")) {
        conn.commitTrans();
    } else if (equalsIgnoringCase(word, "ROLLBACK")) {
        conn.rollbackTrans();
    } else {
        jet::Recordset rs = conn.execute(statement);
        sql_shell::printRecordset(std::cout, rs, o.format, o.header);
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

// "statement N" or, read from lines, "statement N (line L)".
std::string where(std::size_t index, const sql_shell::Statement& statement) {
    return "statement " + std::to_string(index + 1) +
           (statement.line > 0 ? " (line " + std::to_string(statement.line) + ")" : "");
}

// At a terminal: a prompt with line editing and history; each statement runs when its line
// ends with ';', and a failing one is reported without ending the session.
void interactive(jet::Connection& conn, const Options& o) {
    const char* home = std::getenv("HOME");
    const std::string history = home ? std::string(home) + "/.rv_sql_history" : "";
    using_history();
    if (!history.empty()) {
        read_history(history.c_str());
    }
    sql_shell::StatementReader reader(true);
    std::size_t count = 0;
    for (int number = 1;; ++number) {
        char* typed = readline(reader.pending() ? "   ...> " : "rv_sql> ");
        if (typed == nullptr) {
            break;
        }
        const std::string line = typed;
        std::free(typed);
        if (!trim(line).empty()) {
            add_history(line.c_str());
        }
        if (auto statement = reader.feed(line, number)) {
            try {
                run(conn, o, statement->text);
            } catch (const std::exception& e) {
                std::cout.flush();
                std::cerr << "rv_sql: " << where(count, *statement) << ": " << e.what() << '\n';
            }
            ++count;
            std::cout.flush();
        }
    }
    std::cout << '\n';
    if (!history.empty()) {
        write_history(history.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const cli::Parsed command = rv_sql::parseCommandLine(cli::arguments(argc, argv));
    if (command.exit) {
        return cli::finish(command);
    }
    Options options = optionsOf(command.args);
    try {
        options.password = cli::passwordOf(command.args, std::cin, STDIN_FILENO);
    } catch (const std::exception& e) {
        std::cerr << "rv_sql: " << e.what() << "\n";
        return cli::kExitUsage;
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

    std::vector<sql_shell::Statement> statements;
    for (std::string& text : options.statements) {
        statements.push_back({std::move(text), 0});
    }
    if (statements.empty() && ::isatty(STDIN_FILENO)) {
        interactive(conn, options);
    } else if (statements.empty()) {
        const std::string script{std::istreambuf_iterator<char>(std::cin),
                                 std::istreambuf_iterator<char>()};
        statements = sql_shell::splitScript(script);
    }

    for (std::size_t i = 0; i < statements.size(); ++i) {
        try {
            run(conn, options, statements[i].text);
        } catch (const std::exception& e) {
            // Closing the connection with the transaction open leaves nothing of it.
            return fail(where(i, statements[i]) + ": " + e.what());
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
