// SPDX-License-Identifier: MIT
// The template browser on a library of 10,000 entries: opening it (the window, its
// connection and the tree, until it is drawn) against the floor of the tree queries read
// through the engine into a bare QTreeWidget, expanded as the browser's tree is and drawn;
// and deleting a folder that holds 1,000 entries in nested
// subfolders against the floor of the same statements sent through the engine, in one
// transaction; dropping a field on the first field of a folder of 1,000 entries (all of
// them shift) in a library of 10,000, the tree loaded again, against the floor of the same
// statements in one transaction plus the bare tree load; and the field editor's OK adding a
// field to a library of 10,000 fields (the duplicate walk over all of them, then the writes
// and the new node) against the engine's own time for the walk's query, read to its end:
// what OK adds beyond that must stay within a frame (16 ms).
//
// Every deletion works on a fresh copy of the library, made outside the timing. The two
// sides of each run take turns going first, so that both meet the same machine load; the
// summary takes the median of the per-run ratios.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "browser/account_add.h"
#include "browser/account_browse.h"
#include "controls/indexed_toolbar.h"
#include "controls/keyed_tree.h"
#include "controls/msg_box.h"
#include "jet/connection.h"
#include "jet/placeholders.h"
#include "templates/statements.h"

#include "bench_support.h"
#include "template_library.h"

namespace {

using bench::median;
using Clock = std::chrono::steady_clock;

constexpr int kFields = 10000 - bench::kLibraryFolders - bench::kSubtreeEntries;
constexpr int kOpenRuns = 15;
constexpr int kDeleteRuns = 7;
constexpr int kDropRuns = 7;
constexpr int kEditorFields = 10000;
constexpr int kAddRuns = 31;
// The drop's library: the folders, a folder of 1,000 fields at positions 1-1,000, and as
// many other fields as make 10,000 entries. Field 1001 (in folder 1) moves before the
// folder's first field.
constexpr int kBigFolder = 30001;
constexpr int kBigFolderFields = 1000;
constexpr int kDropFields = 10000 - bench::kLibraryFolders - 1 - kBigFolderFields;

struct Figures {
    std::vector<double> ours;
    std::vector<double> floor;
    double ratio() const {
        std::vector<double> r;
        for (std::size_t i = 0; i < ours.size() && i < floor.size(); ++i) {
            r.push_back(ours[i] / floor[i]);
        }
        return median(r);
    }
};
Figures g_open;
Figures g_delete;
Figures g_drop;
Figures g_add;

bench::Scratch& scratch() {
    static bench::Scratch s;
    return s;
}

const std::string& pristine() {
    static const std::string path = [] {
        const std::string p = scratch().path("library.mdb");
        bench::makeLibrary(p, kFields, true);
        return p;
    }();
    return path;
}

const std::string& dropLibrary() {
    static const std::string path = [] {
        const std::string p = scratch().path("drop.mdb");
        bench::makeLibrary(p, kDropFields);
        jet::Connection c;
        c.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + p);
        c.beginTrans();
        const std::string folder = std::to_string(kBigFolder);
        c.execute("INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME) VALUES(" + folder +
                  ",0,'F','大きなフォルダ')");
        for (int i = 1; i <= kBigFolderFields; ++i) {
            const std::string n = std::to_string(kBigFolder + i);
            c.execute(
                "INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,"
                "FIELD_SIZE,SORTBY,IME,DIS_ALT_FLG) VALUES(" +
                n + "," + folder + ",'A','B" + n + "','大" + n + "','T','20'," + std::to_string(i) +
                ",'1','0')");
        }
        c.commitTrans();
        return p;
    }();
    return path;
}

// A fresh copy of a library (the browser's by default); returns its connection string.
std::string freshCopy(const std::string& from = pristine()) {
    const std::string path = scratch().newFile();
    std::filesystem::copy_file(from, path);
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void settle(QWidget& window) {
    window.resize(420, 520);
    window.show();
    QApplication::processEvents();
}

// Opening: the window made, its connection opened, the tree loaded and shown.
void BM_OpenBrowser(benchmark::State& state) {
    const QString cs = QString::fromStdString(freshCopy());
    bool floorFirst = false;
    for (auto _ : state) {
        double ours = 0;
        double floor = 0;
        auto runFloor = [&] {
            const auto start = Clock::now();
            auto tree = std::make_unique<QTreeWidget>();
            tree->setHeaderHidden(true);
            bench::floorLoad(*tree, cs.toStdString());
            tree->expandAll();  // the same rows on screen: every node that holds anything open
            settle(*tree);
            floor = seconds(start);
        };
        if (floorFirst) {
            runFloor();
        }
        {
            const auto start = Clock::now();
            auto browser = std::make_unique<browser::AccountBrowse>();
            browser->setLibrary(templates::LibraryOwner(cs));
            if (!browser->Form_Load()) {
                state.SkipWithError("the library did not open");
                break;
            }
            settle(*browser);
            ours = seconds(start);
            state.counters["nodes"] = browser->SSTree1->nodeCount();
        }
        if (!floorFirst) {
            runFloor();
        }
        floorFirst = !floorFirst;
        state.SetIterationTime(ours);
        g_open.ours.push_back(ours);
        g_open.floor.push_back(floor);
    }
}

// The floor of a folder's deletion: the check and the deletion, statement by statement as
// the browser sends them.
bool floorCheck(jet::Connection& c, const std::string& parent) {
    for (jet::Recordset rs =
             c.execute(jet::fill(templates::kSelectChildrenWithFixedMark, {parent}));
         !rs.eof(); rs.moveNext()) {
        if (rs.field("DIS_ALT_FLG").toString() == "1" ||
            !floorCheck(c, rs.field("FIELD_NO").toString())) {
            return false;
        }
    }
    return true;
}

void floorDelete(jet::Connection& c, const std::string& parent) {
    std::vector<std::string> children;
    for (jet::Recordset rs = c.execute(jet::fill(templates::kSelectChildren, {parent})); !rs.eof();
         rs.moveNext()) {
        children.push_back(rs.field("FIELD_NO").toString());
    }
    for (const std::string& child : children) {
        floorDelete(c, child);
    }
    c.execute(jet::fill(templates::kDeleteEntry, {parent}));
}

// The floor of a folder's deletion on the library `cs`: the check, then the deletions in one
// transaction; returns the seconds it took.
double floorFolderDeletion(const std::string& cs, const std::string& top) {
    jet::Connection c;
    c.open(cs);
    const auto start = Clock::now();
    if (floorCheck(c, top)) {
        c.beginTrans();
        c.execute(jet::fill(templates::kDeleteEntry, {top}));
        floorDelete(c, top);
        c.commitTrans();
    }
    return seconds(start);
}

void BM_DeleteFolder(benchmark::State& state) {
    const std::string top = std::to_string(bench::kSubtreeTop);
    controls::MsgBoxResponder answers(controls::vbOK);
    bool floorFirst = false;
    for (auto _ : state) {
        double ours = 0;
        double floor = 0;
        auto runFloor = [&] { floor = floorFolderDeletion(freshCopy(), top); };
        if (floorFirst) {
            runFloor();
        }
        {
            browser::AccountBrowse browser;
            browser.setLibrary(templates::LibraryOwner(QString::fromStdString(freshCopy())));
            browser.Form_Load();
            settle(browser);
            controls::KeyedTree& tree = *browser.SSTree1;
            Q_EMIT tree.nodeClick(tree.node(QString::fromStdString(top)));
            const int before = tree.nodeCount();
            const auto start = Clock::now();
            Q_EMIT browser.Toolbar1->buttonClick(browser::AccountBrowse::kDeleteFolder);
            ours = seconds(start);
            state.counters["removed"] = before - tree.nodeCount();
        }
        if (!floorFirst) {
            runFloor();
        }
        floorFirst = !floorFirst;
        state.SetIterationTime(ours);
        g_delete.ours.push_back(ours);
        g_delete.floor.push_back(floor);
    }
}

// Deleting a folder that holds a tenth of the library (ten subfolders of fields), in a
// library of 10,000 and one of 100,000 entries: the browser's check and deletion against
// the floor of the same statements on the raw engine, on the shipped library's table with
// its index by parent. Ten times the entries should take about ten times as long.
constexpr int kTenthTop = 900000;
constexpr int kTenthRuns = 3;
Figures g_tenth[2];

std::string tenthLibrary(int entries) {
    static std::map<int, std::string> made;
    std::string& path = made[entries];
    if (path.empty()) {
        path = scratch().path("tenth" + std::to_string(entries) + ".mdb");
        const int tenth = entries / 10;
        bench::makeLibrary(path, entries - bench::kLibraryFolders - tenth);
        jet::Connection c;
        c.open(jet::ConnectionString::build(path, ""));
        c.beginTrans();
        auto insert = [&c](int number, int parent, const char* kind) {
            c.execute("INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME,SORTBY) VALUES(" +
                      std::to_string(number) + "," + std::to_string(parent) + ",'" + kind +
                      "','十分の一" + std::to_string(number) + "'," + std::to_string(number) + ")");
        };
        insert(kTenthTop, 0, "F");
        for (int sub = 1; sub <= 10; ++sub) {
            insert(kTenthTop + sub, kTenthTop, "F");
        }
        for (int i = 11; i < tenth; ++i) {
            insert(kTenthTop + i, kTenthTop + 1 + i % 10, "A");
        }
        c.commitTrans();
    }
    return path;
}

void BM_DeleteTenth(benchmark::State& state, int entries) {
    const std::string top = std::to_string(kTenthTop);
    Figures& figures = g_tenth[entries > 10000 ? 1 : 0];
    controls::MsgBoxResponder answers(controls::vbOK);
    for (auto _ : state) {
        double ours = 0;
        {
            browser::AccountBrowse browser;
            browser.setLibrary(
                templates::LibraryOwner(QString::fromStdString(freshCopy(tenthLibrary(entries)))));
            browser.Form_Load();
            settle(browser);
            controls::KeyedTree& tree = *browser.SSTree1;
            Q_EMIT tree.nodeClick(tree.node(QString::fromStdString(top)));
            const auto start = Clock::now();
            Q_EMIT browser.Toolbar1->buttonClick(browser::AccountBrowse::kDeleteFolder);
            ours = seconds(start);
        }
        const double floor = floorFolderDeletion(freshCopy(tenthLibrary(entries)), top);
        state.SetIterationTime(ours);
        figures.ours.push_back(ours);
        figures.floor.push_back(floor);
    }
}

// A mouse event on the tree's viewport, as the window system would send it.
void mouse(controls::KeyedTree& tree, QEvent::Type type, const QPoint& pos) {
    QMouseEvent event(type, pos, tree.viewport()->mapToGlobal(pos), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &event);
}

void BM_DropIntoFolder(benchmark::State& state) {
    const std::string moved = std::to_string(bench::kLibraryFolders + 1);
    const std::string target = std::to_string(kBigFolder + 1);
    const std::string folder = std::to_string(kBigFolder);
    bool floorFirst = false;
    for (auto _ : state) {
        double ours = 0;
        double floor = 0;
        auto runFloor = [&] {
            const std::string cs = freshCopy(dropLibrary());
            // The tree as the browser's is before the drop: full, expanded, shown.
            auto tree = std::make_unique<QTreeWidget>();
            tree->setHeaderHidden(true);
            bench::floorLoad(*tree, cs);
            tree->expandAll();
            settle(*tree);
            jet::Connection c;
            c.open(cs);
            const auto start = Clock::now();
            c.beginTrans();
            const std::string position =
                c.execute(templates::selectPosition(target)).field("SORTBY").toString();
            c.execute(templates::shiftPositions(folder, position));
            c.execute(templates::setPosition(position, moved));
            c.execute(templates::setParent(folder, moved));
            c.commitTrans();
            bench::floorLoad(*tree, cs);
            tree->expandAll();
            QApplication::processEvents();
            floor = seconds(start);
        };
        if (floorFirst) {
            runFloor();
        }
        {
            browser::AccountBrowse browser;
            browser.setLibrary(
                templates::LibraryOwner(QString::fromStdString(freshCopy(dropLibrary()))));
            browser.Form_Load();
            settle(browser);
            controls::KeyedTree& tree = *browser.SSTree1;
            controls::KeyedTree::Node* from = tree.node(QString::fromStdString(moved));
            Q_EMIT tree.nodeClick(from);
            tree.scrollToItem(from);
            const QPoint press = tree.visualItemRect(from).center();
            mouse(tree, QEvent::MouseButtonPress, press);
            mouse(tree, QEvent::MouseMove, press + QPoint(30, 0));
            tree.scrollToItem(tree.node(QString::fromStdString(target)));
            const QPoint drop =
                tree.visualItemRect(tree.node(QString::fromStdString(target))).center();
            mouse(tree, QEvent::MouseMove, drop);  // the target is marked, then dropped on
            const auto start = Clock::now();
            mouse(tree, QEvent::MouseButtonRelease, drop);
            QApplication::processEvents();
            ours = seconds(start);
            state.counters["moved"] =
                controls::KeyedTree::key(tree.node(QString::fromStdString(moved))->parent()) ==
                QString::fromStdString(folder);
        }
        if (!floorFirst) {
            runFloor();
        }
        floorFirst = !floorFirst;
        state.SetIterationTime(ours);
        g_drop.ours.push_back(ours);
        g_drop.floor.push_back(floor);
    }
}

// OK of the field editor adding a new field to a folder, on a library of 10,000 fields. Two
// floors through the engine: the duplicate walk's query (the IDs and names of all fields)
// read to its last row, and all the statements of the OK as it sends them (the selected
// entry, the walk read to its end, the folder's last position, the insertion and the new
// number, in one transaction), so that what OK adds beyond the engine shows apart from the
// disk's sync.
Figures g_addStatements;

void BM_AddField(benchmark::State& state) {
    const std::string path = scratch().path("fields.mdb");
    const QString cs = QString::fromStdString(bench::makeLibrary(path, kEditorFields));
    browser::AccountBrowse browser;
    browser.setLibrary(templates::LibraryOwner(cs));
    browser.Form_Load();
    settle(browser);
    jet::Connection c;
    c.open(cs.toStdString());
    bool floorFirst = false;
    int added = 0;
    auto walk = [&] {
        std::size_t bytes = 0;
        for (jet::Recordset rs = c.execute(templates::kSelectFieldIdsAndNames); !rs.eof();
             rs.moveNext()) {
            bytes += rs.field(0).toString().size() + rs.field(1).toString().size();
        }
        benchmark::DoNotOptimize(bytes);
    };
    for (auto _ : state) {
        const std::string folder = std::to_string(1 + added % bench::kLibraryFolders);
        double ours = 0;
        double floor = 0;
        double statements = 0;
        auto runFloor = [&] {
            auto start = Clock::now();
            walk();
            floor = seconds(start);
            start = Clock::now();
            c.execute(jet::fill(templates::kSelectEntry, {folder}));
            walk();
            jet::Recordset last = c.execute(templates::selectPositions(folder));
            const std::string position =
                std::to_string(last.eof() ? 1 : *last.field(0).toInt() + 1);
            const std::string n = "FLOOR" + std::to_string(added);
            c.beginTrans();
            c.execute(templates::insertField(folder, n, n, "T", "20", position, "1"));
            c.execute(templates::kSelectMaxFieldNo).field(0);
            c.commitTrans();
            statements = seconds(start);
        };
        if (floorFirst) {
            runFloor();
        }
        {
            // The editor as the user leaves it, opened by the add button on the folder.
            Q_EMIT browser.SSTree1->nodeClick(
                browser.SSTree1->node(QString::fromStdString(folder)));
            const int before = browser.SSTree1->nodeCount();
            QTimer::singleShot(0, &browser, [&] {
                auto* dialog =
                    qobject_cast<browser::AccountAdd*>(QApplication::activeModalWidget());
                if (dialog == nullptr) {
                    return;
                }
                dialog->Text1->setText(QStringLiteral("NEW%1").arg(added));
                dialog->Text2->setText(QStringLiteral("新項目%1").arg(added));
                dialog->Text3->setText(QStringLiteral("20"));
                const auto start = Clock::now();
                dialog->Command1->click();
                ours = seconds(start);
            });
            Q_EMIT browser.Toolbar1->buttonClick(browser::AccountBrowse::kAddField);
            if (browser.SSTree1->nodeCount() != before + 1) {
                state.SkipWithError("the field was not added");
                break;
            }
        }
        if (!floorFirst) {
            runFloor();
        }
        floorFirst = !floorFirst;
        ++added;
        state.SetIterationTime(ours);
        g_add.ours.push_back(ours);
        g_add.floor.push_back(floor);
        g_addStatements.ours.push_back(ours);
        g_addStatements.floor.push_back(statements);
    }
}

void printSummary() {
    std::printf("\nTemplate browser, %d entries, medians (ms):\n", 10000);
    std::printf("%-34s %10s %10s %8s %8s\n", "", "browser", "floor", "ratio", "target");
    std::printf("%-34s %10.1f %10.1f %8.2f %8s\n", "open (window, connection, tree)",
                median(g_open.ours) * 1e3, median(g_open.floor) * 1e3, g_open.ratio(), "1.5");
    std::printf("%-34s %10.1f %10.1f %8.2f %8s\n", "delete a folder of 1,000 entries",
                median(g_delete.ours) * 1e3, median(g_delete.floor) * 1e3, g_delete.ratio(), "1.3");
    for (int i = 0; i < 2; ++i) {
        std::printf("%-34s %10.1f %10.1f %8.2f %8s\n",
                    i == 0 ? "delete a tenth of 10,000" : "delete a tenth of 100,000",
                    median(g_tenth[i].ours) * 1e3, median(g_tenth[i].floor) * 1e3,
                    g_tenth[i].ratio(), "1.3");
    }
    std::printf("%-34s %10.1f %10s %8s %8s\n", "  100,000 against 10,000 (linear: 10)",
                median(g_tenth[1].ours) / median(g_tenth[0].ours), "", "", "");
    std::printf("%-34s %10.1f %10.1f %8.2f %8s\n", "drop into a folder of 1,000, reload",
                median(g_drop.ours) * 1e3, median(g_drop.floor) * 1e3, g_drop.ratio(), "1.5");
    auto beyond = [](const Figures& f) {
        std::vector<double> d;
        for (std::size_t i = 0; i < f.ours.size() && i < f.floor.size(); ++i) {
            d.push_back(f.ours[i] - f.floor[i]);
        }
        return median(d) * 1e3;
    };
    std::printf("\nField editor, %d fields, medians (ms):\n", kEditorFields);
    std::printf("%-34s %10s %10s %8s %8s\n", "", "OK", "floor", "beyond", "target");
    std::printf("%-34s %10.1f %10.1f %8.1f %8s\n", "add a field, beyond the ID walk",
                median(g_add.ours) * 1e3, median(g_add.floor) * 1e3, beyond(g_add), "16");
    std::printf("%-34s %10.1f %10.1f %8.1f %8s\n", "  beyond all its statements",
                median(g_addStatements.ours) * 1e3, median(g_addStatements.floor) * 1e3,
                beyond(g_addStatements), "");
}

}  // namespace

int main(int argc, char** argv) {
    bench::offscreenUnlessSet();
    QApplication app(argc, argv);
    bench::registerTimed("open_browser", BM_OpenBrowser, kOpenRuns);
    bench::registerTimed("delete_folder", BM_DeleteFolder, kDeleteRuns);
    bench::registerTimed(
        "delete_tenth/10000", [](benchmark::State& s) { BM_DeleteTenth(s, 10000); }, kTenthRuns);
    bench::registerTimed(
        "delete_tenth/100000", [](benchmark::State& s) { BM_DeleteTenth(s, 100000); }, kTenthRuns);
    bench::registerTimed("drop_into_folder", BM_DropIntoFolder, kDropRuns);
    bench::registerTimed("add_field", BM_AddField, kAddRuns);
    if (!bench::runAll(argc, argv)) {
        return 1;
    }
    printSummary();
    return 0;
}
