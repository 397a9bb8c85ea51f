// The row commands: where a new row goes, how the selected rows move, what is removed, and
// the refusals.
#include <gtest/gtest.h>

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "grid_rows.h"
#include "qt_strings.h"
#include "wizard/grid_columns.h"
#include "wizard/row_commands.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using namespace wizard;
using rvtest::qsl;

class RowCommandsTest : public ::testing::Test {
  protected:
    QStringList ids() const { return rvtest::gridColumn(m_grid, kColFieldId); }
    QStringList numbers() const { return rvtest::gridColumn(m_grid, kColNumber); }

    // The numbers 1 to n as the renumbering writes them.
    static QStringList oneTo(int n) {
        QStringList out;
        for (int i = 1; i <= n; ++i) {
            out << QString::number(i);
        }
        return out;
    }

    controls::MsgBoxResponder m_responder;
    controls::FlexGrid m_grid;
};

TEST_F(RowCommandsTest, AddRowGoesAfterTheSelectionOrAtTheEndOfTheExistingBlock) {
    rvtest::fillGrid(m_grid, 0, 0);
    addRow(m_grid);
    ASSERT_EQ(m_grid.rows(), 2);
    EXPECT_EQ(rvtest::gridColumn(m_grid, kColAttr), qsl({"文字"}));
    EXPECT_EQ(rvtest::gridColumn(m_grid, kColIme), qsl({"ON"}));
    EXPECT_EQ(numbers(), qsl({"1"}));
    EXPECT_EQ(m_grid.currentRow(), 1);

    rvtest::fillGrid(m_grid, 3, 2);
    m_grid.selectRow(2);
    addRow(m_grid);
    EXPECT_EQ(ids(), qsl({"E1", "E2", "E3", "T1", "T2", ""}));
    EXPECT_EQ(m_grid.currentRow(), 6);

    rvtest::selectOnly(m_grid, {4});
    addRow(m_grid);
    EXPECT_EQ(ids(), qsl({"E1", "E2", "E3", "T1", "", "T2", ""}));
    EXPECT_EQ(m_grid.currentRow(), 5);
    EXPECT_EQ(m_grid.textMatrix(5, kColAttr), u"文字"_s);
    EXPECT_EQ(m_grid.textMatrix(5, kColExisting), QString());
    EXPECT_EQ(numbers(), oneTo(7));

    // Nothing selected: after the last row.
    rvtest::selectOnly(m_grid, {});
    m_grid.setTextMatrix(7, kColFieldId, u"T3"_s);
    addRow(m_grid);
    EXPECT_EQ(ids().mid(5), qsl({"T2", "T3", ""}));
    EXPECT_TRUE(m_responder.calls().empty());
}

TEST_F(RowCommandsTest, UpMovesEachSelectedRowUnlessTheFirstCannotGo) {
    rvtest::fillGrid(m_grid, 0, 6);
    rvtest::selectOnly(m_grid, {3, 5});
    moveUp(m_grid);
    EXPECT_EQ(ids(), qsl({"T1", "T3", "T2", "T5", "T4", "T6"}));
    EXPECT_EQ(numbers(), oneTo(6));
    EXPECT_TRUE(m_responder.calls().empty());
    // The moved rows stay selected, so the move can be repeated.
    EXPECT_EQ(m_grid.selectedRows(), (QList<int>{2, 4}));
    moveUp(m_grid);
    EXPECT_EQ(ids(), qsl({"T3", "T1", "T5", "T2", "T4", "T6"}));

    moveUp(m_grid);
    rvtest::selectOnly(m_grid, {});
    moveUp(m_grid);
    EXPECT_EQ(m_responder.prompts(), (std::vector<QString>(2, u"最初のレコードです。"_s)));
    EXPECT_EQ(ids(), qsl({"T3", "T1", "T5", "T2", "T4", "T6"}));
    ASSERT_FALSE(m_responder.calls().empty());
    EXPECT_EQ(m_responder.calls()[0].title, u"ravLIN"_s);
    EXPECT_FALSE(m_responder.calls()[0].exclamation);
    EXPECT_FALSE(m_responder.calls()[0].okCancel);

    m_responder.clear();
    rvtest::fillGrid(m_grid, 3, 2);
    rvtest::selectOnly(m_grid, {4, 5});
    moveUp(m_grid);
    EXPECT_EQ(m_responder.prompts(), std::vector<QString>{u"元のレコードの上に移動できません。"_s});
    EXPECT_EQ(ids(), qsl({"E1", "E2", "E3", "T1", "T2"}));
}

TEST_F(RowCommandsTest, DownLeavesARunAtTheBottomInPlace) {
    rvtest::fillGrid(m_grid, 0, 9);
    const QStringList start = ids();

    rvtest::selectOnly(m_grid, {5, 9});
    moveDown(m_grid);
    EXPECT_EQ(ids(), qsl({"T1", "T2", "T3", "T4", "T6", "T5", "T7", "T8", "T9"}));
    EXPECT_EQ(numbers(), oneTo(9));
    EXPECT_TRUE(m_responder.calls().empty());

    rvtest::fillGrid(m_grid, 0, 9);
    rvtest::selectOnly(m_grid, {8, 9});
    moveDown(m_grid);
    EXPECT_EQ(ids(), start);
    EXPECT_TRUE(m_responder.calls().empty());

    rvtest::selectOnly(m_grid, {3, 4, 9});
    moveDown(m_grid);
    EXPECT_EQ(ids(), qsl({"T1", "T2", "T5", "T3", "T4", "T6", "T7", "T8", "T9"}));

    rvtest::selectOnly(m_grid, {9});
    moveDown(m_grid);
    rvtest::selectOnly(m_grid, {});
    moveDown(m_grid);
    EXPECT_EQ(m_responder.prompts(), (std::vector<QString>(2, u"最後のレコードです。"_s)));
    EXPECT_FALSE(m_responder.calls()[0].exclamation);
}

TEST_F(RowCommandsTest, RemoveTakesEverySelectedRowUnlessTheFirstIsAnExistingField) {
    rvtest::fillGrid(m_grid, 0, 8);
    rvtest::selectOnly(m_grid, {2, 4, 7});
    removeRows(m_grid);
    EXPECT_EQ(ids(), qsl({"T1", "T3", "T5", "T6", "T8"}));
    EXPECT_EQ(numbers(), oneTo(5));
    EXPECT_TRUE(m_grid.selectedRows().isEmpty());

    removeRows(m_grid);  // nothing selected
    EXPECT_EQ(ids().size(), 5);

    rvtest::fillGrid(m_grid, 2, 2);
    rvtest::selectOnly(m_grid, {2, 3});
    removeRows(m_grid);
    EXPECT_EQ(ids(), qsl({"E1", "E2", "T1", "T2"}));
    EXPECT_TRUE(m_responder.calls().empty());
}

TEST_F(RowCommandsTest, RenumberingGreysFixedTemplateRowsOnly) {
    rvtest::fillGrid(m_grid, 1, 1);
    m_grid.addItem(rvtest::fieldRow(u"FIX"_s, u"文字"_s, u"10"_s, u"ON"_s, u"1"_s), 2);
    rvtest::selectOnly(m_grid, {2});
    moveDown(m_grid);
    EXPECT_EQ(ids(), qsl({"E1", "T1", "FIX"}));
    for (int col = kColFieldId; col <= kColIme; ++col) {
        EXPECT_EQ(m_grid.cellForeColor(3, col), kReadOnlyTextColor);
        EXPECT_FALSE(m_grid.cellForeColor(2, col).isValid());
        EXPECT_FALSE(m_grid.cellForeColor(1, col).isValid());
        EXPECT_EQ(m_grid.cellBackground(1, col), kExistingRowColor);
    }
}

}  // namespace
