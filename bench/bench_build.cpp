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

#include "bench_support.h"
#include "controls/flex_grid_model.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "productdb/builder.h"
#include "wizard/create_checks.h"
#include "wizard/design_grid.h"

namespace {

using bench::median;
using bench::Scratch;

using Clock = std::chrono::steady_clock;
constexpr const char* kPassword = "bench-password";

struct Figures {
    std::vector<double> build;
    std::vector<double> raw;
};
std::map<int, Figures> g_figures;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
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

// The build, returning the SQL it sent to SQLCipher.
double timeBuild(const controls::FlexGridModel& grid, const std::string& path,
                 std::vector<std::string>* trace) {
    jet::Catalog::create(jet::ConnectionString::build(path, kPassword));
    productdb::BuildState state;
    jet::Connection::Observer tracer;
    if (trace) {
        tracer = [trace](std::string_view sql) { trace->emplace_back(sql); };
    }
    const auto t = Clock::now();
    const productdb::BuildResult result =
        productdb::buildDB(wizard::newFields(grid), {path, kPassword}, state, {}, tracer);
    const double ms = msSince(t);
    if (!result.built || !state.dbExists) {
        throw std::runtime_error("the build failed");
    }
    return ms;
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
    fillGrid(grid, n);
    Scratch scratch;
    std::vector<std::string> trace;
    timeBuild(grid, scratch.newFile(), &trace);  // warm-up, and the SQL for the raw side
    auto& f = g_figures[n];
    for (auto _ : st) {
        const double build = timeBuild(grid, scratch.newFile(), nullptr);
        const double raw = timeRaw(trace, scratch.newFile());
        f.build.push_back(build);
        f.raw.push_back(raw);
        st.SetIterationTime(build / 1e3);
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
    std::printf("\nOK on a new encrypted file (median ms; target ratio <= 1.3 at N = 255)\n");
    std::printf("%6s %12s %12s %8s\n", "N", "build", "raw", "ratio");
    for (const auto& [n, f] : g_figures) {
        const double b = median(f.build), r = median(f.raw);
        std::printf("%6d %12.1f %12.1f %8.2f\n", n, b, r, r > 0 ? b / r : 0.0);
    }
    return 0;
}
