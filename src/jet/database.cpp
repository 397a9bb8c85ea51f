// SPDX-License-Identifier: MIT
#include "database.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <utility>

#include "error.h"
#include "schema_rules.h"
#include "text_util.h"

namespace jet {

namespace {

using Clock = std::chrono::steady_clock;

// How long a statement waits for a lock that another program holds before it fails.
// Right after a wait was given up the lock is taken to be still held and the next
// statement fails at once, so that a failure and the statements that clean up after it
// (each of which meets the same lock) are over within this time too.
constexpr std::chrono::milliseconds kLockWait{1500};

int waitForLock(void* data, int count) {
    Database& db = *static_cast<Database*>(data);
    const Clock::time_point now = Clock::now();
    if (count == 0) {
        if (now - db.lockGivenUp < kLockWait) {
            return 0;
        }
        db.lockWaitBegan = now;
    }
    const auto waited = now - db.lockWaitBegan;
    if (waited >= kLockWait) {
        db.lockGivenUp = now;
        return 0;
    }
    const std::chrono::milliseconds step{std::min(50, 1 << std::min(count, 6))};
    std::this_thread::sleep_for(std::min<Clock::duration>(step, kLockWait - waited));
    return 1;
}

constexpr std::string_view kLocked = "the database is locked by another program";

// Turns SQLite's constraint messages into ones that name the table and column in the
// user's terms; the constraints themselves are named "TABLE.COLUMN: rule".
std::string friendlyMessage(int rc, const std::string& raw, std::string_view statement) {
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY) {
        return std::string(kLocked);
    }
    auto after = [&](std::string_view prefix) -> std::optional<std::string> {
        if (raw.compare(0, prefix.size(), prefix) == 0) {
            return raw.substr(prefix.size());
        }
        return std::nullopt;
    };
    if (primary == SQLITE_CONSTRAINT) {
        if (auto s = after("CHECK constraint failed: ")) {
            return *s;
        }
        if (auto s = after("NOT NULL constraint failed: ")) {
            return *s + ": a value is required";
        }
        if (auto s = after("UNIQUE constraint failed: ")) {
            return *s + ": the value is already in the table";
        }
        return raw;
    }
    if (raw.find("syntax error") != std::string::npos || primary == SQLITE_ERROR) {
        if (!statement.empty()) {
            return raw + " in: " + std::string(statement);
        }
    }
    return raw;
}

bool fileExists(const std::string& path, bool& isDir, off_t& size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return false;
    }
    isDir = S_ISDIR(st.st_mode);
    size = st.st_size;
    return true;
}

[[noreturn]] void cannotOpen(const std::string& path, const std::string& why,
                             ErrorKind kind = ErrorKind::kCannotOpen) {
    throw Error("cannot open " + path + ": " + why, ErrorCode::kCannotOpen, kind);
}

// Lets the connection write table definitions directly, until end() or until it goes.
class WritableSchema {
  public:
    explicit WritableSchema(Database& db) : m_db(db) { m_db.exec("PRAGMA writable_schema=ON"); }
    ~WritableSchema() {
        if (!m_ended) {
            m_db.execQuietly("PRAGMA writable_schema=OFF");
        }
    }
    WritableSchema(const WritableSchema&) = delete;
    WritableSchema& operator=(const WritableSchema&) = delete;

    void end() {
        m_db.exec("PRAGMA writable_schema=OFF");
        m_ended = true;
    }

  private:
    Database& m_db;
    bool m_ended = false;
};

}  // namespace

Database::~Database() {
    if (handle) {
        if (inTransaction) {
            execQuietly("ROLLBACK");
        }
        sqlite3_close_v2(handle);
    }
}

void Database::fail(int rc, std::string_view statement) {
    const std::string raw(sqliteText(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc)));
    const int code = handle ? sqlite3_extended_errcode(handle) : rc;
    std::string message = friendlyMessage(code, raw, statement);
    if (inTransaction && handle && sqlite3_get_autocommit(handle)) {
        discardPending();
        inTransaction = false;
        message += " (the transaction was rolled back)";
    }
    // SQLite's own syntax errors are the statement's fault, whatever their code.
    throw Error(message, code,
                raw.find("syntax error") != std::string::npos ? ErrorKind::kSyntax : kindOf(code));
}

void Database::exec(std::string_view sql) {
    if (trace) {
        trace(sql);
    }
    const std::string text(sql);
    const int rc = sqlite3_exec(handle, text.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        fail(rc, sql);
    }
}

void Database::execQuietly(const char* sql) noexcept {
    sqlite3_exec(handle, sql, nullptr, nullptr, nullptr);
}

Statement Database::prepare(std::string_view sql) {
    if (trace) {
        trace(sql);
    }
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc =
        sqlite3_prepare_v2(handle, sql.data(), static_cast<int>(sql.size()), &raw, &tail);
    Statement stmt(raw);
    if (rc != SQLITE_OK) {
        fail(rc, sql);
    }
    if (!stmt.get()) {
        throw Error("empty statement", ErrorCode::kSyntax);
    }
    if (tail && !detail::trim(std::string_view(tail, sql.data() + sql.size() - tail)).empty()) {
        throw Error("only one statement may be executed at a time", ErrorCode::kSyntax);
    }
    return stmt;
}

namespace {

// The table's name as stored and its definition; false when there is no such table.
// Literal texts, not bound values, so that a trace of the engine's work can be replayed.
bool readDefinition(Database& db, const std::string& key, std::string& name, std::string& sql) {
    const Statement read =
        db.prepare("SELECT name, sql FROM sqlite_master WHERE type='table' AND name=" +
                   detail::quoteString(key) + " COLLATE NOCASE");
    if (sqlite3_step(read.get()) != SQLITE_ROW) {
        return false;
    }
    name = read.text(0);
    sql = read.text(1);
    return true;
}

// The table's columns (lower-case names), when its definition reads as SQLite reads it
// and new columns can be placed in it exactly where ADD COLUMN places them.
bool readColumnKeys(Database& db, const std::string& key, std::set<std::string>& keys) {
    std::string name, sql;
    if (!readDefinition(db, key, name, sql)) {
        return false;
    }
    // A flush before the commit renames the table away and back, which puts its name in
    // double quotes and rewrites what names it elsewhere; so that the text comes out as
    // ADD COLUMN leaves it, the name must stand so already and nothing else may name it.
    const detail::TableDefinition definition(std::move(sql));
    if (!definition.columnsCanBeAdded() || definition.nameToken() != detail::quoteIdent(name)) {
        return false;
    }
    {
        const Statement others = db.prepare(
            "SELECT count(*) FROM sqlite_master WHERE type<>'table' AND sql IS NOT NULL AND "
            "tbl_name=" +
            detail::quoteString(name) + " COLLATE NOCASE");
        if (sqlite3_step(others.get()) != SQLITE_ROW || sqlite3_column_int(others.get(), 0) != 0) {
            return false;
        }
    }
    const std::vector<std::string> read = definition.columnKeys();
    keys.insert(read.begin(), read.end());
    // SQLite's own list of the columns must say the same.
    size_t count = 0;
    const Statement s = db.prepare("PRAGMA table_info(" + detail::quoteIdent(name) + ")");
    while (sqlite3_step(s.get()) == SQLITE_ROW) {
        ++count;
        if (!keys.count(detail::lower(s.text(1)))) {
            return false;
        }
    }
    return count == keys.size();
}

}  // namespace

const Database::PendingTable* Database::pendingFor(std::string_view table) const {
    const auto it = pending.find(detail::lower(table));
    return it == pending.end() ? nullptr : &it->second;
}

bool Database::PendingTable::applyTo(detail::TableDefinition& definition,
                                     std::string_view table) const {
    std::vector<std::string> sqls;
    sqls.reserve(columns.size());
    for (const AddedColumn& c : columns) {
        sqls.push_back(c.sql);
    }
    detail::TableDefinition::ZeroLengthChanges changes;
    for (const auto& [key, setting] : zeroLength) {
        changes[setting.first] = setting.second;
    }
    return definition.apply(table, sqls, changes);
}

bool Database::deferAddColumn(std::string_view table, AddedColumn column) {
    const std::string key = detail::lower(table);
    if (!inTransaction || !wroteInTransaction || key.starts_with("sqlite_") ||
        notDeferrable.count(key)) {
        return false;
    }
    if (!noTriggersOrViews) {
        // Without them, only a statement that names a table can read or write it.
        const Statement s =
            prepare("SELECT count(*) FROM sqlite_master WHERE type IN ('trigger','view')");
        noTriggersOrViews =
            sqlite3_step(s.get()) == SQLITE_ROW && sqlite3_column_int(s.get(), 0) == 0;
    }
    if (!*noTriggersOrViews) {
        return false;
    }
    PendingTable& p = pending[key];
    if (!p.columnsKnown) {
        p.columnsKnown = readColumnKeys(*this, key, p.columnKeys);
        if (!p.columnsKnown) {
            notDeferrable.insert(key);
            if (p.zeroLength.empty()) {
                pending.erase(key);
            }
            return false;
        }
    }
    // A name that is taken, or one column too many: SQLite refuses it, and says how.
    std::string columnKey = detail::lower(column.name);
    if (p.columnKeys.count(columnKey) ||
        static_cast<int>(p.columnKeys.size()) >= sqlite3_limit(handle, SQLITE_LIMIT_COLUMN, -1)) {
        return false;
    }
    p.columns.push_back(std::move(column));
    p.columnKeys.insert(std::move(columnKey));
    textColumns.erase(key);
    return true;
}

void Database::flushPending() {
    while (!pending.empty()) {
        flushTable(pending.begin()->first);
    }
}

void Database::flushMentioned(const std::vector<std::string>& mentions) {
    if (pending.empty()) {
        return;
    }
    for (const std::string& mention : mentions) {
        const std::string key = detail::lower(mention);
        if (key.starts_with("sqlite_") || key.starts_with("pragma_")) {
            flushPending();
            return;
        }
        if (pending.count(key)) {
            flushTable(key);
        }
    }
}

void Database::discardPending() {
    pending.clear();
    forgetDefinitions();
}

std::optional<std::pair<std::string, detail::TableDefinition>> Database::pendingDefinition(
    const std::string& key) {
    const PendingTable& p = pending.at(key);
    std::string name, sql;
    if (!readDefinition(*this, key, name, sql)) {
        return std::nullopt;
    }
    detail::TableDefinition definition(std::move(sql));
    if (!p.columns.empty() && !definition.columnsCanBeAdded()) {
        throw Error("table " + name + ": its definition cannot take the added columns",
                    ErrorCode::kUnsupported);
    }
    if (!p.applyTo(definition, name)) {
        return std::nullopt;
    }
    return std::make_pair(std::move(name), std::move(definition));
}

void Database::flushTable(const std::string& key) {
    try {
        if (const auto changed = pendingDefinition(key)) {
            const auto& [name, definition] = *changed;
            // The rules are the table's own constraints, so the definition is written
            // whole, and renaming the table makes this connection read it again (and moves
            // the schema version on for every other one). Renamed away first, while its
            // stored definition is still the old one, and written under that name, the
            // table is read once in its new form, as it comes back.
            const std::string temp = name + " jet_reload";
            Savepoint savepoint(*this, "jet_definition");
            exec("ALTER TABLE " + detail::quoteIdent(name) + " RENAME TO " +
                 detail::quoteIdent(temp));
            WritableSchema writable(*this);
            exec("UPDATE sqlite_master SET sql=" + detail::quoteString(definition.renamed(temp)) +
                 " WHERE type='table' AND name=" + detail::quoteString(temp));
            writable.end();
            exec("ALTER TABLE " + detail::quoteIdent(temp) + " RENAME TO " +
                 detail::quoteIdent(name));
            savepoint.release();
        }
    } catch (...) {
        // Inside a transaction the changes keep waiting, so that the commit cannot
        // leave them out unnoticed; outside one they were the statement that failed.
        if (!inTransaction) {
            pending.erase(key);
        }
        throw;
    }
    pending.erase(key);
}

namespace {
bool anyStatementRunning(sqlite3* handle) {
    for (sqlite3_stmt* s = sqlite3_next_stmt(handle, nullptr); s;
         s = sqlite3_next_stmt(handle, s)) {
        if (sqlite3_stmt_busy(s)) {
            return true;
        }
    }
    return false;
}
}  // namespace

void Database::flushBeforeCommit() {
    if (pending.empty()) {
        return;
    }
    // Rolling back to a savepoint stops the statements still reading; theirs is the
    // table-by-table way.
    if (anyStatementRunning(handle)) {
        flushPending();
        return;
    }
    // Every definition written at once, and the schema version moved on, so that other
    // connections read them again. This one is made to forget its schema (rolling back
    // to a savepoint after a schema change does that) and reads it again, as written,
    // when it is next used: once, and not at all when it is closed after the commit.
    Savepoint savepoint(*this, "jet_definition");
    bool changed = false;
    {
        WritableSchema writable(*this);
        for (const auto& [key, p] : pending) {
            if (const auto definition = pendingDefinition(key)) {
                exec("UPDATE sqlite_master SET sql=" +
                     detail::quoteString(definition->second.sql()) +
                     " WHERE type='table' AND name=" + detail::quoteString(definition->first));
                changed = true;
            }
        }
        writable.end();
    }
    if (changed) {
        long long version = 0;
        {
            const Statement s = prepare("PRAGMA schema_version");
            if (sqlite3_step(s.get()) == SQLITE_ROW) {
                version = sqlite3_column_int64(s.get(), 0);
            }
        }
        exec("PRAGMA schema_version=" + std::to_string(version + 1));
    }
    savepoint.release();
    pending.clear();
    if (changed) {
        exec("SAVEPOINT jet_reload");
        exec("ROLLBACK TO jet_reload");
        exec("RELEASE jet_reload");
    }
}

std::shared_ptr<Database> openDatabase(const std::string& path, const std::string& password,
                                       bool create, bool emptyIsNew) {
    bool isDir = false;
    off_t size = 0;
    const bool exists = fileExists(path, isDir, size);
    if (create && (exists || ::access(path.c_str(), F_OK) == 0)) {
        throw Error("cannot create " + path + ": the file already exists", ErrorCode::kFileExists);
    }
    if (!create) {
        if (!exists) {
            cannotOpen(path, "no such file", ErrorKind::kNoSuchFile);
        }
        if (isDir) {
            cannotOpen(path, "it is a directory", ErrorKind::kNotAFile);
        }
        if (size == 0 && !emptyIsNew) {
            cannotOpen(path, "not a database (the file is empty)", ErrorKind::kNotADatabase);
        }
    }

    auto db = std::make_shared<Database>();
    db->path = path;
    const int flags =
        SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.c_str(), &db->handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string why(
            sqliteText(db->handle ? sqlite3_errmsg(db->handle) : sqlite3_errstr(rc)));
        if (create) {
            throw Error("cannot create " + path + ": " + why, ErrorCode::kCannotOpen, kindOf(rc));
        }
        cannotOpen(path, why, kindOf(rc));
    }
    auto undoCreate = [&]() {
        sqlite3_close_v2(db->handle);
        db->handle = nullptr;
        if (create) {
            ::unlink(path.c_str());
            ::unlink((path + "-journal").c_str());
        }
    };
    try {
        sqlite3_db_config(db->handle, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
        sqlite3_extended_result_codes(db->handle, 1);
        sqlite3_busy_handler(db->handle, waitForLock, db.get());
        if (!password.empty()) {
            rc = sqlite3_key(db->handle, password.data(), static_cast<int>(password.size()));
            if (rc != SQLITE_OK) {
                cannotOpen(path, "the password cannot be applied");
            }
        }
        // Reading the schema is the first access to page 1: with a wrong password, or on
        // a file that is no database, this fails before anything could be written.
        rc = sqlite3_exec(db->handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                          nullptr);
        if (rc != SQLITE_OK) {
            const int primary = rc & 0xff;
            if (primary == SQLITE_BUSY) {
                cannotOpen(path, std::string(kLocked), ErrorKind::kLocked);
            }
            if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) {
                cannotOpen(path,
                           password.empty() ? "not a database, damaged, or protected by a password"
                                            : "wrong password, or not a database",
                           ErrorKind::kNotADatabase);
            }
            cannotOpen(path, std::string(sqliteText(sqlite3_errmsg(db->handle))), kindOf(rc));
        }
        db->exec("PRAGMA cell_size_check=ON");
        // Room for every page of a large template library: a query that walks an index
        // reads the table's pages in index order, and with the default cache (2 MiB) a
        // library of 100,000 entries read each page from the file dozens of times. Pages
        // take memory only once they are read.
        db->exec("PRAGMA cache_size=-65536");
        db->exec("PRAGMA foreign_keys=OFF");
        if (create) {
            // Writes page 1, so the new file is a real (encrypted) database at once. A new
            // empty file is not worth the waits for the disk (four, tens of milliseconds
            // each while a window opens): should the machine stop meanwhile, what is left at
            // worst is an empty file, which a later opening takes as a new one. The first
            // real change waits for the disk as every change does.
            db->exec("PRAGMA synchronous=OFF");
            db->exec("PRAGMA application_id=1246057524");
        }
    } catch (...) {
        undoCreate();
        throw;
    }
    return db;
}

Savepoint::Savepoint(Database& db, std::string_view name) : m_db(db), m_name(name) {
    m_db.exec("SAVEPOINT " + m_name);
}

Savepoint::~Savepoint() {
    if (!m_released) {
        m_db.execQuietly(("ROLLBACK TO " + m_name).c_str());
        m_db.execQuietly(("RELEASE " + m_name).c_str());
    }
}

void Savepoint::release() {
    m_db.exec("RELEASE " + m_name);
    m_released = true;
}

}  // namespace jet
