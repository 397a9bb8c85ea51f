// SPDX-License-Identifier: MIT
// OK on a new encrypted file with N new fields: the grid's rows and the builder, against
// raw SQLCipher executing the SQL that build handed to it, in one transaction. Both
// sides open and key their file inside the timed part.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "build_support.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"

namespace {

using bench::Clock;
using bench::msSince;
using bench::Scratch;

constexpr const char* kPassword = "bench-password";

std::map<int, bench::Figures> g_figures;

// The build on a new encrypted file.
double timeBuild(const controls::FlexGridModel& grid, const std::string& path,
                 std::vector<std::string>* trace) {
    jet::Catalog::create(jet::ConnectionString::build(path, kPassword));
    return bench::timeBuild(grid, {path, kPassword}, trace);
}

double timeRaw(const std::vector<std::string>& sql, const std::string& path) {
    jet::Catalog::create(jet::ConnectionString::build(path, kPassword));
    const auto t = Clock::now();
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(db, kPassword, static_cast<int>(std::strlen(kPassword)));
    sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const auto& s : sql) {
        // The build's own transaction statements are the raw side's BEGIN and COMMIT.
        if (s == "BEGIN" || s == "COMMIT") {
            continue;
        }
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, s.c_str(), static_cast<int>(s.size()), &stmt, nullptr) ==
                SQLITE_OK &&
            stmt) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return msSince(t);
}

void BM_Build(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    controls::FlexGridModel grid;
    bench::fillGrid(grid, n);
    Scratch scratch;
    std::vector<std::string> trace;
    timeBuild(grid, scratch.newFile(), &trace);  // warm-up, and the SQL for the raw side
    auto& f = g_figures[n];
    for (auto _ : st) {
        const double build = timeBuild(grid, scratch.newFile(), nullptr);
        f.add(st, build, timeRaw(trace, scratch.newFile()));
    }
}
BENCHMARK(BM_Build)
    ->Arg(10)
    ->Arg(255)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    bench::offscreenUnlessSet();
    QApplication app(argc, argv);
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    bench::printRatios("OK on a new encrypted file (median ms; target ratio <= 1.3 at N = 255)",
                       "raw", g_figures);
    return 0;
}
