// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "recordset.h"

namespace jet {

struct Database;
struct Server;

// A connection to a Jet-dialect database: an SQLCipher file whose rules (widths,
// NOT NULL, zero-length, number and date checks) are kept in its own schema, or a
// database on a PostgreSQL server (a Data Source that is a postgresql:// URI), whose
// rules are its columns' types and constraints. The same statements work on both.
//
// execute() takes exactly one Jet SQL statement; text after it is refused. Queries
// return a record set, other statements an empty one. Without beginTrans() every
// statement takes effect at once. A connection closed or destroyed with a transaction
// open leaves nothing of it in the file.
class Connection {
  public:
    using Observer = std::function<void(std::string_view statement)>;

    Connection();
    ~Connection();
    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // What open() makes of a file of no bytes at all.
    enum class EmptyFile {
        kRefuse,       // no database
        kNewDatabase,  // a database without tables yet: the first commit writes it,
                       // protected by the connection's password; until then it stays empty
    };

    // Opens an existing file. Fails (ErrorCode::kCannotOpen) for a missing file, a
    // directory, a damaged or non-database file, an empty file unless `empty` takes it,
    // and a wrong password; a failed open never writes to the file. A server's database
    // opens with the password as the role's; an unreachable server or a refused login
    // fails the same way, with the server's reason.
    void open(std::string_view connectionString, EmptyFile empty = EmptyFile::kRefuse);
    bool isOpen() const;
    void close();

    Recordset execute(std::string_view statement);

    void beginTrans();
    void commitTrans();
    void rollbackTrans();
    bool inTransaction() const;

    // Stops the statement running on this connection (a query being read included) soon:
    // it fails with "interrupted". A change interrupted while it writes inside a
    // transaction ends the transaction, rolled back (SQLite does so), and its message says so.
    // On a server the server is asked to stop it: it fails with the server's words, and a
    // transaction goes on without it. Safe to call from a signal handler or another thread;
    // does nothing while no statement runs.
    void interrupt() noexcept;

    // Receives each statement text as the caller sent it, before it runs.
    void setObserver(Observer observer);
    // Receives each SQL text handed to SQLCipher or sent to the server (translations and
    // the engine's own housekeeping). For benchmarks and diagnostics.
    void setEngineTrace(Observer trace);

    // The file's path, or the server's URI without a password.
    const std::string& dataSource() const;
    // On a server: takes the database's lock named `name` for this connection without
    // waiting (a session-level advisory lock), true when it is now held here; the server
    // lets it go when the connection closes or its process dies. A file is locked by its
    // holder's own means: throws ErrorCode::kUnsupported.
    bool tryLock(std::string_view name);
    // True when the database is on a server.
    bool onServer() const { return m_server != nullptr; }
    // The most columns a table of this database can hold.
    int columnLimit() const;

  private:
    friend class Catalog;
    Recordset executeOnServer(std::string_view statement);
    std::shared_ptr<Database> m_db;
    std::shared_ptr<Server> m_server;
    Observer m_observer;
    Observer m_trace;
};

}  // namespace jet
