#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include <sqlite3.h>

#include "connection.h"

namespace jet {

// One open SQLCipher handle, shared by a connection and the record sets it returned,
// so that a record set can be read to its end after its connection object is gone.
struct Database {
    sqlite3* handle = nullptr;
    std::string path;
    bool inTransaction = false;
    Connection::Observer trace;

    // Column properties set inside a transaction wait here (table name → column name
    // → allow zero length) and are written in one go before the next statement runs.
    std::map<std::string, std::map<std::string, bool>> pendingZeroLength;

    // Text and memo columns per table (lower-case names), read once per definition
    // change so that setting a property on every column of a wide table stays linear.
    std::map<std::string, std::set<std::string>> textColumns;
    void forgetDefinitions() { textColumns.clear(); }

    ~Database();

    // Runs SQL that returns no rows; throws jet::Error with the engine's message.
    void exec(std::string_view sql);
    sqlite3_stmt* prepare(std::string_view sql);
    [[noreturn]] void fail(int rc, std::string_view statement) const;

    // Writes the pending column properties into the table definitions.
    void flushPending();
};

// Opens (or with `create`, creates) the file and applies the key and hardening.
std::shared_ptr<Database> openDatabase(const std::string& path, const std::string& password,
                                       bool create);

}  // namespace jet
