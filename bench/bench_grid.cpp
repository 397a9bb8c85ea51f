// SPDX-License-Identifier: MIT
// The design grid's operations on a shown wizard whose grid has N rows, one operation at a
// time through the window's handlers: the row commands, the after-edit check, the
// current-cell change, keeping the marks of refused rows current, undo and redo. Each timed
// operation is one user action; what sets it up (a selection, a row put back) is not timed.
//
// The summary prints milliseconds per operation for each N and the ratio of each time to
// the time at 10 rows next to the ratio of the row counts, so linear growth reads directly.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "component/grid_layout.h"
#include "component/rv_makedb_form.h"
#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "wizard/design_grid.h"
#include "wizard/grid_columns.h"
#include "wizard/live_checks.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using Clock = std::chrono::steady_clock;
using component::rv_makeDBForm;
using controls::FlexGrid;

constexpr int kRowCounts[] = {10, 255, 1000};
constexpr double kFrameMs = 16.0;
constexpr double kPasteMs = 200.0;

struct Operation {
    const char* name;
    // Untimed: makes the grid ready for one run; returns the row the run works on.
    std::function<void(FlexGrid&, int middle)> prepare;
    std::function<void(rv_makeDBForm&, int middle)> run;
    // Untimed: brings the row count back.
    std::function<void(FlexGrid&, int middle)> restore;
};

std::map<std::string, std::map<int, double>> g_ms;  // operation -> rows -> ms per run
// The marks of refused rows over the grid being measured, as the wizard keeps them.
wizard::LiveChecks* g_checks = nullptr;

void selectOnly(FlexGrid& fg1, int row) {
    fg1.selectionModel()->clearSelection();
    fg1.selectRow(row);
}

void fill(FlexGrid& fg1, int rows) {
    component::layOutGrid(fg1);
    for (int i = 1; i <= rows; ++i) {
        fg1.addItem(QStringLiteral("\tID%1\t項目%1\t文字\t20\tON\t\t\t\t").arg(i));
    }
    wizard::renumberRows(*fg1.gridModel());
}

const std::vector<Operation>& operations() {
    static const std::vector<Operation> ops = {
        {"add row (after a middle row)", [](FlexGrid& g, int m) { selectOnly(g, m); },
         [](rv_makeDBForm& w, int) { w.Command8_Click(); },
         [](FlexGrid& g, int m) { g.removeItem(m + 1); }},
        {"move up (one middle row)", [](FlexGrid& g, int m) { selectOnly(g, m); },
         [](rv_makeDBForm& w, int) { w.Command3_Click(); }, nullptr},
        {"move down (one middle row)", [](FlexGrid& g, int m) { selectOnly(g, m); },
         [](rv_makeDBForm& w, int) { w.Command6_Click(); }, nullptr},
        {"move down (every other row)",
         [](FlexGrid& g, int) {
             g.selectionModel()->clearSelection();
             for (int r = 1; r < g.rows() - 1; r += 2) {
                 g.selectRow(r);
             }
         },
         [](rv_makeDBForm& w, int) { w.Command6_Click(); }, nullptr},
        {"remove (one middle row)", [](FlexGrid& g, int m) { selectOnly(g, m); },
         [](rv_makeDBForm& w, int) { w.Command5_Click(); },
         [](FlexGrid& g, int m) {
             g.addItem(QStringLiteral("\tNEW\t新\t文字\t20\tON\t\t\t\t"), m);
             wizard::renumberRows(*g.gridModel());
         }},
        {"after-edit check (ID with a quote)",
         [](FlexGrid& g, int m) { g.setTextMatrix(m, wizard::kColFieldId, QStringLiteral("A'B")); },
         [](rv_makeDBForm& w, int m) { w.fg1_AfterEdit(m, wizard::kColFieldId); }, nullptr},
        {"current-cell change (one row selected)", [](FlexGrid& g, int m) { selectOnly(g, m); },
         [](rv_makeDBForm& w, int m) {
             // Through the grid's own event, as a click or an arrow key moves it.
             FlexGrid& g = *w.fg1;
             g.setCurrentCell(g.currentRow() == m ? m + 1 : m, wizard::kColIme);
         },
         nullptr},
        {"current-cell change (all rows selected)",
         [](FlexGrid& g, int) {
             if (g.selectedRows().size() != g.rows() - 1) {
                 for (int r = 1; r < g.rows(); ++r) {
                     g.selectRow(r);
                 }
             }
         },
         [](rv_makeDBForm& w, int m) {
             FlexGrid& g = *w.fg1;
             g.setCurrentCell(g.currentRow() == m ? m + 1 : m, wizard::kColIme);
         },
         nullptr},
        {"live checks after an edit (none refused)",
         [](FlexGrid& g, int m) {
             g.setTextMatrix(m, wizard::kColFieldName,
                             g.textMatrix(m, wizard::kColFieldName) == u"甲" ? u"乙"_s : u"甲"_s);
         },
         [](rv_makeDBForm&, int) { g_checks->update(); }, nullptr},
        {"live checks after an edit (all refused)",
         [](FlexGrid& g, int m) {
             // Every row shares its name with row 1; the edited row gains or loses its ID.
             if (g.textMatrix(g.rows() - 1, wizard::kColFieldName) != u"同じ") {
                 for (int r = 1; r < g.rows(); ++r) {
                     g.setTextMatrix(r, wizard::kColFieldName, u"同じ"_s);
                 }
             }
             g.setTextMatrix(m, wizard::kColFieldId,
                             g.textMatrix(m, wizard::kColFieldId).isEmpty() ? u"X"_s : QString());
         },
         [](rv_makeDBForm&, int) { g_checks->update(); }, nullptr},
        {"paste (1,000 rows after a middle row)",
         [](FlexGrid& g, int m) {
             static const QString lines = [] {
                 QString text;
                 for (int i = 1; i <= 1000; ++i) {
                     text += QStringLiteral("P%1\t貼%1\t文字\t20\tON\t\t\n").arg(i);
                 }
                 return text;
             }();
             QGuiApplication::clipboard()->setText(lines);
             selectOnly(g, m);
         },
         [](rv_makeDBForm& w, int) { w.pasteRows(); },
         [](FlexGrid& g, int) { static_cast<rv_makeDBForm*>(g.window())->undo(); }},
        {"undo (add row)",
         [](FlexGrid& g, int m) {
             selectOnly(g, m);
             static_cast<rv_makeDBForm*>(g.window())->Command8_Click();
         },
         [](rv_makeDBForm& w, int) { w.undo(); }, nullptr},
        {"redo (add row)",
         [](FlexGrid& g, int m) {
             selectOnly(g, m);
             auto* w = static_cast<rv_makeDBForm*>(g.window());
             w->Command8_Click();
             w->undo();
         },
         [](rv_makeDBForm& w, int) { w.redo(); },
         [](FlexGrid& g, int) { static_cast<rv_makeDBForm*>(g.window())->undo(); }},
        {"undo (move down, every other row)",
         [](FlexGrid& g, int) {
             g.selectionModel()->clearSelection();
             for (int r = 1; r < g.rows() - 1; r += 2) {
                 g.selectRow(r);
             }
             static_cast<rv_makeDBForm*>(g.window())->Command6_Click();
         },
         [](rv_makeDBForm& w, int) { w.undo(); }, nullptr},
    };
    return ops;
}

void BM_Grid(benchmark::State& state, const Operation& op) {
    const int rows = static_cast<int>(state.range(0));
    rv_makeDBForm wizard;
    FlexGrid& fg1 = *wizard.fg1;
    fill(fg1, rows);
    wizard::LiveChecks checks(*fg1.gridModel());
    g_checks = &checks;
    wizard.show();
    QCoreApplication::processEvents();
    const int middle = rows / 2;

    double total = 0;
    for (auto _ : state) {
        op.prepare(fg1, middle);
        const auto start = Clock::now();
        op.run(wizard, middle);
        const std::chrono::duration<double> took = Clock::now() - start;
        state.SetIterationTime(took.count());
        total += took.count();
        if (op.restore) {
            op.restore(fg1, middle);
        }
        // Paint what changed, as the event loop would between two clicks.
        QCoreApplication::processEvents();
    }
    if (fg1.rows() != rows + 1) {
        state.SkipWithError("the row count drifted");
    }
    g_ms[op.name][rows] = total * 1000.0 / static_cast<double>(state.iterations());
}

void printSummary() {
    std::printf("\nms per operation (growth: time / time at %d rows, against rows / %d)\n",
                kRowCounts[0], kRowCounts[0]);
    std::printf("%-42s", "operation");
    for (int n : kRowCounts) {
        std::printf(" %9d rows", n);
    }
    std::printf("   growth 255    growth 1000\n");
    bool withinFrame = true;
    bool pasteWithin = true;
    for (const Operation& op : operations()) {
        const auto& ms = g_ms[op.name];
        if (ms.size() != std::size(kRowCounts)) {
            continue;  // left out by a filter
        }
        std::printf("%-42s", op.name);
        for (int n : kRowCounts) {
            std::printf(" %14.3f", ms.at(n));
        }
        const double base = ms.at(kRowCounts[0]);
        for (int n : {255, 1000}) {
            std::printf("   %5.1fx/%5.1fx", ms.at(n) / base,
                        static_cast<double>(n) / kRowCounts[0]);
        }
        std::printf("\n");
        // A paste of many rows is one action of its own, held to its own bound.
        const bool paste = std::string(op.name).starts_with("paste");
        withinFrame = withinFrame && (paste || ms.at(1000) < kFrameMs);
        pasteWithin = pasteWithin && (!paste || ms.at(1000) < kPasteMs);
    }
    std::printf("every operation at 1000 rows under %.0f ms: %s\n", kFrameMs,
                withinFrame ? "yes" : "NO");
    std::printf("a paste of 1000 rows under %.0f ms: %s\n", kPasteMs, pasteWithin ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Row commands that refuse would show a box; none should, and none waits.
    controls::MsgBoxResponder responder;

    for (const Operation& op : operations()) {
        for (int n : kRowCounts) {
            benchmark::RegisterBenchmark(op.name, BM_Grid, op)
                ->Arg(n)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(n >= 1000 ? 50 : 200);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    if (!responder.calls().empty()) {
        std::fprintf(stderr, "unexpected message: %s\n",
                     responder.calls().front().prompt.toStdString().c_str());
        return 1;
    }
    return 0;
}
