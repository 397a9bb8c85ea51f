#include "database.h"

#include <sys/stat.h>
#include <unistd.h>

#include "error.h"
#include "schema_rules.h"
#include "text_util.h"

namespace jet {

namespace {

// Turns SQLite's constraint messages into ones that name the table and column in the
// user's terms; the constraints themselves are named "TABLE.COLUMN: rule".
std::string friendlyMessage(int rc, const std::string& raw, std::string_view statement) {
    const int primary = rc & 0xff;
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

}  // namespace

Database::~Database() {
    if (handle) {
        if (inTransaction) {
            sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        sqlite3_close_v2(handle);
    }
}

void Database::fail(int rc, std::string_view statement) const {
    const std::string raw = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
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

sqlite3_stmt* Database::prepare(std::string_view sql) {
    if (trace) {
        trace(sql);
    }
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc =
        sqlite3_prepare_v2(handle, sql.data(), static_cast<int>(sql.size()), &stmt, &tail);
    if (rc != SQLITE_OK) {
        fail(rc, sql);
    }
    if (!stmt) {
        throw Error("empty statement", ErrorCode::kSyntax);
    }
    if (tail && !detail::trim(std::string_view(tail, sql.data() + sql.size() - tail)).empty()) {
        sqlite3_finalize(stmt);
        throw Error("only one statement may be executed at a time", ErrorCode::kSyntax);
    }
    return stmt;
}

void Database::flushPending() {
    if (pendingZeroLength.empty()) {
        return;
    }
    auto pending = std::move(pendingZeroLength);
    pendingZeroLength.clear();
    // The rules are the table's own constraints, so a property change rewrites the
    // stored definition. Renaming the table away and back makes this connection read
    // the definition again (and moves the schema version on for every other one).
    exec("SAVEPOINT jet_properties");
    try {
        for (const auto& [table, columns] : pending) {
            // Literal texts, not bound values, so that a trace of this work can be replayed.
            sqlite3_stmt* read =
                prepare("SELECT name, sql FROM sqlite_master WHERE type='table' AND name=" +
                        detail::quoteString(table) + " COLLATE NOCASE");
            std::string name, sql;
            if (sqlite3_step(read) == SQLITE_ROW) {
                name = reinterpret_cast<const char*>(sqlite3_column_text(read, 0));
                sql = reinterpret_cast<const char*>(sqlite3_column_text(read, 1));
            }
            sqlite3_finalize(read);
            if (name.empty()) {
                continue;
            }
            std::string lowered = detail::lower(sql);
            bool changed = false;
            for (const auto& [column, allow] : columns) {
                const std::string constraint = detail::zeroLengthConstraint(table, column);
                const std::string needle = detail::lower(constraint);
                const size_t at = lowered.find(needle);
                if (allow && at != std::string::npos) {
                    sql.erase(at, constraint.size());
                    lowered.erase(at, constraint.size());
                    changed = true;
                } else if (!allow && at == std::string::npos) {
                    // Put the rule back right after the column's COLLATE clause.
                    const std::string start = detail::lower(detail::quoteIdent(column)) + " ";
                    size_t col = lowered.find("(" + start);
                    if (col == std::string::npos) {
                        col = lowered.find(", " + start);
                    }
                    const size_t collate =
                        col == std::string::npos ? col : lowered.find(" collate nocase", col);
                    if (collate == std::string::npos) {
                        continue;
                    }
                    const size_t pos = collate + std::string_view(" collate nocase").size();
                    sql.insert(pos, constraint);
                    lowered.insert(pos, needle);
                    changed = true;
                }
            }
            if (!changed) {
                continue;
            }
            exec("PRAGMA writable_schema=ON");
            exec("UPDATE sqlite_master SET sql=" + detail::quoteString(sql) +
                 " WHERE type='table' AND name=" + detail::quoteString(name));
            exec("PRAGMA writable_schema=OFF");
            const std::string temp = detail::quoteIdent(name + " jet_reload");
            exec("ALTER TABLE " + detail::quoteIdent(name) + " RENAME TO " + temp);
            exec("ALTER TABLE " + temp + " RENAME TO " + detail::quoteIdent(name));
        }
        exec("RELEASE jet_properties");
    } catch (...) {
        forgetDefinitions();
        sqlite3_exec(handle, "PRAGMA writable_schema=OFF", nullptr, nullptr, nullptr);
        sqlite3_exec(handle, "ROLLBACK TO jet_properties", nullptr, nullptr, nullptr);
        sqlite3_exec(handle, "RELEASE jet_properties", nullptr, nullptr, nullptr);
        throw;
    }
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
        const std::string why = db->handle ? sqlite3_errmsg(db->handle) : sqlite3_errstr(rc);
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
        sqlite3_busy_timeout(db->handle, 5000);
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
            if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) {
                cannotOpen(path, password.empty()
                                     ? "not a database, damaged, or protected by a password"
                                     : "wrong password, or not a database");
            }
            cannotOpen(path, sqlite3_errmsg(db->handle));
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

}  // namespace jet
