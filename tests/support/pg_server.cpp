// SPDX-License-Identifier: MIT
#include "pg_server.h"

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace rvtest {

namespace {

// The server's programs: RV_PG_BINDIR, else the newest installed under Debian's folder.
std::string serverBinDir() {
    if (const char* d = std::getenv("RV_PG_BINDIR")) {
        return d;
    }
    std::string best;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        const std::string bin = (entry.path() / "bin").string();
        if (std::filesystem::exists(bin + "/postgres") && bin > best) {
            best = bin;
        }
    }
    if (best.empty()) {
        throw std::runtime_error(
            "no PostgreSQL server installed (scripts/install-deps installs it; or set "
            "RV_PG_BINDIR)");
    }
    return best;
}

}  // namespace

PgServer::PgServer() : m_bin(serverBinDir()) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "rv_pg_XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_dir = tmpl;
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam("postgres");
        if (!user) {
            user = ::getpwnam("nobody");
        }
        if (!user) {
            throw std::runtime_error("no unprivileged user to run the server as");
        }
        m_uid = user->pw_uid;
        m_gid = user->pw_gid;
        m_switchUser = true;
        if (::chown(m_dir.c_str(), m_uid, m_gid) != 0) {
            throw std::runtime_error("cannot give the server's folder to its user");
        }
    }
    const std::string pwfile = m_dir + "/pwfile";
    { std::ofstream(pwfile) << kPassword << "\n"; }
    ::chmod(pwfile.c_str(), 0600);
    if (m_switchUser && ::chown(pwfile.c_str(), m_uid, m_gid) != 0) {
        throw std::runtime_error("cannot give the password file to the server's user");
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (m_switchUser &&
            (::setgroups(0, nullptr) != 0 || ::setgid(m_gid) != 0 || ::setuid(m_uid) != 0)) {
            ::_exit(126);
        }
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        const std::string initdb = m_bin + "/initdb";
        const std::string data = "--pgdata=" + m_dir + "/data";
        const std::string user = std::string("--username=") + kRole;
        const std::string pw = "--pwfile=" + pwfile;
        ::execl(initdb.c_str(), initdb.c_str(), data.c_str(), user.c_str(), pw.c_str(),
                "--auth=scram-sha-256", "--encoding=UTF8", "--locale=C.UTF-8", "--no-sync",
                "--no-instructions", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::filesystem::remove(pwfile);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("initdb failed in " + m_dir);
    }
    start();
}

PgServer::~PgServer() {
    stop();
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

void PgServer::start() {
    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid == 0) {
        if (m_switchUser &&
            (::setgroups(0, nullptr) != 0 || ::setgid(m_gid) != 0 || ::setuid(m_uid) != 0)) {
            ::_exit(126);
        }
        // Ends with the test program, however that ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(0);
        }
        const int log = ::open((m_dir + "/log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        ::dup2(log, 1);
        ::dup2(log, 2);
        const std::string postgres = m_bin + "/postgres";
        const std::string data = m_dir + "/data";
        const std::string socket = "unix_socket_directories=" + m_dir;
        ::execl(postgres.c_str(), postgres.c_str(), "-D", data.c_str(), "-c",
                "listen_addresses=", "-c", socket.c_str(), "-c", "fsync=off", "-c",
                "full_page_writes=off", "-c", "synchronous_commit=off", "-c", "max_connections=40",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Ready when it answers on its socket.
    const std::string params = "host=" + m_dir + " dbname=postgres";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (PQping(params.c_str()) != PQPING_OK) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            throw std::runtime_error("the test server did not start; see " + m_dir + "/log");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the test server did not answer; see " + m_dir + "/log");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void PgServer::stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGINT);  // fast shutdown
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
}

void PgServer::restart() {
    stop();
    start();
}

std::string PgServer::uri(const std::string& name) const {
    return "postgresql://" + std::string(kRole) + "@/" + name + "?host=" + m_dir;
}

void PgServer::run(const std::string& sql, const std::string& name) const {
    const std::string u = uri(name);
    const char* keys[] = {"dbname", "password", nullptr};
    const char* values[] = {u.c_str(), kPassword, nullptr};
    std::unique_ptr<PGconn, decltype(&PQfinish)> conn(PQconnectdbParams(keys, values, 1),
                                                      &PQfinish);
    if (PQstatus(conn.get()) != CONNECTION_OK) {
        throw std::runtime_error(PQerrorMessage(conn.get()));
    }
    std::unique_ptr<PGresult, decltype(&PQclear)> r(PQexec(conn.get(), sql.c_str()), &PQclear);
    const ExecStatusType status = PQresultStatus(r.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        throw std::runtime_error(PQerrorMessage(conn.get()));
    }
}

std::string PgServer::createDatabase() {
    const std::string name = "db" + std::to_string(++m_databases);
    run("CREATE DATABASE " + name);
    return uri(name);
}

PgServer& sharedPgServer() {
    static PgServer server;
    return server;
}

}  // namespace rvtest
