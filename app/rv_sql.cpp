// rv_sql: runs Jet-dialect statements against a product or template database.

#include <algorithm>
#include <cctype>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/recordset.h"
#include "rv_sql_args.h"

namespace {

using cli::kExitOk;
constexpr int kExitFailed = 1;

struct Options {
    std::string database;
    std::string password;
    bool create = false;
    bool catalog = false;
    std::vector<std::pair<std::string, std::string>> allowZeroLength;  // table, column
    std::vector<std::string> statements;
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

Options optionsOf(const cli::Arguments& args) {
    Options o;
    o.database = args.positional().front();
    o.statements.assign(args.positional().begin() + 1, args.positional().end());
    o.password = args.value("password");
    o.create = args.has("create");
    o.catalog = args.has("catalog");
    for (const std::string& target : args.values("allow-zero-length")) {
        const auto dot = target.find('.');  // the parser saw that there is one
        o.allowZeroLength.emplace_back(target.substr(0, dot), target.substr(dot + 1));
    }
    return o;
}

std::string connectionStringOf(const Options& o) {
    if (o.database.find('=') != std::string::npos) {
        return o.database;
    }
    return jet::ConnectionString::build(o.database, o.password);
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
    const cli::Parsed command = rv_sql::parseCommandLine(cli::arguments(argc, argv));
    if (command.exit) {
        return cli::finish(command);
    }
    Options options = optionsOf(command.args);

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
