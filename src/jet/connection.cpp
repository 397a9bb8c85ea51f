// SPDX-License-Identifier: MIT
#include "connection.h"

#include "connection_string.h"
#include "cursor.h"
#include "database.h"
#include "error.h"
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
        m_observer = std::move(other.m_observer);
        m_trace = std::move(other.m_trace);
    }
    return *this;
}

void Connection::open(std::string_view connectionString, EmptyFile empty) {
    if (m_db) {
        throw Error("the connection is already open", ErrorCode::kCannotOpen);
    }
    const ConnectionString cs = ConnectionString::parse(connectionString);
    m_db = openDatabase(cs.dataSource(), cs.password(), false, empty == EmptyFile::kNewDatabase);
    m_db->trace = m_trace;
}

bool Connection::isOpen() const {
    return m_db != nullptr;
}

void Connection::close() {
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

Recordset Connection::execute(std::string_view statement) {
    Database& db = require(m_db);
    if (m_observer) {
        m_observer(statement);
    }
    const Translation t = translate(statement);
    switch (t.kind) {
        case Translation::Kind::kBegin:
            beginTrans();
            return {};
        case Translation::Kind::kCommit:
            commitTrans();
            return {};
        case Translation::Kind::kRollback:
            rollbackTrans();
            return {};
        default:
            break;
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
    auto cursor = std::make_unique<Cursor>();
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
    Database& db = require(m_db);
    if (!db.inTransaction) {
        throw Error("no transaction is open", ErrorCode::kTransaction);
    }
    db.discardPending();
    db.exec("ROLLBACK");
    db.inTransaction = false;
}

bool Connection::inTransaction() const {
    return m_db && m_db->inTransaction;
}

void Connection::interrupt() noexcept {
    if (Database* db = m_db.get(); db && db->handle) {
        sqlite3_interrupt(db->handle);
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
}

const std::string& Connection::dataSource() const {
    return require(m_db).path;
}

}  // namespace jet
