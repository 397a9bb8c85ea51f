// SPDX-License-Identifier: MIT
// Export and import of a template library of 10,000 entries (1,000 folders, three levels
// deep, and 9,000 fields), each against the floor of the same rows through the engine:
//
// - export: the library file's text made from the library, against the two tree queries
//   read and each row's cells joined with tabs;
// - import: that text read and imported into an empty library, against the same 10,000
//   rows inserted into an empty library in one transaction, their numbers given.
//
// Each run imports into a fresh copy of an emptied library; making the copy is not timed.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/connection.h"
#include "jet/connection_string.h"
#include "templates/library_file.h"
#include "templates/library_import.h"
#include "templates/library_owner.h"
#include "templates/statements.h"

#include "bench_support.h"
#include "template_library.h"

namespace {

using bench::median;
using bench::Scratch;
using Clock = std::chrono::steady_clock;

constexpr int kFields = 9000;
constexpr int kRuns = 11;

struct Figures {
    std::vector<double> measured;
    std::vector<double> floor;
};
Figures g_export;
Figures g_import;
int g_entries = 0;

Scratch& scratch() {
    static Scratch s;
    return s;
}

const std::string& library() {
    static const std::string cs = bench::makeLibrary(scratch().path("full.mdb"), kFields);
    return cs;
}

// An emptied copy of the shipped library, made once; each run copies it.
const std::string& emptyLibrary() {
    static const std::string path = [] {
        const std::string p = scratch().path("empty.mdb");
        jet::Connection c;
        c.open(bench::makeLibrary(p, 0));
        c.execute("delete * from TEMP_FIELD");
        return p;
    }();
    return path;
}

std::string freshEmpty() {
    const std::string path = scratch().newFile();
    std::filesystem::copy_file(emptyLibrary(), path);
    return jet::ConnectionString::build(path, "");
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

QString floorExport(jet::Connection& c) {
    QString out;
    for (std::string_view query : {templates::kSelectFolders, templates::kSelectFields}) {
        for (jet::Recordset rs = c.execute(query); !rs.eof(); rs.moveNext()) {
            for (const char* column :
                 {"FIELD_NAME", "FIELD_ID", "ATTR", "FIELD_SIZE", "IME", "DIS_ALT_FLG", "SORTBY"}) {
                out += QString::fromStdString(rs.field(column).toString()) + u'\t';
            }
            out += u'\n';
        }
    }
    return out;
}

void floorImport(jet::Connection& c) {
    c.beginTrans();
    for (int f = 1; f <= bench::kLibraryFolders; ++f) {
        c.execute("INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME) VALUES(" +
                  std::to_string(f) + "," + std::to_string(bench::folderParent(f)) +
                  ",'F','フォルダ" + std::to_string(f) + "')");
    }
    for (int i = 0; i < kFields; ++i) {
        const std::string n = std::to_string(bench::kLibraryFolders + 1 + i);
        c.execute(
            "INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,"
            "SORTBY,IME,DIS_ALT_FLG) VALUES(" +
            n + "," + std::to_string((i * 7) % bench::kLibraryFolders + 1) + ",'A','F" + n +
            "','項目" + n + "','T','20'," + std::to_string(i % 5) + ",'1','" +
            (i % 25 == 0 ? "1" : "0") + "')");
    }
    c.commitTrans();
}

// Measured and floor in turns, so both meet the same machine load.
template <typename Measured, typename Floor>
void timeBoth(benchmark::State& state, Figures& figures, Measured measured, Floor floor) {
    bool floorFirst = false;
    for (auto _ : state) {
        double m = 0;
        double f = 0;
        if (floorFirst) {
            f = floor();
        }
        m = measured();
        if (!floorFirst) {
            f = floor();
        }
        floorFirst = !floorFirst;
        state.SetIterationTime(m);
        figures.measured.push_back(m);
        figures.floor.push_back(f);
    }
    state.counters["floor_ms"] = median(figures.floor) * 1e3;
}

void BM_Export(benchmark::State& state) {
    jet::Connection c;
    c.open(library());
    timeBoth(
        state, g_export,
        [&] {
            const auto start = Clock::now();
            const QString text = templates::exportLibrary(c);
            const double s = seconds(start);
            g_entries = static_cast<int>(text.count(u'\n')) - 1;
            return s;
        },
        [&] {
            const auto start = Clock::now();
            benchmark::DoNotOptimize(floorExport(c));
            return seconds(start);
        });
}

void BM_Import(benchmark::State& state) {
    jet::Connection source;
    source.open(library());
    const QString text = templates::exportLibrary(source);
    timeBoth(
        state, g_import,
        [&] {
            templates::LibraryConnection c(
                templates::LibraryOwner(QString::fromStdString(freshEmpty())));
            const auto start = Clock::now();
            const templates::ImportResult result =
                templates::importLibrary(c, templates::parseLibraryText(text).lines);
            const double s = seconds(start);
            if (!result.refusals.empty() || result.fields != kFields) {
                state.SkipWithError("the import did not take every field");
            }
            return s;
        },
        [&] {
            jet::Connection c;
            c.open(freshEmpty());
            const auto start = Clock::now();
            floorImport(c);
            return seconds(start);
        });
}

void printRow(const char* name, const Figures& f) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < f.measured.size() && i < f.floor.size(); ++i) {
        ratios.push_back(f.measured[i] / f.floor[i]);
    }
    std::printf("%8s %10.1f %10.1f %8.2f\n", name, median(f.measured) * 1e3, median(f.floor) * 1e3,
                median(ratios));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the shipped library sits beside the program
    bench::registerTimed("export_library", BM_Export, kRuns);
    bench::registerTimed("import_library", BM_Import, kRuns);
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    std::printf("\nTemplate library file, %d entries, median of %d runs (ms):\n", g_entries, kRuns);
    std::printf("%8s %10s %10s %8s\n", "", "measured", "floor", "ratio");
    printRow("export", g_export);
    printRow("import", g_import);
    std::printf("target: ratio <= 1.5 (the median of the per-run ratios)\n");
    return 0;
}
