// The design grid's rules: the repairs after an edit, what a move of the current cell
// changes, and which selections the row commands apply to.
#include <gtest/gtest.h>

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "grid_rows.h"
#include "qt_strings.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_rules.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using namespace wizard;
using rvtest::fieldRow;

const QString kSizeRow3 = u"3行目のデータサイズは1以上、255以下でなければなりません｡"_s;
const QString kBadId = u"使用不可の文字があるので､その文字が削除されます｡"_s;

class GridRules : public ::testing::Test {
  protected:
    void SetUp() override { rvtest::fillGrid(m_grid, 0, 3); }

    // Writes the cell as an edit would and runs the after-edit check; returns the prompts.
    std::vector<QString> edit(int row, int col, const QString& text) {
        m_responder.clear();
        m_grid.setTextMatrix(row, col, text);
        afterEditCheck(m_grid, row, col);
        return m_responder.prompts();
    }

    controls::MsgBoxResponder m_responder;
    controls::FlexGrid m_grid;
};

TEST_F(GridRules, SizeOfATextRowIsCutToThreeDigitsThenKeptFrom1To255) {
    using P = std::vector<QString>;
    EXPECT_EQ(edit(3, kColSize, u"1000"_s), P{kSizeRow3});
    EXPECT_EQ(m_grid.textMatrix(3, kColSize), u"100"_s);
    ASSERT_EQ(m_responder.calls().size(), 1u);
    EXPECT_EQ(m_responder.calls()[0].title, u"ravLIN"_s);
    EXPECT_TRUE(m_responder.calls()[0].exclamation);
    EXPECT_FALSE(m_responder.calls()[0].okCancel);

    EXPECT_EQ(edit(3, kColSize, u"999"_s), P{kSizeRow3});
    EXPECT_EQ(m_grid.textMatrix(3, kColSize), QString());
    EXPECT_EQ(edit(3, kColSize, u"0"_s), P{kSizeRow3});
    EXPECT_EQ(m_grid.textMatrix(3, kColSize), QString());
    // Four digits still too large after the cut: warned twice.
    EXPECT_EQ(edit(3, kColSize, u"2560"_s), (P{kSizeRow3, kSizeRow3}));
    EXPECT_EQ(m_grid.textMatrix(3, kColSize), QString());
    // Pasted text that is no number goes as an out-of-range one does.
    EXPECT_EQ(edit(3, kColSize, u"1a"_s), P{kSizeRow3});
    EXPECT_EQ(m_grid.textMatrix(3, kColSize), QString());

    EXPECT_EQ(edit(3, kColSize, u""_s), P{});
    EXPECT_EQ(edit(3, kColSize, u"255"_s), P{});
    EXPECT_EQ(edit(3, kColSize, u"1"_s), P{});
    EXPECT_EQ(m_grid.textMatrix(3, kColSize), u"1"_s);
}

TEST_F(GridRules, OnlyTextRowsKeepASize) {
    m_grid.setTextMatrix(2, kColSize, u"40"_s);
    EXPECT_TRUE(edit(2, kColAttr, u"数字"_s).empty());
    EXPECT_EQ(m_grid.textMatrix(2, kColSize), QString());

    // Changing to a number moves the IME away once the current cell comes to the row.
    currentCellChange(m_grid, 2, kColFieldName);
    EXPECT_EQ(m_grid.textMatrix(2, kColIme), QString());
    EXPECT_EQ(m_grid.colComboList(kColIme), u" "_s);

    m_grid.setTextMatrix(1, kColAttr, u"メモ"_s);
    EXPECT_TRUE(edit(1, kColSize, u"12"_s).empty());
    EXPECT_EQ(m_grid.textMatrix(1, kColSize), QString());
}

TEST_F(GridRules, FieldIdKeepsCodes48To122AndQuotesGoSilently) {
    EXPECT_EQ(edit(2, kColFieldId, u"氏名_a-1"_s), std::vector<QString>{kBadId});
    EXPECT_EQ(m_grid.textMatrix(2, kColFieldId), u"_a1"_s);
    ASSERT_EQ(m_responder.calls().size(), 1u);
    EXPECT_TRUE(m_responder.calls()[0].exclamation);

    EXPECT_TRUE(edit(2, kColFieldId, u"a'b"_s).empty());
    EXPECT_EQ(m_grid.textMatrix(2, kColFieldId), u"ab"_s);
    EXPECT_TRUE(edit(2, kColFieldId, u"Z0:@[`z"_s).empty());
    EXPECT_EQ(m_grid.textMatrix(2, kColFieldId), u"Z0:@[`z"_s);
    EXPECT_EQ(edit(2, kColFieldId, u"a b{"_s), std::vector<QString>{kBadId});
    EXPECT_EQ(m_grid.textMatrix(2, kColFieldId), u"ab"_s);

    // Any edit of the row repairs the ID and the name, the attribute's included.
    m_grid.setTextMatrix(1, kColFieldId, u"x'y"_s);
    m_grid.setTextMatrix(1, kColFieldName, u"O'Neil"_s);
    EXPECT_TRUE(edit(1, kColAttr, u"日付"_s).empty());
    EXPECT_EQ(m_grid.textMatrix(1, kColFieldId), u"xy"_s);
    EXPECT_EQ(m_grid.textMatrix(1, kColFieldName), u"ONeil"_s);
}

TEST_F(GridRules, CurrentCellChangeSetsTheImeListByTheAttribute) {
    m_grid.setTextMatrix(1, kColAttr, u"メモ"_s);
    m_grid.setTextMatrix(1, kColIme, QString());
    m_grid.setTextMatrix(2, kColAttr, u"YESNO"_s);
    m_grid.setTextMatrix(3, kColAttr, QString());
    m_grid.setTextMatrix(3, kColIme, u"OFF"_s);

    currentCellChange(m_grid, 2, kColIme);
    EXPECT_EQ(m_grid.textMatrix(2, kColIme), QString());
    EXPECT_EQ(m_grid.colComboList(kColIme), u" "_s);
    currentCellChange(m_grid, 1, kColFieldId);
    EXPECT_EQ(m_grid.textMatrix(1, kColIme), u"ON"_s);
    EXPECT_EQ(m_grid.colComboList(kColIme), u"ON|OFF"_s);
    // An OFF stays OFF; a row without attribute changes neither list nor cell.
    m_grid.setTextMatrix(1, kColIme, u"OFF"_s);
    currentCellChange(m_grid, 2, kColIme);
    currentCellChange(m_grid, 3, kColIme);
    EXPECT_EQ(m_grid.colComboList(kColIme), u" "_s);
    EXPECT_EQ(m_grid.textMatrix(3, kColIme), u"OFF"_s);
    currentCellChange(m_grid, 1, kColIme);
    EXPECT_EQ(m_grid.textMatrix(1, kColIme), u"OFF"_s);
}

TEST_F(GridRules, EditingIsOffOnReadOnlyRowsAndOnSizesThatTakeNone) {
    m_grid.addItem(fieldRow(u"FIX"_s, u"文字"_s, u"10"_s, u"ON"_s, u"1"_s));
    m_grid.setTextMatrix(2, kColAttr, u"数字"_s);
    for (int col = kColFieldId; col <= kColIme; ++col) {
        currentCellChange(m_grid, 4, col);
        EXPECT_FALSE(m_grid.isEditable()) << "read-only row, column " << col;
        currentCellChange(m_grid, 2, col);
        EXPECT_EQ(m_grid.isEditable(), col != kColSize) << "number row, column " << col;
        currentCellChange(m_grid, 1, col);
        EXPECT_TRUE(m_grid.isEditable()) << "text row, column " << col;
    }
}

TEST_F(GridRules, RowCommandsApplyToSelectionsWithoutExistingFields) {
    rvtest::fillGrid(m_grid, 2, 2);
    EXPECT_EQ(currentCellChange(m_grid, 3, kColFieldId), RowCommands::kDisabled);
    rvtest::selectOnly(m_grid, {3, 4});
    EXPECT_EQ(currentCellChange(m_grid, 3, kColFieldId), RowCommands::kEnabled);
    rvtest::selectOnly(m_grid, {2, 3});
    EXPECT_EQ(currentCellChange(m_grid, 3, kColFieldId), RowCommands::kDisabled);
    EXPECT_EQ(rowCommandsFor(m_grid), RowCommands::kDisabled);
}

TEST_F(GridRules, SizeKeyFilterTakesDigitsEnterAndBackspaceOnTextRowsOnly) {
    m_grid.setCurrentCell(1, kColSize);
    for (int key : {int('0'), int('9'), 13, 8}) {
        int k = key;
        sizeKeyFilter(m_grid, 1, k);
        EXPECT_EQ(k, key);
    }
    for (int key : {int('a'), int('-'), int(u'１'), int(' ')}) {
        int k = key;
        sizeKeyFilter(m_grid, 1, k);
        EXPECT_EQ(k, 0) << key;
    }
    EXPECT_EQ(m_responder.prompts(), std::vector<QString>(4, u"数字を入力してください。"_s));
    EXPECT_TRUE(m_responder.calls()[0].exclamation);

    // Other columns and other attributes type freely.
    m_responder.clear();
    int k = 'a';
    m_grid.setCurrentCell(1, kColFieldId);
    sizeKeyFilter(m_grid, 1, k);
    m_grid.setTextMatrix(2, kColAttr, u"メモ"_s);
    m_grid.setCurrentCell(2, kColSize);
    sizeKeyFilter(m_grid, 2, k);
    EXPECT_EQ(k, 'a');
    EXPECT_TRUE(m_responder.calls().empty());
}

}  // namespace
