// SPDX-License-Identifier: MIT
// The design grid's rules over its cells: the repairs after an edit, what a move of the
// current cell switches; and the row commands as plans: where
// a new row goes, how the selected rows move, when rows may be removed, the refusals, and
// the renumbering.
#include <gtest/gtest.h>

#include "grid_rows.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_rules.h"
#include "wizard/row_commands.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using namespace wizard;
using P = QStringList;

class GridRules : public ::testing::Test {
  protected:
    void SetUp() override { rvtest::fillGrid(m_grid, 1, 3); }

    // Writes the cell as an edit would and runs the after-edit check; returns the warnings.
    P edit(int row, int col, const QString& text) {
        m_grid.setText(row, col, text);
        P warnings;
        afterEditCheck(m_grid, row, col, [&](const controls::Message& m) {
            EXPECT_EQ(m.buttons, controls::vbExclamation);
            warnings << m.prompt();
        });
        return warnings;
    }
    QString cell(int row, int col) const { return m_grid.text(row, col); }

    controls::FlexGridModel m_grid;
};

// The size of a text row is cut to three digits, then kept from 1 to 255; the field ID keeps
// codes 48 to 122, and quotes and control characters go silently from the name. (The keys the size
// cell takes are the window's test: digits, Backspace and Enter.)
TEST_F(GridRules, AnEditedCellIsRepairedWithAWarning) {
    const P size(1, u"3行目のデータサイズは1以上、255以下でなければなりません｡"_s);
    const P id{u"使用不可の文字があるので､その文字が削除されます｡"_s};
    const struct {
        int col;
        QString typed, kept;
        P warnings;
    } cases[] = {
        {kColSize, u"1000"_s, u"100"_s, size},
        {kColSize, u"999"_s, u""_s, size},
        {kColSize, u"0"_s, u""_s, size},
        {kColSize, u"2560"_s, u""_s, size + size},
        {kColSize, u"1a"_s, u""_s, size},
        {kColSize, u""_s, u""_s, {}},
        {kColSize, u"255"_s, u"255"_s, {}},
        {kColSize, u"1"_s, u"1"_s, {}},
        {kColFieldId, u"氏名_a-1"_s, u"_a1"_s, id},
        {kColFieldId, u"a'b"_s, u"ab"_s, {}},
        {kColFieldId, u"Z0:@[`z"_s, u"Z0:@[`z"_s, {}},
        {kColFieldId, u"a b{"_s, u"ab"_s, id},
        // Rows pasted into a cell's editor: control characters leave the name silently.
        {kColFieldId, u"A\u2028B\t"_s, u"AB"_s, id},
        {kColFieldName, u"x\t y\r\n\u2028\u2029\u0001'z\u007f"_s, u"x yz"_s, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit(3, c.col, c.typed), c.warnings) << c.typed.toStdString();
        EXPECT_EQ(cell(3, c.col), c.kept) << c.typed.toStdString();
    }
    // A memo row keeps no size; naming a number row empties its size.
    m_grid.setText(2, kColAttr, u"メモ"_s);
    EXPECT_EQ(edit(2, kColSize, u"12"_s), P{});
    EXPECT_EQ(cell(2, kColSize), QString());
    m_grid.setText(4, kColAttr, u"数字"_s);
    m_grid.setText(4, kColSize, u"12"_s);
    EXPECT_EQ(edit(4, kColFieldName, u"n"_s), P{});
    EXPECT_EQ(cell(4, kColSize), QString());
    // Any edit of the row repairs the ID and the name, the attribute's included.
    m_grid.setText(3, kColFieldId, u"x'y"_s);
    m_grid.setText(3, kColFieldName, u"O'Neil"_s);
    EXPECT_EQ(edit(3, kColAttr, u"日付"_s), P{});
    EXPECT_EQ(cell(3, kColFieldId), u"xy"_s);
    EXPECT_EQ(cell(3, kColFieldName), u"ONeil"_s);
}

TEST_F(GridRules, TheCurrentCellSwitchesTheImeAndEditing) {
    m_grid.insertGridRow(5, rvtest::fieldRow(u"FIX"_s, u"1"_s));
    const struct {
        const char* attr;
        const char* ime;
        int row, col;
        const char* imeAfter;
        std::optional<QString> list;
        bool editable;
    } cases[] = {
        {"メモ", "", 2, kColIme, "ON", u"ON|OFF"_s, true},
        {"文字", "OFF", 2, kColSize, "OFF", u"ON|OFF"_s, true},
        {"YESNO", "ON", 2, kColIme, "", u" "_s, true},
        {"数字", "ON", 2, kColSize, "", u" "_s, false},
        {"", "OFF", 2, kColSize, "OFF", std::nullopt, false},
        {"文字", "ON", 5, kColFieldName, "ON", u"ON|OFF"_s, false},  // read-only row
        {"文字", "ON", 1, kColIme, "ON", u"ON|OFF"_s, false},        // existing row
    };
    for (const auto& c : cases) {
        m_grid.setText(c.row, kColAttr, QString::fromUtf8(c.attr));
        m_grid.setText(c.row, kColIme, QString::fromUtf8(c.ime));
        const CellChange change = currentCellChange(m_grid, {}, c.row, c.col);
        EXPECT_EQ(cell(c.row, kColIme), QString::fromUtf8(c.imeAfter)) << c.attr;
        EXPECT_EQ(change.imeList, c.list) << c.attr;
        EXPECT_EQ(change.editable, c.editable) << c.attr << " " << c.col;
    }
    EXPECT_EQ(currentCellChange(m_grid, {}, 0, kColIme).editable, std::nullopt);
}

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

// A new row goes after the selection or below the existing block; rows may be removed
// unless the first selected is an existing field.
TEST(RowCommands, NewRowsGoAfterTheSelectionAndExistingRowsStay) {
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
    EXPECT_EQ(newRowCells().join(u'|'), u"|||文字||ON||||"_s);
    EXPECT_TRUE(mayRemoveRows(grid, {4, 5}));
    EXPECT_FALSE(mayRemoveRows(grid, {3, 4}));
    EXPECT_FALSE(mayRemoveRows(grid, {}));
}

TEST(RowCommands, RenumberingGreysFixedTemplateRowsOnly) {
    controls::FlexGridModel grid;
    rvtest::fillGrid(grid, 1, 1);
    grid.insertGridRow(2, rvtest::fieldRow(u"FIX"_s, u"1"_s));
    grid.moveGridRow(2, 3);
    renumberRows(grid);
    // (The numbers are in every row the window tests name.)
    for (int col = kColFieldId; col <= kColFax; ++col) {
        EXPECT_EQ(grid.foreground(3, col), 0xFF808080u);  // RGB(128, 128, 128)
        EXPECT_FALSE(grid.foreground(1, col) || grid.foreground(2, col));
    }
}

}  // namespace
