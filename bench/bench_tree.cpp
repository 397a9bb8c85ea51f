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
#include <QHash>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/keyed_tree.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "templates/statements.h"
#include "templates/tree_loader.h"

#include "bench_support.h"

namespace {

using bench::median;
using bench::Scratch;

using Clock = std::chrono::steady_clock;

constexpr int kFolders = 1000;
constexpr int kFields = 9000;
constexpr int kRuns = 21;

std::vector<double> g_loader;
std::vector<double> g_floor;
int g_loaderNodes = 0;
int g_floorNodes = 0;

// Folders 1-100 at the top, 101-400 one level down, 401-1000 two levels down. Fields
// 1001-10000 spread over all folders, every 25th one fixed; their positions repeat so that
// ties fall back to the numbers.
int folderParent(int folder) {
    if (folder <= 100) {
        return 0;
    }
    if (folder <= 400) {
        return (folder - 101) % 100 + 1;
    }
    return (folder - 401) % 300 + 101;
}

std::string makeLibrary(const std::string& path) {
    const std::filesystem::path shipped =
        QCoreApplication::applicationDirPath().toStdString() + "/base.mdb";
    std::filesystem::copy_file(shipped, path);
    const std::string cs = jet::ConnectionString::build(path, "");
    jet::Connection c;
    c.open(cs);
    c.beginTrans();
    c.execute("delete * from TEMP_FIELD");
    for (int f = 1; f <= kFolders; ++f) {
        c.execute("INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME) VALUES(" +
                  std::to_string(f) + "," + std::to_string(folderParent(f)) + ",'F','フォルダ" +
                  std::to_string(f) + "')");
    }
    for (int i = 0; i < kFields; ++i) {
        const int number = kFolders + 1 + i;
        const int folder = (i * 7) % kFolders + 1;
        const std::string n = std::to_string(number);
        c.execute(
            "INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,"
            "SORTBY,IME,DIS_ALT_FLG) VALUES(" +
            n + "," + std::to_string(folder) + ",'A','F" + n + "','項目" + n + "','T','20'," +
            std::to_string(i % 5) + ",'1','" + (i % 25 == 0 ? "1" : "0") + "')");
    }
    c.commitTrans();
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

const std::string& library() {
    static Scratch scratch;
    static const std::string cs = makeLibrary(scratch.path("templates.mdb"));
    return cs;
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The floor: the rows of both queries read once, each put under its parent.
int floorLoad(QTreeWidget& tree, const std::string& connectionString) {
    tree.clear();
    QHash<qint64, QTreeWidgetItem*> byNumber;
    byNumber.reserve(kFolders + kFields + 1);
    auto* root = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("全部の項目")});
    byNumber.insert(0, root);
    int count = 1;
    jet::Connection c;
    c.open(connectionString);
    for (std::string_view query : {templates::kSelectFolders, templates::kSelectFields}) {
        jet::Recordset rs = c.execute(query);
        const int number = rs.fieldIndex("FIELD_NO");
        const int parent = rs.fieldIndex("P_FIELD_NO");
        const int name = rs.fieldIndex("FIELD_NAME");
        for (; !rs.eof(); rs.moveNext()) {
            QTreeWidgetItem* p = byNumber.value(*rs.field(parent).toInt());
            auto* item = new QTreeWidgetItem(
                p, QStringList{QString::fromStdString(rs.field(name).toString())});
            byNumber.insert(*rs.field(number).toInt(), item);
            ++count;
        }
    }
    c.close();
    return count;
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
                g_floorNodes = floorLoad(bare, cs);
                floor = seconds(start);
            };
            if (floorFirst) {
                runFloor();
            }
            const auto start = Clock::now();
            templates::loadTemplateTree(tree, connectionString, templates::LoadErrors::kStop);
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("load_template_tree", BM_LoadTemplateTree)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(kRuns);
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    printSummary();
    return 0;
}
