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

#include "bench_support.h"
#include "controls/flex_grid_model.h"
#include "pg_server.h"
#include "productdb/builder.h"
#include "wizard/create_checks.h"
#include "wizard/design_grid.h"

extern char** environ;

namespace {

using bench::median;
using Clock = std::chrono::steady_clock;

struct Figures {
    std::vector<double> build;
    std::vector<double> replay;
};
std::map<int, Figures> g_figures;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

rvtest::PgServer& server() {
    return rvtest::sharedPgServer();
}

void fillGrid(controls::FlexGridModel& grid, int n) {
    wizard::setupGridModel(grid);
    for (int i = 1; i <= n; ++i) {
        const QString id = i == 1 ? QStringLiteral("MAIL1") : QStringLiteral("F%1").arg(i);
        grid.insertGridRow(
            grid.gridRows(),
            QStringLiteral("\t%1\t項目%2\t文字\t20\tON\t\t\t\t").arg(id).arg(i).split(u'\t'));
    }
}

double timeBuild(const controls::FlexGridModel& grid, std::vector<std::string>* trace) {
    const std::string uri = server().createDatabase();
    productdb::BuildState state;
    jet::Connection::Observer tracer;
    if (trace) {
        tracer = [trace](std::string_view sql) { trace->emplace_back(sql); };
    }
    const auto t = Clock::now();
    const productdb::BuildResult result = productdb::buildDB(
        wizard::newFields(grid), {uri, rvtest::PgServer::kPassword}, state, {}, tracer);
    const double ms = msSince(t);
    if (!result.built) {
        throw std::runtime_error("the build failed: " + result.reason);
    }
    return ms;
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
    fillGrid(grid, n);
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
        const double replay = timeReplay(script);
        f.build.push_back(build);
        f.replay.push_back(replay);
        st.SetIterationTime(build / 1e3);
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
    std::printf("\nOK on a new database of a PostgreSQL server (median ms; target ratio <= 1.3)\n");
    std::printf("%6s %12s %12s %8s\n", "N", "build", "psql -1", "ratio");
    for (const auto& [n, f] : g_figures) {
        const double b = median(f.build), r = median(f.replay);
        std::printf("%6d %12.1f %12.1f %8.2f\n", n, b, r, r > 0 ? b / r : 0.0);
    }
    return 0;
}
