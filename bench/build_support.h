// SPDX-License-Identifier: MIT
#pragma once

// What the benchmarks of OK share, in a file and on a server: N new fields through the
// grid's rows, the timed build that hands its SQL to the floor it is measured against, and
// the table of medians and ratios they print.

#include <QString>
#include <chrono>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "controls/flex_grid_model.h"
#include "productdb/builder.h"
#include "wizard/create_checks.h"
#include "wizard/design_grid.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// The grid with N text fields, the first of them MAIL1.
inline void fillGrid(controls::FlexGridModel& grid, int n) {
    wizard::setupGridModel(grid);
    for (int i = 1; i <= n; ++i) {
        const QString id = i == 1 ? QStringLiteral("MAIL1") : QStringLiteral("F%1").arg(i);
        grid.insertGridRow(
            grid.gridRows(),
            QStringLiteral("\t%1\t項目%2\t文字\t20\tON\t\t\t\t").arg(id).arg(i).split(u'\t'));
    }
}

// The build of the grid's fields into `file`, in ms; the SQL it sent goes to `trace` when
// given.
inline double timeBuild(const controls::FlexGridModel& grid, const productdb::ProductFile& file,
                        std::vector<std::string>* trace) {
    productdb::BuildState state;
    jet::Connection::Observer tracer;
    if (trace) {
        tracer = [trace](std::string_view sql) { trace->emplace_back(sql); };
    }
    const auto t = Clock::now();
    const productdb::BuildResult result =
        productdb::buildDB(wizard::newFields(grid), file, state, {}, tracer);
    const double ms = msSince(t);
    if (!result.built || !state.dbExists) {
        throw std::runtime_error("the build failed: " + result.reason);
    }
    return ms;
}

// The times of the build and of its floor, by N.
struct Figures {
    std::vector<double> build;
    std::vector<double> floor;

    // One run's times; the build's is the benchmark's own.
    void add(benchmark::State& st, double buildMs, double floorMs) {
        build.push_back(buildMs);
        floor.push_back(floorMs);
        st.SetIterationTime(buildMs / 1e3);
    }
};

// The medians by N, and the build's ratio to its floor.
inline void printRatios(const char* title, const char* floorName,
                        const std::map<int, Figures>& figures) {
    std::printf("\n%s\n", title);
    std::printf("%6s %12s %12s %8s\n", "N", "build", floorName, "ratio");
    for (const auto& [n, f] : figures) {
        const double b = median(f.build), r = median(f.floor);
        std::printf("%6d %12.1f %12.1f %8.2f\n", n, b, r, r > 0 ? b / r : 0.0);
    }
}

}  // namespace bench
