// The row commands as plans: where a new row goes, how the selected rows move, when rows
// may be removed, and the refusals; and the renumbering.
#include <gtest/gtest.h>

#include "grid_rows.h"
#include "qt_strings.h"
#include "wizard/grid_columns.h"
#include "wizard/row_commands.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using namespace wizard;
using rvtest::qsl;

TEST(RowCommands, MovesTakeTheSelectedRowsOrRefuse) {
    const QString first = u"最初のレコードです。"_s;
    const QString last = u"最後のレコードです。"_s;
    const QString aboveExisting = u"元のレコードの上に移動できません。"_s;
    const struct {
        int existing, typed;
        QList<int> selected;
        RowMoves (*command)(const controls::FlexGridModel&, const QList<int>&);
        QString ids;  // "|"-joined afterwards; empty: unchanged
        QString refusal;
    } cases[] = {
        {0, 6, {3, 5}, moveUp, u"T1|T3|T2|T5|T4|T6"_s, {}},
        {0, 6, {1, 3}, moveUp, {}, first},
        {0, 6, {}, moveUp, {}, first},
        {3, 2, {4, 5}, moveUp, {}, aboveExisting},
        {0, 9, {5, 9}, moveDown, u"T1|T2|T3|T4|T6|T5|T7|T8|T9"_s, {}},
        {0, 9, {8, 9}, moveDown, {}, {}},
        {0, 9, {3, 4, 9}, moveDown, u"T1|T2|T5|T3|T4|T6|T7|T8|T9"_s, {}},
        {0, 9, {9}, moveDown, {}, last},
        {0, 9, {}, moveDown, {}, last},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        controls::FlexGridModel grid;
        rvtest::fillGrid(grid, c.existing, c.typed);
        const QStringList before = rvtest::gridColumn(grid, kColFieldId);
        const RowMoves plan = c.command(grid, c.selected);
        grid.moveGridRows(plan.moves);
        EXPECT_EQ(rvtest::gridColumn(grid, kColFieldId),
                  c.ids.isEmpty() ? before : c.ids.split(u'|'));
        EXPECT_EQ(plan.refusal ? plan.refusal->prompt() : QString(), c.refusal);
        EXPECT_EQ(plan.refusal ? plan.refusal->buttons : 0, controls::vbOKOnly);
    }
}

TEST(RowCommands, NewRowsGoAfterTheSelectionOrBelowTheExistingBlock) {
    controls::FlexGridModel grid;
    rvtest::fillGrid(grid, 0, 0);
    EXPECT_EQ(newRowPosition(grid, -1), 1);
    rvtest::fillGrid(grid, 3, 2);
    const struct {
        int firstSelected, position;
    } cases[] = {{-1, 6}, {4, 5}, {5, 6}, {2, 6}, {3, 6}};
    for (const auto& c : cases) {
        EXPECT_EQ(newRowPosition(grid, c.firstSelected), c.position) << c.firstSelected;
    }
    EXPECT_EQ(newRowCells(), qsl({"", "", "", "文字", "", "ON", "", "", "", ""}));
}

TEST(RowCommands, RowsMayBeRemovedUnlessTheFirstSelectedIsAnExistingField) {
    controls::FlexGridModel grid;
    rvtest::fillGrid(grid, 2, 2);
    EXPECT_TRUE(mayRemoveRows(grid, {3, 4}));
    EXPECT_FALSE(mayRemoveRows(grid, {2, 3}));
    EXPECT_FALSE(mayRemoveRows(grid, {}));
}

TEST(RowCommands, RenumberingGreysFixedTemplateRowsOnly) {
    controls::FlexGridModel grid;
    rvtest::fillGrid(grid, 1, 1);
    grid.insertGridRow(2, rvtest::fieldRow(u"FIX"_s, u"1"_s));
    grid.moveGridRow(2, 3);
    renumberRows(grid);
    EXPECT_EQ(rvtest::gridColumn(grid, kColNumber), qsl({"1", "2", "3"}));
    for (int col = kColFieldId; col <= kColFax; ++col) {
        EXPECT_EQ(grid.foreground(3, col), QColor(128, 128, 128).rgba());
        EXPECT_FALSE(grid.foreground(2, col).has_value());
        EXPECT_FALSE(grid.foreground(1, col).has_value());
    }
}

}  // namespace
