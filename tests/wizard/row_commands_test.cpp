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

// The numbers 1 to n as the renumbering writes them.
QStringList oneTo(qsizetype n) {
    QStringList out;
    for (int i = 1; i <= n; ++i) {
        out << QString::number(i);
    }
    return out;
}

class RowCommandsTest : public ::testing::Test {
  protected:
    QStringList ids() const { return rvtest::gridColumn(m_grid, kColFieldId); }

    controls::MsgBoxResponder m_responder;
    controls::FlexGrid m_grid;
};

TEST_F(RowCommandsTest, MoveAndRemoveTakeTheSelectedRowsOrRefuse) {
    const QString first = u"最初のレコードです。"_s;
    const QString last = u"最後のレコードです。"_s;
    const QString aboveExisting = u"元のレコードの上に移動できません。"_s;
    const struct {
        int existing, typed;
        QList<int> selected;
        void (*command)(controls::FlexGrid&);
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
        {0, 8, {2, 4, 7}, removeRows, u"T1|T3|T5|T6|T8"_s, {}},
        {0, 8, {}, removeRows, {}, {}},
        {2, 2, {2, 3}, removeRows, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        rvtest::fillGrid(m_grid, c.existing, c.typed);
        const QStringList before = ids();
        rvtest::selectOnly(m_grid, c.selected);
        m_responder.clear();
        c.command(m_grid);
        EXPECT_EQ(ids(), c.ids.isEmpty() ? before : c.ids.split(u'|'));
        EXPECT_EQ(rvtest::gridColumn(m_grid, kColNumber), oneTo(ids().size()));
        EXPECT_EQ(m_responder.prompts(),
                  c.refusal.isEmpty() ? std::vector<QString>{} : std::vector{c.refusal});
        for (const controls::MsgBoxCall& call : m_responder.calls()) {
            EXPECT_EQ(call.title, u"ravLIN"_s);
            EXPECT_FALSE(call.exclamation);
            EXPECT_FALSE(call.okCancel);
        }
    }
}

TEST_F(RowCommandsTest, MovedRowsStaySelectedSoTheMoveCanBeRepeated) {
    rvtest::fillGrid(m_grid, 0, 6);
    rvtest::selectOnly(m_grid, {3, 5});
    moveUp(m_grid);
    EXPECT_EQ(m_grid.selectedRows(), (QList<int>{2, 4}));
    moveUp(m_grid);
    EXPECT_EQ(ids(), qsl({"T3", "T1", "T5", "T2", "T4", "T6"}));
    rvtest::selectOnly(m_grid, {2, 4, 6});
    removeRows(m_grid);
    EXPECT_TRUE(m_grid.selectedRows().isEmpty());
}

TEST_F(RowCommandsTest, AddRowGoesAfterTheSelectionOrAtTheEndOfTheExistingBlock) {
    rvtest::fillGrid(m_grid, 0, 0);
    addRow(m_grid);
    ASSERT_EQ(m_grid.rows(), 2);
    EXPECT_EQ(m_grid.textMatrix(1, kColAttr), u"文字"_s);
    EXPECT_EQ(m_grid.textMatrix(1, kColIme), u"ON"_s);
    EXPECT_EQ(m_grid.textMatrix(1, kColNumber), u"1"_s);
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
    EXPECT_EQ(rvtest::gridColumn(m_grid, kColNumber), oneTo(7));

    // Nothing selected: after the last row.
    rvtest::selectOnly(m_grid, {});
    m_grid.setTextMatrix(7, kColFieldId, u"T3"_s);
    addRow(m_grid);
    EXPECT_EQ(ids().mid(5), qsl({"T2", "T3", ""}));
    EXPECT_TRUE(m_responder.calls().empty());
}

TEST_F(RowCommandsTest, RenumberingGreysFixedTemplateRowsOnly) {
    rvtest::fillGrid(m_grid, 1, 1);
    m_grid.addItem(rvtest::fieldRow(u"FIX"_s, u"1"_s), 2);
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
