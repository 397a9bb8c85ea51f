// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "recordset.h"

namespace jet {

struct Database;

// A connection to a Jet-dialect database file: an SQLCipher file whose rules (widths,
// NOT NULL, zero-length, number and date checks) are kept in its own schema.
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
    // and a wrong password; a failed open never writes to the file.
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
    // transaction ends the transaction, rolled back (SQLite does so), and its message says so. Safe
    // to call from a signal handler or another thread; does nothing while no statement runs.
    void interrupt() noexcept;

    // Receives each statement text as the caller sent it, before it runs.
    void setObserver(Observer observer);
    // Receives each SQL text handed to SQLCipher itself (translations and the
    // engine's own housekeeping). For benchmarks and diagnostics.
    void setEngineTrace(Observer trace);

    const std::string& dataSource() const;

  private:
    friend class Catalog;
    std::shared_ptr<Database> m_db;
    Observer m_observer;
    Observer m_trace;
};

}  // namespace jet
