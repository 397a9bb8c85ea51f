// SPDX-License-Identifier: MIT
#pragma once

// A private PostgreSQL server for tests: a fresh cluster in a temporary folder, reached
// only through a Unix socket inside that folder (no TCP port), stopped and removed when the
// object goes. Run as root, the server runs as an unprivileged user (postgres, else
// nobody), as the server itself insists. It dies with the test process should that end
// early.

#include <sys/types.h>

#include <string>

namespace rvtest {

class PgServer {
  public:
    // The role every test logs in as, and its password (the role is the cluster's owner).
    static constexpr const char* kRole = "rv";
    static constexpr const char* kPassword = "rv-test-password";

    PgServer();
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // A new, empty database; returns its URI (without the password).
    std::string createDatabase();
    // The URI of database `name`.
    std::string uri(const std::string& name) const;
    // Runs `sql` as the owner on database `name` (the server's own "postgres" by default);
    // throws with the server's message.
    void run(const std::string& sql, const std::string& name = "postgres") const;

    // Stops the server (fast shutdown: sessions are ended) and starts it again on the same
    // folder.
    void restart();
    const std::string& folder() const { return m_dir; }
    // The folder of the server's programs (psql among them).
    const std::string& binDir() const { return m_bin; }

  private:
    void start();
    void stop();

    std::string m_dir;
    std::string m_bin;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    bool m_switchUser = false;
    pid_t m_pid = -1;
    int m_databases = 0;
};

// One server for the whole test program, started when first asked for.
PgServer& sharedPgServer();

}  // namespace rvtest
