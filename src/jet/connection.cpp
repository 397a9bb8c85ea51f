// SPDX-License-Identifier: MIT
#include "connection.h"

#include <cstdint>

#include "catalog.h"
#include "connection_string.h"
#include "cursor.h"
#include "database.h"
#include "error.h"
#include "server.h"
#include "text_util.h"
#include "translator.h"

namespace jet {

Connection::Connection() = default;
Connection::~Connection() {
    close();
}
Connection::Connection(Connection&&) noexcept = default;
Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        m_db = std::move(other.m_db);
        m_server = std::move(other.m_server);
        m_observer = std::move(other.m_observer);
        m_trace = std::move(other.m_trace);
    }
    return *this;
}

void Connection::open(std::string_view connectionString, EmptyFile empty) {
    if (isOpen()) {
        throw Error("the connection is already open", ErrorCode::kCannotOpen);
    }
    const ConnectionString cs = ConnectionString::parse(connectionString);
    if (ConnectionString::namesServer(cs.dataSource())) {
        m_server = connectServer(cs.dataSource(), cs.password());
        m_server->trace = m_trace;
        return;
    }
    m_db = openDatabase(cs.dataSource(), cs.password(), false, empty == EmptyFile::kNewDatabase);
    m_db->trace = m_trace;
}

bool Connection::isOpen() const {
    return m_db != nullptr || m_server != nullptr;
}

void Connection::close() {
    // Closing the session takes back a transaction still open.
    m_server.reset();
    if (!m_db) {
        return;
    }
    // Nothing of an uncommitted transaction survives the connection.
    if (m_db->inTransaction) {
        m_db->discardPending();
        m_db->execQuietly("ROLLBACK");
        m_db->inTransaction = false;
    } else {
        try {
            m_db->flushPending();
        } catch (const Error&) {
        }
    }
    m_db.reset();
}

namespace {
Database& require(const std::shared_ptr<Database>& db) {
    if (!db) {
        throw Error("the connection is not open", ErrorCode::kNotOpen);
    }
    return *db;
}
}  // namespace

namespace {
// BEGIN, COMMIT and ROLLBACK sent as statements: the connection's own transaction calls.
// True when `kind` was one of them.
bool transactionStatement(Connection& connection, Translation::Kind kind) {
    switch (kind) {
        case Translation::Kind::kBegin:
            connection.beginTrans();
            return true;
        case Translation::Kind::kCommit:
            connection.commitTrans();
            return true;
        case Translation::Kind::kRollback:
            connection.rollbackTrans();
            return true;
        default:
            return false;
    }
}
}  // namespace

Recordset Connection::executeOnServer(std::string_view statement) {
    Server& server = *m_server;
    const Translation t = translateForServer(statement, server.names);
    if (transactionStatement(*this, t.kind)) {
        return {};
    }
    if (t.usesText) {
        server.needCitext();
    }
    ServerResult result = server.execute(t, statement);
    switch (t.kind) {
        case Translation::Kind::kQuery: {
            auto cursor = std::make_unique<ServerCursor>();
            cursor->result = std::move(result);
            cursor->row = 0;
            cursor->eof = detail::libpq().PQntuples(cursor->result.get()) == 0;
            return Recordset(std::move(cursor));
        }
        case Translation::Kind::kDefinition:
            if (!t.columns.empty()) {
                // A table made: its names are known without asking.
                const std::string key = detail::lower(t.table);
                server.names.tables[key] = t.table;
                auto& columns = server.names.columns[key];
                for (const std::string& c : t.columns) {
                    columns.emplace(detail::lower(c), c);
                }
                if (!t.counterColumn.empty()) {
                    server.names.counters[key] = t.counterColumn;
                }
                server.forgetCatalog();
            } else {
                server.loadNames();
            }
            break;
        case Translation::Kind::kAddColumn: {
            const std::string key = detail::lower(t.table);
            server.names.columns[key].emplace(detail::lower(t.column), t.column);
            server.textColumns.erase(key);
            break;
        }
        default:
            break;
    }
    return {};
}

Recordset Connection::execute(std::string_view statement) {
    if (m_observer && isOpen()) {
        m_observer(statement);
    }
    if (m_server) {
        return executeOnServer(statement);
    }
    Database& db = require(m_db);
    const Translation t = translate(statement);
    if (transactionStatement(*this, t.kind)) {
        return {};
    }
    // Definitions still waiting are written first for the tables this statement names;
    // it cannot touch others (without triggers and views, which keep columns from waiting).
    if (t.kind == Translation::Kind::kAddColumn &&
        db.deferAddColumn(t.table, {t.column, t.columnType, t.columnSql})) {
        return {};
    }
    db.flushMentioned(t.mentions);
    if (t.kind == Translation::Kind::kDefinition) {
        db.forgetDefinitions();
    } else if (t.kind == Translation::Kind::kAddColumn) {
        db.textColumns.clear();
    }
    auto cursor = std::make_unique<SqliteCursor>();
    cursor->db = m_db;
    try {
        cursor->stmt = db.prepare(t.sql);
        if (t.kind == Translation::Kind::kQuery) {
            cursor->step(t.sql);
            return Recordset(std::move(cursor));
        }
        while (cursor->step(t.sql)) {
        }
        db.wroteInTransaction = db.inTransaction;
    } catch (const Error& e) {
        // Report the statement as the caller wrote it.
        std::string msg = e.what();
        const std::string translated = " in: " + t.sql;
        if (msg.size() > translated.size() &&
            msg.compare(msg.size() - translated.size(), translated.size(), translated) == 0) {
            msg.replace(msg.size() - translated.size(), translated.size(),
                        " in: " + std::string(statement));
        }
        throw Error(msg, e.code(), e.kind());
    }
    return {};
}

void Connection::beginTrans() {
    if (m_server) {
        if (m_server->inTransaction) {
            throw Error("a transaction is already open", ErrorCode::kTransaction);
        }
        m_server->run("BEGIN");
        m_server->inTransaction = true;
        return;
    }
    Database& db = require(m_db);
    if (db.inTransaction) {
        throw Error("a transaction is already open", ErrorCode::kTransaction);
    }
    db.flushPending();
    db.exec("BEGIN");
    db.inTransaction = true;
    db.wroteInTransaction = false;
    db.forgetDefinitions();
}

void Connection::commitTrans() {
    if (m_server) {
        if (!m_server->inTransaction) {
            throw Error("no transaction is open", ErrorCode::kTransaction);
        }
        m_server->inTransaction = false;
        try {
            m_server->run("COMMIT");
        } catch (const Error&) {
            // Nothing of the transaction stayed: neither do the names it made.
            try {
                m_server->loadNames();
            } catch (const Error&) {
            }
            throw;
        }
        return;
    }
    Database& db = require(m_db);
    if (!db.inTransaction) {
        throw Error("no transaction is open", ErrorCode::kTransaction);
    }
    db.flushBeforeCommit();
    db.exec("COMMIT");
    db.inTransaction = false;
    db.forgetDefinitions();
}

void Connection::rollbackTrans() {
    if (m_server) {
        if (!m_server->inTransaction) {
            throw Error("no transaction is open", ErrorCode::kTransaction);
        }
        m_server->inTransaction = false;
        m_server->run("ROLLBACK");
        m_server->hasCitext.reset();
        m_server->loadNames();  // the definitions it took back
        return;
    }
    Database& db = require(m_db);
    if (!db.inTransaction) {
        throw Error("no transaction is open", ErrorCode::kTransaction);
    }
    db.discardPending();
    db.exec("ROLLBACK");
    db.inTransaction = false;
}

bool Connection::inTransaction() const {
    return (m_db && m_db->inTransaction) || (m_server && m_server->inTransaction);
}

void Connection::interrupt() noexcept {
    if (Database* db = m_db.get(); db && db->handle) {
        sqlite3_interrupt(db->handle);
    }
    if (m_server) {
        m_server->interrupt();
    }
}

void Connection::setObserver(Observer observer) {
    m_observer = std::move(observer);
}

void Connection::setEngineTrace(Observer trace) {
    m_trace = std::move(trace);
    if (m_db) {
        m_db->trace = m_trace;
    }
    if (m_server) {
        m_server->trace = m_trace;
    }
}

const std::string& Connection::dataSource() const {
    if (m_server) {
        return m_server->source;
    }
    return require(m_db).path;
}

bool Connection::tryLock(std::string_view name) {
    if (!m_server) {
        require(m_db);
        throw Error("a file is locked by its holder", ErrorCode::kUnsupported);
    }
    // The lock's number: the name's hash, the same in every process (FNV-1a).
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    const ServerResult r = m_server->run("SELECT pg_catalog.pg_try_advisory_lock(" +
                                         std::to_string(static_cast<std::int64_t>(hash)) + ")");
    return detail::libpq().PQntuples(r.get()) == 1 &&
           detail::libpq().PQgetvalue(r.get(), 0, 0)[0] == 't';
}

int Connection::columnLimit() const {
    if (m_server) {
        return kServerColumnLimit;
    }
    require(m_db);
    return Catalog::columnLimit();
}

}  // namespace jet
