// SPDX-License-Identifier: MIT
// OK on a new database of a PostgreSQL server with N new fields: the grid's rows and the
// builder, against psql replaying the SQL that the build sent to the server, in one
// transaction (psql -1). Both sides connect inside the timed part. The server is a private
// one in a temporary folder (pg_server.h), reached through its Unix socket.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "build_support.h"
#include "pg_server.h"

extern char** environ;

namespace {

using bench::Clock;
using bench::msSince;

std::map<int, bench::Figures> g_figures;

rvtest::PgServer& server() {
    return rvtest::sharedPgServer();
}

// The build on a new database of the server.
double timeBuild(const controls::FlexGridModel& grid, std::vector<std::string>* trace) {
    return bench::timeBuild(grid, {server().createDatabase(), rvtest::PgServer::kPassword}, trace);
}

// psql -1 on the statements in a file of their own; the password in its environment.
double timeReplay(const std::string& script) {
    const std::string uri = server().createDatabase();
    const std::string psql = server().binDir() + "/psql";
    std::vector<std::string> args = {psql, "-X",        "-q", "-1",   "-v", "ON_ERROR_STOP=1",
                                     "-o", "/dev/null", "-f", script, uri};
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const auto t = Clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, psql.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start psql");
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double ms = msSince(t);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("psql failed on " + script);
    }
    return ms;
}

void BM_ServerBuild(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    controls::FlexGridModel grid;
    bench::fillGrid(grid, n);
    std::vector<std::string> trace;
    timeBuild(grid, &trace);  // warm-up, and the SQL for psql
    bench::Scratch scratch;
    const std::string script = scratch.path("replay.sql");
    {
        std::ofstream out(script);
        for (const std::string& sql : trace) {
            // The build's own BEGIN and COMMIT are psql's -1.
            if (sql != "BEGIN" && sql != "COMMIT") {
                out << sql << ";\n";
            }
        }
    }
    auto& f = g_figures[n];
    for (auto _ : st) {
        const double build = timeBuild(grid, nullptr);
        f.add(st, build, timeReplay(script));
    }
}
BENCHMARK(BM_ServerBuild)
    ->Arg(255)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    bench::offscreenUnlessSet();
    ::setenv("PGPASSWORD", rvtest::PgServer::kPassword, 1);  // psql's, never its argv
    QApplication app(argc, argv);
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    bench::printRatios(
        "OK on a new database of a PostgreSQL server (median ms; target ratio <= 1.3)", "psql -1",
        g_figures);
    return 0;
}
