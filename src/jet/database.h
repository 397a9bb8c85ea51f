// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <sqlite3.h>

#include "connection.h"
#include "schema_rules.h"
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

    // Changes to a table's definition made inside a transaction (columns added by ALTER
    // TABLE … ADD COLUMN, zero-length properties) wait until a statement names the table
    // (or the engine's own tables) or the transaction commits, and are then written in one
    // rewrite of the definition. SQLite's own ADD COLUMN rewrites the whole definition and
    // reads it back each time, which grows with the square of the columns added. The
    // catalog shows tables with their waiting changes.
    struct AddedColumn {
        std::string name;
        std::string type;  // as declared
        std::string sql;   // as ADD COLUMN stores it
    };
    struct PendingTable {
        std::vector<AddedColumn> columns;  // in order
        bool columnsKnown = false;         // columnKeys holds every column, waiting ones too
        std::set<std::string> columnKeys;  // lower-case names
        // Lower-case column name → the column's name and "allow zero length".
        std::map<std::string, std::pair<std::string, bool>> zeroLength;

        // `definition` (the table's stored one) with these changes; false if unchanged.
        bool applyTo(detail::TableDefinition& definition, std::string_view table) const;
    };
    std::map<std::string, PendingTable> pending;  // by lower-case table name
    const PendingTable* pendingFor(std::string_view table) const;
    // Added columns wait only where SQLite would take them at once: once the
    // transaction has written (so the write lock is held and the file is writable), and
    // while no trigger or view could reach a table unnamed; and not in tables whose
    // definition this engine cannot extend exactly as SQLite does (lower-case names).
    bool wroteInTransaction = false;
    std::optional<bool> noTriggersOrViews;  // asked once per transaction
    std::set<std::string> notDeferrable;

    // Text and memo columns per table (lower-case names), as the catalog last read
    // them (waiting columns included), so that setting a property on every column of a
    // wide table stays linear. Dropped when columns change other than by waiting.
    std::map<std::string, std::set<std::string>> textColumns;
    // After a definition changed otherwise than by a waiting column.
    void forgetDefinitions() {
        textColumns.clear();
        noTriggersOrViews.reset();
        notDeferrable.clear();
    }

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
    // Throws the engine's refusal of `statement`. When SQLite has ended the transaction
    // itself (an interrupted change, a full disk), the message says so and the transaction
    // is no longer taken as open.
    [[noreturn]] void fail(int rc, std::string_view statement);

    // Takes an added column into the table's waiting changes, when SQLite would accept
    // it at this point; false when the statement has to run now (the caller then runs it,
    // so that a refusal comes from SQLite itself, at this statement).
    bool deferAddColumn(std::string_view table, AddedColumn column);
    // Writes the waiting changes of every table, or of the tables among `mentions`
    // (every table when one of them names the engine's own tables).
    void flushPending();
    void flushMentioned(const std::vector<std::string>& mentions);
    // The same for every table, right before the commit: written at once, and read
    // again by this connection only when it is next used.
    void flushBeforeCommit();
    // Forgets the waiting changes: the transaction is being rolled back.
    void discardPending();

  private:
    void flushTable(const std::string& key);
    // The table's stored name and its definition with the waiting changes, when they
    // change it (and the table is still there).
    std::optional<std::pair<std::string, detail::TableDefinition>> pendingDefinition(
        const std::string& key);
};

// Opens (or with `create`, creates) the file and applies the key and hardening; an empty
// file is refused unless `emptyIsNew`.
std::shared_ptr<Database> openDatabase(const std::string& path, const std::string& password,
                                       bool create, bool emptyIsNew = false);

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
