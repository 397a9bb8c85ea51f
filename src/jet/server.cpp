// SPDX-License-Identifier: MIT
#include "server.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "connection_string.h"
#include "error.h"
#include "server_rules.h"
#include "text_util.h"

namespace jet {

namespace {

using detail::libpq;
using detail::lower;
using detail::quoteIdent;
using detail::quoteString;

// The savepoint each statement of a transaction runs under.
constexpr std::string_view kStatementSavepoint = "jet_statement";

// How long a statement waits for a lock that another program holds before it fails, as
// in a file.
constexpr std::string_view kLockWait = "SET lock_timeout = '1500ms'";

// Type numbers of the server's built-in types that a record set reads as numbers.
constexpr Oid kBool = 16;
constexpr Oid kInt8 = 20;
constexpr Oid kInt2 = 21;
constexpr Oid kInt4 = 23;
constexpr Oid kOid = 26;
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;
constexpr Oid kTimestamp = 1114;

std::string field(const PGresult* r, int code) {
    const char* v = libpq().PQresultErrorField(r, code);
    return v ? std::string(v) : std::string();
}

// The first line of a libpq message, without its trailing newline.
std::string firstLine(const char* text) {
    std::string s = text ? text : "";
    const size_t nl = s.find('\n');
    return nl == std::string::npos ? s : s.substr(0, nl);
}

ErrorKind kindOfState(const std::string& state) {
    const std::string cls = state.substr(0, 2);
    if (cls == "23" || cls == "22") {
        return state == "22001" || state == "54000" ? ErrorKind::kTooBig : ErrorKind::kValueRefused;
    }
    if (state == "42P01" || state == "42703" || state == "42704") {
        return ErrorKind::kNoSuchObject;
    }
    if (state == "42701" || state == "42P07" || state == "42602" || state == "42622") {
        return ErrorKind::kInvalidName;
    }
    if (state == "42501" || state == "25006") {
        return ErrorKind::kReadOnly;
    }
    if (cls == "42") {
        return ErrorKind::kSyntax;
    }
    if (cls == "54") {
        return ErrorKind::kTooBig;
    }
    if (state == "55P03" || state == "40P01" || cls == "40") {
        return ErrorKind::kLocked;
    }
    if (cls == "08" || cls == "57" || cls == "3D") {
        return ErrorKind::kCannotOpen;
    }
    if (cls == "28") {
        return ErrorKind::kNotADatabase;
    }
    if (state == "53100") {
        return ErrorKind::kDiskFull;
    }
    if (cls == "58") {
        return ErrorKind::kDiskError;
    }
    return ErrorKind::kOther;
}

using Refusal = ServerRefusal;

// The name the statement text holds at `character` (counted from 1, as the server counts:
// characters, not bytes), with its qualifiers: T.C, "Quoted Name". Empty when none.
std::string nameAt(std::string_view sql, std::size_t character) {
    std::size_t i = 0;
    for (std::size_t seen = 1; i < sql.size() && seen < character; ++seen) {
        ++i;  // past a character's first byte, and then its continuation bytes
        while (i < sql.size() && (static_cast<unsigned char>(sql[i]) & 0xC0) == 0x80) {
            ++i;
        }
    }
    std::string name;
    while (i < sql.size()) {
        if (sql[i] == '"') {
            for (++i; i < sql.size(); ++i) {
                if (sql[i] == '"') {
                    if (i + 1 == sql.size() || sql[i + 1] != '"') {
                        ++i;
                        break;
                    }
                    ++i;  // a doubled quote stands for one
                }
                name += sql[i];
            }
        } else {
            const std::size_t start = i;
            while (i < sql.size() &&
                   (std::isalnum(static_cast<unsigned char>(sql[i])) || sql[i] == '_' ||
                    sql[i] == '$' || static_cast<unsigned char>(sql[i]) >= 0x80)) {
                ++i;
            }
            if (i == start) {
                break;
            }
            name.append(sql, start, i - start);
        }
        if (i >= sql.size() || sql[i] != '.') {
            break;
        }
        name += sql[i++];
    }
    return name;
}

// A missing table or column in a file's words, named as the statement wrote it (the server
// folds an unquoted name to lower case in its own words); else the server's words.
std::string missingInFilesWords(const Refusal& f, std::string_view sql) {
    const bool table = f.state == "42P01";
    if ((table || f.state == "42703") && f.position > 0) {
        if (const std::string name = nameAt(sql, f.position); !name.empty()) {
            return (table ? "no such table: " : "no such column: ") + name;
        }
    }
    return f.message;
}

Refusal refusalOf(const PGresult* r, PGconn* conn) {
    Refusal f;
    if (r) {
        f.state = field(r, PG_DIAG_SQLSTATE);
        f.message = field(r, PG_DIAG_MESSAGE_PRIMARY);
        f.table = field(r, PG_DIAG_TABLE_NAME);
        f.column = field(r, PG_DIAG_COLUMN_NAME);
        f.constraint = field(r, PG_DIAG_CONSTRAINT_NAME);
        f.position =
            static_cast<std::size_t>(std::atoi(field(r, PG_DIAG_STATEMENT_POSITION).c_str()));
    }
    if (f.message.empty()) {
        f.message = firstLine(libpq().PQerrorMessage(conn));
    }
    if (f.state.empty() && libpq().PQstatus(conn) != CONNECTION_OK) {
        f.state = "08006";  // the connection is gone
    }
    return f;
}

struct ResultDeleter {
    void operator()(PGresult* r) const { libpq().PQclear(r); }
};

ServerResult hold(PGresult* r) {
    return ServerResult(r, ResultDeleter());
}

}  // namespace

Server::~Server() {
    if (cancel) {
        libpq().PQfreeCancel(cancel);
    }
    if (conn) {
        libpq().PQfinish(conn);  // an open transaction ends with the session, taken back
    }
}

void Server::interrupt() noexcept {
    if (cancel) {
        char why[256];
        libpq().PQcancel(cancel, why, sizeof why);  // a failed request changes nothing
    }
}

ServerResult Server::run(const std::string& sql, int which, std::string_view statement) {
    if (trace) {
        trace(sql);
    }
    if (!libpq().PQsendQuery(conn, sql.c_str())) {
        const Refusal f = refusalOf(nullptr, conn);
        throw Error("the server cannot be reached: " + f.message,
                    static_cast<int>(ErrorCode::kCannotOpen), ErrorKind::kCannotOpen);
    }
    std::vector<ServerResult> results;
    ServerResult failed;
    while (PGresult* r = libpq().PQgetResult(conn)) {
        ServerResult held = hold(r);
        const ExecStatusType status = libpq().PQresultStatus(r);
        if (status == PGRES_FATAL_ERROR && !failed) {
            failed = held;
        }
        results.push_back(std::move(held));
    }
    if (failed || results.empty()) {
        const Refusal f = refusalOf(failed.get(), conn);
        lastRefusal = f;
        const ErrorKind kind = kindOfState(f.state);
        std::string message = missingInFilesWords(f, sql);
        if ((kind == ErrorKind::kSyntax || kind == ErrorKind::kNoSuchObject) &&
            !statement.empty()) {
            message += " in: " + std::string(statement);
        }
        throw Error(message, static_cast<int>(ErrorCode::kServer), kind);
    }
    if (which < 0 || which >= static_cast<int>(results.size())) {
        return results.back();
    }
    return results[static_cast<size_t>(which)];
}

ServerResult Server::execute(const Translation& t, std::string_view statement) {
    std::string body = t.sql;
    if (t.kind == Translation::Kind::kChange && !t.counterTable.empty()) {
        // A number given to the counter: the server's numbering goes on after the highest
        // (never back: a number once given is not given again).
        const std::string sequence = "pg_catalog.pg_get_serial_sequence(" +
                                     quoteString(quoteIdent(t.counterTable)) + ", " +
                                     quoteString(t.counterColumn) + ")";
        body += ";SELECT pg_catalog.setval(" + sequence + ", GREATEST((SELECT max(" +
                quoteIdent(t.counterColumn) + ") FROM " + quoteIdent(t.counterTable) +
                "), pg_catalog.nextval(" + sequence + ")))";
    }
    if (!inTransaction) {
        try {
            return run(body, 0, statement);
        } catch (const Error& e) {
            if (e.kind() == ErrorKind::kValueRefused) {
                throw Error(ruleBroken(), e.code(), e.kind());
            }
            if ((e.kind() == ErrorKind::kNoSuchObject || e.kind() == ErrorKind::kInvalidName) &&
                libpq().PQstatus(conn) == CONNECTION_OK) {
                loadNames();  // another client may have changed the tables
            }
            throw;
        }
    }
    const std::string sp(kStatementSavepoint);
    try {
        return run("SAVEPOINT " + sp + ";" + body + ";RELEASE SAVEPOINT " + sp, 1, statement);
    } catch (const Error& e) {
        // The server wants the refused statement taken back before anything else runs.
        if (libpq().PQstatus(conn) == CONNECTION_OK) {
            const ServerRefusal refusal = lastRefusal;
            try {
                run("ROLLBACK TO SAVEPOINT " + sp + ";RELEASE SAVEPOINT " + sp);
            } catch (const Error&) {
            }
            lastRefusal = refusal;
        }
        if (e.kind() == ErrorKind::kValueRefused) {
            throw Error(ruleBroken(), e.code(), e.kind());
        }
        throw;
    }
}

std::string Server::ruleBroken() {
    const ServerRefusal f = lastRefusal;
    const std::string prefix = f.table + ".";
    if (f.state == "23502" && !f.column.empty()) {
        return prefix + f.column + ": a value is required";
    }
    if ((f.state != "23505" && f.state != "23514") || f.constraint.empty() || f.table.empty() ||
        libpq().PQstatus(conn) != CONNECTION_OK) {
        return f.message;
    }
    try {
        const ServerResult r = run(
            "SELECT a.attname, pg_catalog.pg_get_constraintdef(k.oid) "
            "FROM pg_catalog.pg_constraint k JOIN pg_catalog.pg_attribute a "
            "ON a.attrelid = k.conrelid AND a.attnum = ANY(k.conkey) WHERE k.conname = " +
            quoteString(f.constraint) + " AND k.conrelid = " + quoteString(quoteIdent(f.table)) +
            "::regclass ORDER BY pg_catalog.array_position(k.conkey, a.attnum)");
        const int rows = libpq().PQntuples(r.get());
        if (rows == 0) {
            return f.message;
        }
        if (f.state == "23514") {
            const auto rule = detail::ruleOf(libpq().PQgetvalue(r.get(), 0, 1));
            return rule
                       ? prefix + libpq().PQgetvalue(r.get(), 0, 0) + ": " + detail::ruleText(*rule)
                       : f.message;
        }
        std::string columns;
        for (int i = 0; i < rows; ++i) {
            columns += (i ? ", " : "") + prefix + libpq().PQgetvalue(r.get(), i, 0);
        }
        return columns + ": the value is already in the table";
    } catch (const Error&) {
        return f.message;
    }
}

void Server::loadNames() {
    const ServerResult r =
        run("SELECT c.relname, a.attname, a.attidentity <> '' FROM pg_catalog.pg_class c "
            "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
            "WHERE c.relkind IN ('r','p','v','m','f') AND pg_catalog.pg_table_is_visible(c.oid) "
            "AND c.relnamespace <> 'pg_catalog'::regnamespace "
            "AND c.relnamespace <> 'information_schema'::regnamespace "
            "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY c.oid, a.attnum");
    names = {};
    for (int i = 0; i < libpq().PQntuples(r.get()); ++i) {
        const std::string table = libpq().PQgetvalue(r.get(), i, 0);
        const std::string column = libpq().PQgetvalue(r.get(), i, 1);
        names.tables.emplace(lower(table), table);
        names.columns[lower(table)].emplace(lower(column), column);
        if (libpq().PQgetvalue(r.get(), i, 2)[0] == 't') {
            names.counters[lower(table)] = column;
        }
    }
    forgetCatalog();
}

void Server::needCitext() {
    if (!hasCitext) {
        const ServerResult r = run("SELECT pg_catalog.to_regtype('citext') IS NOT NULL");
        hasCitext = std::strcmp(libpq().PQgetvalue(r.get(), 0, 0), "t") == 0;
    }
    if (!*hasCitext) {
        Translation t;
        t.sql = "CREATE EXTENSION IF NOT EXISTS citext";
        try {
            execute(t, {});
        } catch (const Error& e) {
            throw Error(std::string("text columns need the server's citext extension: ") + e.what(),
                        e.code(), e.kind());
        }
        // Taken back with a transaction that does not commit: asked again then.
        hasCitext = !inTransaction;
        if (inTransaction) {
            hasCitext.reset();
        }
    }
}

std::shared_ptr<Server> connectServer(const std::string& uri, const std::string& password) {
    auto server = std::make_shared<Server>();
    server->source = ConnectionString::withoutPassword(uri);
    // The URI as libpq reads it (its own syntax, environment and password file); a password
    // given separately is a parameter of its own, never part of a text that could be shown.
    std::vector<const char*> keys = {"dbname"};
    std::vector<const char*> values = {uri.c_str()};
    if (!password.empty()) {
        keys.push_back("password");
        values.push_back(password.c_str());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    server->conn = libpq().PQconnectdbParams(keys.data(), values.data(), 1);
    if (!server->conn) {
        throw Error("cannot open " + server->source + ": out of memory",
                    static_cast<int>(ErrorCode::kCannotOpen), ErrorKind::kCannotOpen);
    }
    if (libpq().PQstatus(server->conn) != CONNECTION_OK) {
        const std::string why = firstLine(libpq().PQerrorMessage(server->conn));
        // A refused password or role reads as the file's wrong password does.
        const bool refused = why.find("password") != std::string::npos ||
                             why.find("authentication") != std::string::npos;
        throw Error("cannot open " + server->source + ": " + why,
                    static_cast<int>(ErrorCode::kCannotOpen),
                    refused ? ErrorKind::kNotADatabase : ErrorKind::kCannotOpen);
    }
    server->cancel = libpq().PQgetCancel(server->conn);
    try {
        server->run(std::string(kLockWait));
        server->loadNames();
    } catch (const Error& e) {
        throw Error("cannot open " + server->source + ": " + e.what(),
                    static_cast<int>(ErrorCode::kCannotOpen), ErrorKind::kCannotOpen);
    }
    return server;
}

namespace {

ColumnInfo serverColumn(const PGresult* r, int i, std::string& zeroLengthRule) {
    ColumnInfo c;
    c.name = libpq().PQgetvalue(r, i, 1);
    const std::string type = libpq().PQgetvalue(r, i, 2);
    const int typmod = std::atoi(libpq().PQgetvalue(r, i, 3));
    const bool notNull = libpq().PQgetvalue(r, i, 4)[0] == 't';
    c.autoIncrement = libpq().PQgetvalue(r, i, 5)[0] == 't';
    int width = 0;
    // The column's rules: "name\x1fdefinition" joined by "\x1e".
    const std::string rules =
        libpq().PQgetisnull(r, i, 6) ? std::string() : libpq().PQgetvalue(r, i, 6);
    for (size_t at = 0; at < rules.size();) {
        size_t end = rules.find('\x1e', at);
        end = end == std::string::npos ? rules.size() : end;
        const std::string one = rules.substr(at, end - at);
        const size_t sep = one.find('\x1f');
        if (sep != std::string::npos) {
            if (const auto rule = detail::ruleOf(std::string_view(one).substr(sep + 1))) {
                if (rule->kind == detail::ServerRule::Kind::kWidth) {
                    width = rule->width;
                } else if (rule->kind == detail::ServerRule::Kind::kZeroLength) {
                    zeroLengthRule = one.substr(0, sep);
                }
            }
        }
        at = end + 1;
    }
    bool variable = false;
    if (type == "citext" || type == "varchar" || type == "text" || type == "bpchar") {
        variable = true;
        if (type == "varchar" || type == "bpchar") {
            width = typmod > 4 ? typmod - 4 : 0;
        }
        c.definedSize = width;
        c.type = width > 0 ? "TEXT(" + std::to_string(width) + ")" : "MEMO";
    } else if (type == "int4") {
        c.type = c.autoIncrement ? "COUNTER" : "LONG";
    } else if (type == "float8") {
        c.type = "DOUBLE";
    } else if (type == "timestamp") {
        c.type = "DATE";
    } else if (type == "int2" || type == "bool") {
        c.type = "YESNO";
    } else {
        c.type = detail::upper(type);
    }
    c.attributes = (variable ? 0 : kColFixed) | (notNull || c.autoIncrement ? 0 : kColNullable);
    c.allowZeroLength = variable && zeroLengthRule.empty();
    return c;
}

}  // namespace

std::vector<TableInfo> serverTables(Server& server, std::string_view only) {
    std::string sql =
        "SELECT c.relname, a.attname, t.typname, a.atttypmod, a.attnotnull, "
        "a.attidentity <> '', (SELECT pg_catalog.string_agg(k.conname || E'\\x1f' || "
        "pg_catalog.pg_get_constraintdef(k.oid), E'\\x1e') FROM pg_catalog.pg_constraint k "
        "WHERE k.conrelid = c.oid AND k.contype = 'c' AND k.conkey = ARRAY[a.attnum]) "
        "FROM pg_catalog.pg_class c JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
        "JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
        "WHERE c.relkind IN ('r','p') AND pg_catalog.pg_table_is_visible(c.oid) "
        "AND c.relnamespace <> 'pg_catalog'::regnamespace "
        "AND c.relnamespace <> 'information_schema'::regnamespace "
        "AND a.attnum > 0 AND NOT a.attisdropped";
    if (!only.empty()) {
        if (!server.names.table(only)) {
            server.loadNames();  // made by another client meanwhile?
        }
        const auto stored = server.names.table(only);
        if (!stored) {
            throw Error("no table named " + std::string(only), ErrorCode::kNoSuchColumn);
        }
        sql += " AND c.relname = " + quoteString(*stored);
    }
    sql += " ORDER BY c.relname, a.attnum";
    const ServerResult r = server.run(sql);
    std::vector<TableInfo> tables;
    for (int i = 0; i < libpq().PQntuples(r.get()); ++i) {
        const std::string table = libpq().PQgetvalue(r.get(), i, 0);
        if (tables.empty() || tables.back().name != table) {
            tables.push_back({table, false, {}});
            server.zeroLengthRules[lower(table)].clear();
            server.textColumns[lower(table)].clear();
        }
        std::string rule;
        tables.back().columns.push_back(serverColumn(r.get(), i, rule));
        const ColumnInfo& c = tables.back().columns.back();
        if (!(c.attributes & kColFixed)) {
            server.textColumns[lower(table)].emplace(lower(c.name), c.name);
            if (!rule.empty()) {
                server.zeroLengthRules[lower(table)][lower(c.name)] = rule;
            }
        }
    }
    // In name order without regard to case, as a file lists them.
    std::stable_sort(tables.begin(), tables.end(), [](const TableInfo& a, const TableInfo& b) {
        return lower(a.name) < lower(b.name);
    });
    if (!only.empty() && tables.empty()) {
        throw Error("no table named " + std::string(only), ErrorCode::kNoSuchColumn);
    }
    return tables;
}

std::vector<IndexInfo> serverIndexes(Server& server, const std::string& table) {
    // Each key column as "name\x1edescending", in key order, joined by \x1f. The key of a
    // COUNTER (identity) column alone is the column's own and is left out, as in a file.
    const ServerResult r = server.run(
        "SELECT i.relname, x.indisprimary, x.indisunique, k.contype IS NOT NULL, "
        "(SELECT pg_catalog.string_agg(a.attname || E'\\x1e' || (x.indoption[s.n] & 1), "
        "E'\\x1f' ORDER BY s.n) FROM pg_catalog.generate_series(0, x.indnkeyatts - 1) AS s(n) "
        "JOIN pg_catalog.pg_attribute a ON a.attrelid = x.indrelid AND a.attnum = x.indkey[s.n]) "
        "FROM pg_catalog.pg_index x JOIN pg_catalog.pg_class i ON i.oid = x.indexrelid "
        "JOIN pg_catalog.pg_class c ON c.oid = x.indrelid "
        "LEFT JOIN pg_catalog.pg_constraint k ON k.conindid = x.indexrelid "
        "AND k.conrelid = x.indrelid AND k.contype IN ('p', 'u') "
        "WHERE c.relname = " +
        quoteString(table) +
        " AND pg_catalog.pg_table_is_visible(c.oid) AND NOT (x.indisprimary AND "
        "x.indnkeyatts = 1 AND EXISTS (SELECT 1 FROM pg_catalog.pg_attribute a WHERE "
        "a.attrelid = x.indrelid AND a.attnum = x.indkey[0] AND a.attidentity <> '')) "
        "ORDER BY NOT x.indisprimary, k.contype IS NULL, k.oid, pg_catalog.lower(i.relname)");
    std::vector<IndexInfo> out;
    for (int i = 0; i < libpq().PQntuples(r.get()); ++i) {
        const auto flag = [&](int column) {
            return *libpq().PQgetvalue(r.get(), i, column) == 't';
        };
        IndexInfo index;
        index.kind = flag(1)   ? IndexInfo::Kind::kPrimaryKey
                     : flag(3) ? IndexInfo::Kind::kUnique
                               : IndexInfo::Kind::kIndex;
        if (index.kind == IndexInfo::Kind::kIndex) {
            index.name = libpq().PQgetvalue(r.get(), i, 0);
        }
        index.unique = flag(2);
        const std::string_view keys = libpq().PQgetvalue(r.get(), i, 4);
        for (std::size_t start = 0; start < keys.size();) {
            const std::size_t end = std::min(keys.find('\x1f', start), keys.size());
            const std::string_view key = keys.substr(start, end - start);
            const std::size_t mark = key.rfind('\x1e');
            index.columns.push_back(
                {std::string(key.substr(0, mark)), key.substr(mark + 1) == "1"});
            start = end + 1;
        }
        out.push_back(std::move(index));
    }
    return out;
}

void setServerZeroLength(Server& server, std::string_view table, std::string_view column,
                         bool allowed) {
    const std::string tableKey = lower(table);
    if (!server.textColumns.count(tableKey)) {
        serverTables(server, table);
    }
    const auto& texts = server.textColumns[tableKey];
    const auto text = texts.find(lower(column));
    if (text == texts.end()) {
        throw Error(
            std::string(table) + "." + std::string(column) + ": no such text or memo column",
            ErrorCode::kNoSuchColumn);
    }
    const std::string storedTable = server.names.table(table).value_or(std::string(table));
    auto& rules = server.zeroLengthRules[tableKey];
    const auto rule = rules.find(lower(column));
    const bool hasRule = rule != rules.end();
    if (allowed == !hasRule) {
        return;
    }
    Translation t;
    t.kind = Translation::Kind::kDefinition;
    if (allowed) {
        t.sql = "ALTER TABLE " + quoteIdent(storedTable) + " DROP CONSTRAINT " +
                quoteIdent(rule->second);
        server.execute(t, {});
        rules.erase(rule);
    } else {
        t.sql = "ALTER TABLE " + quoteIdent(storedTable) + " ADD " +
                detail::serverZeroLengthRule(text->second);
        server.execute(t, {});
        server.textColumns.erase(tableKey);  // its name is the server's: read when needed
    }
}

bool ServerCursor::next() {
    ++row;
    eof = row >= libpq().PQntuples(result.get());
    return !eof;
}

int ServerCursor::columnCount() const {
    return libpq().PQnfields(result.get());
}

std::string ServerCursor::columnName(int index) const {
    const char* name = libpq().PQfname(result.get(), index);
    return name ? name : "";
}

Value ServerCursor::value(int index) const {
    const PGresult* r = result.get();
    if (libpq().PQgetisnull(r, row, index)) {
        return Value();
    }
    const char* text = libpq().PQgetvalue(r, row, index);
    switch (libpq().PQftype(r, index)) {
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid:
            return Value(
                Value::Storage(static_cast<std::int64_t>(std::strtoll(text, nullptr, 10))));
        case kFloat4:
        case kFloat8:
        case kNumeric:
            return Value(Value::Storage(std::strtod(text, nullptr)));
        case kBool:
            return Value(Value::Storage(static_cast<std::int64_t>(text[0] == 't' ? -1 : 0)));
        case kTimestamp: {
            // A date without a time of day reads back as it was written.
            std::string s = text;
            constexpr std::string_view kMidnight = " 00:00:00";
            if (s.size() > kMidnight.size() && s.ends_with(kMidnight)) {
                s.resize(s.size() - kMidnight.size());
            }
            return Value(Value::Storage(std::move(s)));
        }
        default:
            return Value(Value::Storage(
                std::string(text, static_cast<size_t>(libpq().PQgetlength(r, row, index)))));
    }
}

}  // namespace jet
