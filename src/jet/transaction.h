// SPDX-License-Identifier: MIT
#pragma once

#include "connection.h"

namespace jet {

// One transaction on a connection, begun when made: commit() keeps its statements, and
// anything not committed when it goes out of scope (an exception on the way included) is
// rolled back. A rollback that fails is ignored: the connection drops an uncommitted
// transaction when it closes all the same.
class Transaction {
  public:
    explicit Transaction(Connection& connection) : m_connection(connection) {
        m_connection.beginTrans();
    }
    ~Transaction() {
        if (!m_committed) {
            try {
                m_connection.rollbackTrans();
            } catch (...) {  // NOLINT(bugprone-empty-catch): see above
            }
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit() {
        m_connection.commitTrans();
        m_committed = true;
    }

  private:
    Connection& m_connection;
    bool m_committed = false;
};

}  // namespace jet
