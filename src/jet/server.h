// SPDX-License-Identifier: MIT
#pragma once

#include "libpq.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog.h"
#include "connection.h"
#include "cursor.h"
#include "translator.h"

namespace jet {

// One result of the server, released when the last holder lets go.
using ServerResult = std::shared_ptr<PGresult>;

// What the server said when it refused a statement.
struct ServerRefusal {
    std::string state;  // SQLSTATE
    std::string message;
    std::string table;
    std::string column;
    std::string constraint;
    std::size_t position = 0;  // the character of the statement it points at (from 1), or 0
};

// One connection to a PostgreSQL server (libpq), shared by a connection and the record
// sets it returned. Statements go as literal text (the simple query protocol), one
// network round trip each. Inside a transaction each statement runs under a savepoint of
// its own, so that a refused statement takes back only itself and the transaction goes
// on, as it does in a file.
struct Server {
    PGconn* conn = nullptr;
    PGcancel* cancel =
        nullptr;         // made with the connection: interrupt() may run in a signal handler
    std::string source;  // the URI as messages show it, without a password
    bool inTransaction = false;
    Connection::Observer trace;
    ServerNames names;
    std::optional<bool> hasCitext;
    ServerRefusal lastRefusal;  // of the last statement refused
    // Zero-length rules as the catalog last read them: lower-case table → lower-case
    // column → the constraint's name; and which tables' text columns are known there.
    std::map<std::string, std::map<std::string, std::string>> zeroLengthRules;
    std::map<std::string, std::map<std::string, std::string>> textColumns;

    Server() = default;
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Asks the server to stop the statement running now (any thread, a signal handler too);
    // the statement then fails with the server's words.
    void interrupt() noexcept;
    // Sends `sql` (one or more statements in one message); the result of the statement
    // numbered `which` (from 0; the last when negative). A refusal throws jet::Error with
    // the server's words; `statement`, when given, is what messages name as refused.
    ServerResult run(const std::string& sql, int which = -1, std::string_view statement = {});
    // One translated statement of the caller's, under a savepoint inside a transaction.
    ServerResult execute(const Translation& t, std::string_view statement);
    // Reads every visible table's columns into `names`.
    void loadNames();
    // Makes sure the citext type is there before a definition that needs it.
    void needCitext();
    // The last refusal in the file's words when it broke a rule of a table ("T.C: rule"),
    // asked of the server (outside the aborted statement); else its own words.
    std::string ruleBroken();
    // Forgets what the catalog read (definitions changed).
    void forgetCatalog() {
        zeroLengthRules.clear();
        textColumns.clear();
    }
};

// Connects to the database that `uri` names, with `password` (when not empty) handed to
// libpq as a parameter of its own. Fails (ErrorCode::kCannotOpen) with the server's reason.
std::shared_ptr<Server> connectServer(const std::string& uri, const std::string& password);

// The catalog of a server's database: its tables (those of the schemas the session sees,
// not the server's own), or the one named `only`, with their columns in table order.
std::vector<TableInfo> serverTables(Server& server, std::string_view only = {});
// The keys and indexes of table `table` (its name as stored), as Catalog::indexes gives them.
std::vector<IndexInfo> serverIndexes(Server& server, const std::string& table);
// Sets or clears a text or memo column's zero-length rule; a column that already has the
// setting is left as it is.
void setServerZeroLength(Server& server, std::string_view table, std::string_view column,
                         bool allowed);

// A query's rows as the server sent them, read one by one.
struct ServerCursor final : Cursor {
    ServerResult result;
    int row = 0;

    bool next() override;
    int columnCount() const override;
    std::string columnName(int index) const override;
    Value value(int index) const override;
};

}  // namespace jet
