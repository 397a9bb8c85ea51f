// SPDX-License-Identifier: MIT
// rv_sql: runs Jet-dialect statements against a product or template database, from its
// arguments, a script on standard input, or typed at a terminal.

#include <editline/readline.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
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
    sql_shell::Settings settings;
    std::vector<std::string> allowZeroLength;  // TABLE.COLUMN
    std::vector<std::string> statements;
};

Options optionsOf(const cli::Arguments& args) {
    Options o;
    o.database = args.positional().front();
    o.statements.assign(args.positional().begin() + 1, args.positional().end());
    o.create = args.has("create");
    o.catalog = args.has("catalog");
    o.settings.format = args.has("csv")    ? sql_shell::Format::kCsv
                        : args.has("json") ? sql_shell::Format::kJson
                                           : sql_shell::Format::kTabs;
    // The tab-separated output has its header line unless .headers says otherwise; CSV
    // only with --header.
    o.settings.header = !args.has("csv") || args.has("header");
    o.allowZeroLength = args.values("allow-zero-length");
    return o;
}

std::string connectionStringOf(const Options& o) {
    if (jet::isConnectionString(o.database)) {
        return o.database;
    }
    return jet::ConnectionString::build(o.database, o.password);
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

// The session the prompt runs, for the Ctrl+C handler; what Ctrl+C found at the prompt: 1
// while a line was being typed, 2 while nothing had been typed on it.
sql_shell::Session* g_session = nullptr;
volatile std::sig_atomic_t g_interrupted = 0;
volatile std::sig_atomic_t g_typed = 0;  // characters typed at the prompt

extern "C" void onInterrupt(int) {
    g_interrupted = g_typed > 0 ? 1 : 2;
    if (g_session != nullptr) {
        g_session->interrupt();
    }
}

// Reads one character for the line editor, as a wide character of the locale. Waiting for it
// is broken off by Ctrl+C, which ends the line as the end of the input would (the loop tells
// the two apart).
int readCharacter(FILE*) {
    char bytes[MB_LEN_MAX];
    std::size_t n = 0;
    // Ctrl+C stays blocked but while waiting for a key, so that one pressed just before
    // the wait begins ends it too.
    sigset_t interrupt, others;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    while (true) {
        ::pthread_sigmask(SIG_BLOCK, &interrupt, &others);
        pollfd in{STDIN_FILENO, POLLIN, 0};
        const int ready = g_interrupted ? -1 : ::ppoll(&in, 1, nullptr, &others);
        const int error = g_interrupted ? EINTR : errno;
        ::pthread_sigmask(SIG_SETMASK, &others, nullptr);
        if (ready < 0) {  // never restarted: a signal ends the wait
            if (error == EINTR && !g_interrupted) {
                continue;
            }
            return -1;
        }
        const ssize_t got = ::read(STDIN_FILENO, bytes + n, 1);
        if (got <= 0) {
            return -1;
        }
        ++n;
        wchar_t c = 0;
        std::mbstate_t state{};
        const std::size_t length = std::mbrtowc(&c, bytes, n, &state);
        if (length == static_cast<std::size_t>(-2) && n < sizeof bytes) {
            continue;  // a character of several bytes, not complete yet
        }
        g_typed = g_typed + 1;
        if (length > n) {  // not valid in the locale: the byte as it is
            return static_cast<unsigned char>(bytes[0]);
        }
        return static_cast<int>(c);
    }
}

// At a terminal: a prompt with line editing and a history, saved as each line is entered.
// Statements run when a line ends with ';'; a failing one is reported and the session goes
// on. Ctrl+C stops the statement running, or drops what is being typed; on an empty line it
// says how to leave.
void interactive(sql_shell::Session& session) {
    const char* home = std::getenv("HOME");
    const std::string history = home ? std::string(home) + "/.rv_sql_history" : "";
    std::setlocale(LC_CTYPE, "");
    // Before the line editor starts, which the first call of its history functions does.
    rl_catch_signals = 0;  // Ctrl+C is ours
    rl_getc_function = readCharacter;
    using_history();
    stifle_history(1000);
    if (!history.empty()) {
        read_history(history.c_str());
    }
    g_session = &session;
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);

    sql_shell::StatementReader reader(true);
    for (int number = 1;; ++number) {
        session.clearInterrupt();
        g_interrupted = 0;
        g_typed = 0;
        char* typed = readline(reader.pending() ? "   ...> " : "rv_sql> ");
        if (typed == nullptr && g_interrupted) {
            const bool empty = g_interrupted == 2 && !reader.pending();
            reader.clear();
            std::cout << "^C\n" << std::flush;
            if (empty) {
                std::cerr << sql_shell::kHowToLeave << '\n';
            }
            continue;
        }
        if (typed == nullptr) {
            std::cout << '\n';  // Ctrl+D leaves the cursor after the prompt
            break;
        }
        const std::string line = typed;
        std::free(typed);
        if (line.find_first_not_of(" \t") != std::string::npos) {
            add_history(line.c_str());
            if (!history.empty()) {
                write_history(history.c_str());
            }
        }
        // A Ctrl+C from here on stops the statements of the line (the session knows).
        if (auto statement = reader.feed(line, number)) {
            try {
                if (!session.run(*statement)) {
                    break;
                }
            } catch (const sql_shell::Failure& e) {
                std::cout.flush();
                std::cerr << "rv_sql: " << e.what() << '\n';
            }
            std::cout.flush();
        }
    }
    g_session = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const cli::Parsed command = rv_sql::parseCommandLine(cli::arguments(argc, argv));
    if (command.exit) {
        return cli::finish(command);
    }
    Options options = optionsOf(command.args);
    try {
        options.password =
            cli::passwordOf(command.args, std::cin, STDIN_FILENO,
                            options.create ? cli::NewDatabase::kYes : cli::NewDatabase::kNo);
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

    sql_shell::Session session(conn, std::cout, options.settings);
    std::vector<sql_shell::Statement> statements;
    for (std::string& text : options.statements) {
        statements.push_back({std::move(text), 0});
    }
    if (statements.empty() && ::isatty(STDIN_FILENO)) {
        interactive(session);
    } else if (statements.empty()) {
        const std::string script{std::istreambuf_iterator<char>(std::cin),
                                 std::istreambuf_iterator<char>()};
        statements = sql_shell::splitScript(script);
    }

    for (const sql_shell::Statement& statement : statements) {
        try {
            if (!session.run(statement)) {
                break;
            }
        } catch (const sql_shell::Failure& e) {
            // Closing the connection with the transaction open leaves nothing of it.
            return fail(e.what());
        }
    }

    for (const std::string& target : options.allowZeroLength) {
        try {
            const auto [table, column] = sql_shell::tableAndColumn(target);
            jet::Catalog(conn).setProperty(table, column, jet::kAllowZeroLength, true);
        } catch (const std::exception& e) {
            return fail("--allow-zero-length " + target + ": " + e.what());
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
        std::cout.flush();
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
