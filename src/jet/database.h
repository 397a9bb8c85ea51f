#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include <sqlite3.h>

#include "connection.h"
#include "statement.h"

namespace jet {

// One open SQLCipher handle, shared by a connection and the record sets it returned,
// so that a record set can be read to its end after its connection object is gone.
// The handle is closed when the last of them lets go.
struct Database {
    sqlite3* handle = nullptr;
    std::string path;
    bool inTransaction = false;
    Connection::Observer trace;

    // Column properties set inside a transaction wait here (table name → lower-case
    // column name → the column's name and allow zero length) and are written in one go
    // before the next statement runs.
    std::map<std::string, std::map<std::string, std::pair<std::string, bool>>> pendingZeroLength;

    // Text and memo columns per table (lower-case names), read once per definition
    // change so that setting a property on every column of a wide table stays linear.
    std::map<std::string, std::set<std::string>> textColumns;
    void forgetDefinitions() { textColumns.clear(); }

    // Waiting for a lock another program holds: when the current wait began, and when
    // the last one was given up.
    std::chrono::steady_clock::time_point lockWaitBegan;
    std::chrono::steady_clock::time_point lockGivenUp;

    // One handle, one owner: neither copied nor moved.
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs SQL that returns no rows; throws jet::Error with the engine's message.
    void exec(std::string_view sql);
    // For unwinding: runs `sql` untraced and ignores a failure.
    void execQuietly(const char* sql) noexcept;
    Statement prepare(std::string_view sql);
    [[noreturn]] void fail(int rc, std::string_view statement) const;

    // Writes the pending column properties into the table definitions.
    void flushPending();
};

// Opens (or with `create`, creates) the file and applies the key and hardening.
std::shared_ptr<Database> openDatabase(const std::string& path, const std::string& password,
                                       bool create);

// A savepoint, begun when made. release() keeps what was done since; a savepoint that
// goes unreleased takes it all back.
class Savepoint {
  public:
    Savepoint(Database& db, std::string_view name);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;

    void release();

  private:
    Database& m_db;
    std::string m_name;
    bool m_released = false;
};

}  // namespace jet
