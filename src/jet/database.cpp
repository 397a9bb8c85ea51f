#include "database.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

[[noreturn]] void cannotOpen(const std::string& path, const std::string& why) {
    throw Error("cannot open " + path + ": " + why, ErrorCode::kCannotOpen);
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

void Database::fail(int rc, std::string_view statement) const {
    const std::string raw(sqliteText(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc)));
    const int code = handle ? sqlite3_extended_errcode(handle) : rc;
    throw Error(friendlyMessage(code, raw, statement), code);
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

void Database::flushPending() {
    if (pendingZeroLength.empty()) {
        return;
    }
    const auto pending = std::exchange(pendingZeroLength, {});
    // The rules are the table's own constraints, so a property change rewrites the
    // stored definition. Renaming the table away and back makes this connection read
    // the definition again (and moves the schema version on for every other one).
    Savepoint savepoint(*this, "jet_properties");
    for (const auto& [table, columns] : pending) {
        std::string name, sql;
        {  // finalized before the definition is written
            // Literal texts, not bound values, so that a trace of this work can be replayed.
            const Statement read =
                prepare("SELECT name, sql FROM sqlite_master WHERE type='table' AND name=" +
                        detail::quoteString(table) + " COLLATE NOCASE");
            if (sqlite3_step(read.get()) == SQLITE_ROW) {
                name = read.text(0);
                sql = read.text(1);
            }
        }
        if (name.empty()) {
            continue;
        }
        detail::TableDefinition definition(std::move(sql));
        detail::TableDefinition::ZeroLengthChanges changes;
        for (const auto& [key, setting] : columns) {
            changes[setting.first] = setting.second;
        }
        const bool changed = definition.apply(table, changes);
        if (changed) {
            WritableSchema writable(*this);
            exec("UPDATE sqlite_master SET sql=" + detail::quoteString(definition.sql()) +
                 " WHERE type='table' AND name=" + detail::quoteString(name));
            writable.end();
            const std::string temp = detail::quoteIdent(name + " jet_reload");
            exec("ALTER TABLE " + detail::quoteIdent(name) + " RENAME TO " + temp);
            exec("ALTER TABLE " + temp + " RENAME TO " + detail::quoteIdent(name));
        }
    }
    savepoint.release();
}

std::shared_ptr<Database> openDatabase(const std::string& path, const std::string& password,
                                       bool create) {
    bool isDir = false;
    off_t size = 0;
    const bool exists = fileExists(path, isDir, size);
    if (create && (exists || ::access(path.c_str(), F_OK) == 0)) {
        throw Error("cannot create " + path + ": the file already exists", ErrorCode::kFileExists);
    }
    if (!create) {
        if (!exists) {
            cannotOpen(path, "no such file");
        }
        if (isDir) {
            cannotOpen(path, "it is a directory");
        }
        if (size == 0) {
            cannotOpen(path, "not a database (the file is empty)");
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
            throw Error("cannot create " + path + ": " + why, ErrorCode::kCannotOpen);
        }
        cannotOpen(path, why);
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
                cannotOpen(path, std::string(kLocked));
            }
            if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) {
                cannotOpen(path, password.empty()
                                     ? "not a database, damaged, or protected by a password"
                                     : "wrong password, or not a database");
            }
            cannotOpen(path, std::string(sqliteText(sqlite3_errmsg(db->handle))));
        }
        db->exec("PRAGMA cell_size_check=ON");
        db->exec("PRAGMA foreign_keys=OFF");
        if (create) {
            // Writes page 1, so the new file is a real (encrypted) database at once.
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
