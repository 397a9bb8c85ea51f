// SPDX-License-Identifier: MIT
// The wizard's template tree load on a library of 10,000 entries (1,000 folders, three
// levels deep, and 9,000 fields), against the floor of the same work: the two tree
// queries read through the engine, and 10,000 items put into a bare QTreeWidget with
// their parents found through a hash.
//
// The library is the shipped base.mdb beside this program, emptied and filled with these
// entries. Both sides open their own connection on it (an unencrypted file), empty their
// tree and fill it again while it is on screen, as the template browser's tree is when it
// reloads after a drop.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "browser/tree_loader.h"
#include "controls/keyed_tree.h"
#include "jet/connection.h"
#include "jet/error.h"

#include "bench_support.h"
#include "template_library.h"

namespace {

using bench::median;
using bench::Scratch;

using Clock = std::chrono::steady_clock;

constexpr int kFolders = bench::kLibraryFolders;
constexpr int kFields = 9000;
constexpr int kRuns = 21;

std::vector<double> g_loader;
std::vector<double> g_floor;
int g_loaderNodes = 0;
int g_floorNodes = 0;

const std::string& library() {
    static Scratch scratch;
    static const std::string cs = bench::makeLibrary(scratch.path("templates.mdb"), kFields);
    return cs;
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void show(QWidget& tree) {
    tree.resize(320, 480);
    tree.show();
    QApplication::processEvents();
}

// One load of each kind per iteration, in turns, so that both meet the same machine load;
// the summary takes the median of the per-iteration ratios. The reported time is the
// loader's.
void BM_LoadTemplateTree(benchmark::State& state) {
    const std::string& cs = library();
    const QString connectionString = QString::fromStdString(cs);
    controls::KeyedTree tree;
    QTreeWidget bare;
    bare.setHeaderHidden(true);
    show(tree);
    show(bare);
    bool floorFirst = false;
    for (auto _ : state) {
        double loader = 0;
        double floor = 0;
        try {
            auto runFloor = [&] {
                const auto start = Clock::now();
                g_floorNodes = bench::floorLoad(bare, cs);
                floor = seconds(start);
            };
            if (floorFirst) {
                runFloor();
            }
            const auto start = Clock::now();
            browser::loadTemplateTree(tree, templates::LibraryOwner(connectionString),
                                      browser::LoadErrors::kStop);
            loader = seconds(start);
            if (!floorFirst) {
                runFloor();
            }
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
        floorFirst = !floorFirst;
        state.SetIterationTime(loader);
        g_loader.push_back(loader);
        g_floor.push_back(floor);
        QApplication::processEvents();  // the one paint after each load, outside the timing
    }
    g_loaderNodes = tree.nodeCount();
    state.counters["nodes"] = g_loaderNodes;
    state.counters["floor_ms"] = median(g_floor) * 1e3;
}

void printSummary() {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < g_loader.size() && i < g_floor.size(); ++i) {
        ratios.push_back(g_loader[i] / g_floor[i]);
    }
    std::printf("\nTemplate tree load, %d entries, median of %zu runs (ms):\n", kFolders + kFields,
                g_loader.size());
    std::printf("%14s %10s %8s\n", "loadTemplate", "floor", "ratio");
    std::printf("%14.1f %10.1f %8.2f\n", median(g_loader) * 1e3, median(g_floor) * 1e3,
                median(ratios));
    std::printf("nodes: %d loaded, %d in the floor's tree\n", g_loaderNodes, g_floorNodes);
    std::printf("target: ratio <= 1.5 (the median of the per-run ratios)\n");
}

}  // namespace

int main(int argc, char** argv) {
    bench::offscreenUnlessSet();
    QApplication app(argc, argv);
    bench::registerTimed("load_template_tree", BM_LoadTemplateTree, kRuns);
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    printSummary();
    return 0;
}
