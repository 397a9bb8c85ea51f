// SPDX-License-Identifier: MIT
// Undo and redo over the grid's cells and a selection kept as values: every kind of command
// comes back whole, the selection and current cell with it, and a command that changes
// nothing leaves no step.
#include <gtest/gtest.h>

#include <functional>

#include "grid_rows.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_history.h"
#include "wizard/grid_rules.h"
#include "wizard/row_commands.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using wizard::GridSelection;

class GridHistory : public ::testing::Test {
  protected:
    void SetUp() override {
        rvtest::fillGrid(m_grid, 2, 3);
        m_grid.setForeground(4, 1, 4, 7, 0xFF808080u);  // a fixed template's grey text
        m_grid.setText(4, wizard::kColReadOnly, u"1"_s);
        m_history.reset();
    }

    // Every cell with its colours, then the selection.
    std::string state() const {
        QStringList out;
        for (int r = 0; r < m_grid.gridRows(); ++r) {
            for (int c = 0; c < m_grid.gridCols(); ++c) {
                out << u"%1/%2/%3"_s.arg(m_grid.text(r, c))
                           .arg(m_grid.background(r, c).value_or(0))
                           .arg(m_grid.foreground(r, c).value_or(0));
            }
        }
        out << u"selected"_s;
        for (int r : m_selection.rows) {
            out << QString::number(r);
        }
        out << u"current %1,%2"_s.arg(m_selection.currentRow).arg(m_selection.currentCol);
        return out.join(u' ').toStdString();
    }

    // Carries out a move as the window does; the selection is the command's to set.
    void move(const wizard::RowMoves& plan) {
        m_grid.moveGridRows(plan.moves);
        wizard::renumberRows(m_grid);
    }

    controls::FlexGridModel m_grid;
    GridSelection m_selection;
    wizard::GridHistory m_history{m_grid, [this] { return m_selection; }};
};

TEST_F(GridHistory, EachCommandComesBackWholeWithItsSelectionAndCurrentCell) {
    const struct {
        const char* name;
        GridSelection selected;
        std::function<void()> command;
    } commands[] = {
        {"add row",
         {{4}, 4, 2},
         [&] {
             const int row = wizard::newRowPosition(m_grid, 4);
             m_grid.insertGridRow(row, wizard::newRowCells());
             m_selection = {{4}, row, wizard::kColFieldId};
             wizard::renumberRows(m_grid);
         }},
        {"edit with repairs",
         {{}, 3, 1},
         [&] { wizard::afterEditCheck(m_grid, 3, wizard::kColFieldId, [](const auto&) {}); }},
        {"move up",
         {{4, 5}, 5, 3},
         [&] {
             move(wizard::moveUp(m_grid, m_selection.rows));
             m_selection = {{3, 4}, 4, 3};
         }},
        {"remove",
         {{3, 5}, 5, 1},
         [&] {
             m_grid.removeGridRow(5);
             m_grid.removeGridRow(3);
             m_selection = {{}, 3, 1};
             wizard::renumberRows(m_grid);
         }},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.name);
        m_selection = c.selected;
        const std::string before = state();
        if (std::string(c.name) == "edit with repairs") {
            // The edit is in the cells before its check runs: undo takes it away too.
            m_grid.setText(3, wizard::kColFieldId, u"x'-y"_s);
        }
        m_history.record(c.command);
        const std::string after = state();
        ASSERT_NE(after, before);
        for (int round = 0; round < 2; ++round) {
            std::optional<GridSelection> back = m_history.undo();
            ASSERT_TRUE(back);
            m_selection = *back;
            EXPECT_EQ(state(), before) << "undo";
            std::optional<GridSelection> again = m_history.redo();
            ASSERT_TRUE(again);
            m_selection = *again;
            EXPECT_EQ(state(), after) << "redo";
        }
        EXPECT_FALSE(m_history.canRedo());
    }
}

// A refused move (which moves are refused is the row commands' test) changes nothing. (That
// what a move of the current cell repairs starts the next step is the window's undo test.)
TEST_F(GridHistory, ACommandThatChangesNothingLeavesNoStep) {
    m_selection = {{3}, -1, -1};
    m_history.record([&] { move(wizard::moveUp(m_grid, m_selection.rows)); });
    EXPECT_FALSE(m_history.canUndo());
    EXPECT_FALSE(m_history.undo());
}

}  // namespace
