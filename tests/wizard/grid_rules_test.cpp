// The design grid's rules: the repairs after an edit and what a move of the current cell
// changes.
#include <gtest/gtest.h>

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "grid_rows.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_rules.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using namespace wizard;
using P = std::vector<QString>;

class GridRules : public ::testing::Test {
  protected:
    void SetUp() override { rvtest::fillGrid(m_grid, 0, 3); }

    // Writes the cell as an edit would and runs the after-edit check; returns the prompts,
    // each of which must be a warning.
    P edit(int row, int col, const QString& text) {
        m_responder.clear();
        m_grid.setTextMatrix(row, col, text);
        afterEditCheck(m_grid, row, col);
        for (const controls::MsgBoxCall& call : m_responder.calls()) {
            EXPECT_EQ(call.title, u"ravLIN"_s);
            EXPECT_TRUE(call.exclamation);
            EXPECT_FALSE(call.okCancel);
        }
        return m_responder.prompts();
    }

    QString cell(int row, int col) const { return m_grid.textMatrix(row, col); }

    controls::MsgBoxResponder m_responder;
    controls::FlexGrid m_grid;
};

TEST_F(GridRules, SizeOfATextRowIsCutToThreeDigitsThenKeptFrom1To255) {
    const QString warning = u"3行目のデータサイズは1以上、255以下でなければなりません｡"_s;
    const struct {
        QString typed, kept;
        size_t warnings;
    } cases[] = {
        {u"1000"_s, u"100"_s, 1}, {u"999"_s, u""_s, 1}, {u"0"_s, u""_s, 1},
        {u"2560"_s, u""_s, 2},    {u"1a"_s, u""_s, 1},  {u""_s, u""_s, 0},
        {u"255"_s, u"255"_s, 0},  {u"1"_s, u"1"_s, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit(3, kColSize, c.typed), P(c.warnings, warning)) << c.typed.toStdString();
        EXPECT_EQ(cell(3, kColSize), c.kept) << c.typed.toStdString();
    }
    // A memo row keeps no size.
    m_grid.setTextMatrix(1, kColAttr, u"メモ"_s);
    EXPECT_EQ(edit(1, kColSize, u"12"_s), P{});
    EXPECT_EQ(cell(1, kColSize), QString());
}

TEST_F(GridRules, FieldIdKeepsCodes48To122AndQuotesGoSilently) {
    const QString warning = u"使用不可の文字があるので､その文字が削除されます｡"_s;
    const struct {
        QString typed, kept;
        bool warned;
    } cases[] = {
        {u"氏名_a-1"_s, u"_a1"_s, true},
        {u"a'b"_s, u"ab"_s, false},
        {u"Z0:@[`z"_s, u"Z0:@[`z"_s, false},
        {u"a b{"_s, u"ab"_s, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit(2, kColFieldId, c.typed), c.warned ? P{warning} : P{})
            << c.typed.toStdString();
        EXPECT_EQ(cell(2, kColFieldId), c.kept);
    }
    // Any edit of the row repairs the ID and the name, the attribute's included.
    m_grid.setTextMatrix(1, kColFieldId, u"x'y"_s);
    m_grid.setTextMatrix(1, kColFieldName, u"O'Neil"_s);
    EXPECT_EQ(edit(1, kColAttr, u"日付"_s), P{});
    EXPECT_EQ(cell(1, kColFieldId), u"xy"_s);
    EXPECT_EQ(cell(1, kColFieldName), u"ONeil"_s);
}

TEST_F(GridRules, CurrentCellChangeSetsTheImeListByTheAttribute) {
    m_grid.setTextMatrix(1, kColAttr, u"メモ"_s);
    m_grid.setTextMatrix(1, kColIme, QString());
    m_grid.setTextMatrix(2, kColAttr, u"YESNO"_s);
    m_grid.setTextMatrix(3, kColAttr, QString());
    m_grid.setTextMatrix(3, kColIme, u"OFF"_s);

    currentCellChange(m_grid, 2, kColIme);
    EXPECT_EQ(cell(2, kColIme), QString());
    EXPECT_EQ(m_grid.colComboList(kColIme), u" "_s);
    currentCellChange(m_grid, 1, kColFieldId);
    EXPECT_EQ(cell(1, kColIme), u"ON"_s);
    EXPECT_EQ(m_grid.colComboList(kColIme), u"ON|OFF"_s);
    // An OFF stays OFF; a row without attribute changes neither list nor cell.
    m_grid.setTextMatrix(1, kColIme, u"OFF"_s);
    currentCellChange(m_grid, 2, kColIme);
    currentCellChange(m_grid, 3, kColIme);
    EXPECT_EQ(m_grid.colComboList(kColIme), u" "_s);
    EXPECT_EQ(cell(3, kColIme), u"OFF"_s);
    currentCellChange(m_grid, 1, kColIme);
    EXPECT_EQ(cell(1, kColIme), u"OFF"_s);
}

TEST_F(GridRules, EditingIsOffOnReadOnlyRowsAndOnSizesThatTakeNone) {
    m_grid.addItem(rvtest::fieldRow(u"FIX"_s, u"1"_s));
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

}  // namespace
