// The design grid's rules over its cells: the repairs after an edit, what a move of the
// current cell switches, and the keys the size cell takes.
#include <gtest/gtest.h>

#include "grid_rows.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_rules.h"

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

TEST_F(GridRules, SizeOfATextRowIsCutToThreeDigitsThenKeptFrom1To255) {
    const QString warning = u"3行目のデータサイズは1以上、255以下でなければなりません｡"_s;
    const struct {
        QString typed, kept;
        qsizetype warnings;
    } cases[] = {
        {u"1000"_s, u"100"_s, 1}, {u"999"_s, u""_s, 1}, {u"0"_s, u""_s, 1},
        {u"2560"_s, u""_s, 2},    {u"1a"_s, u""_s, 1},  {u""_s, u""_s, 0},
        {u"255"_s, u"255"_s, 0},  {u"1"_s, u"1"_s, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit(3, kColSize, c.typed), P(c.warnings, warning)) << c.typed.toStdString();
        EXPECT_EQ(cell(3, kColSize), c.kept) << c.typed.toStdString();
    }
    // A memo row keeps no size; naming a number row empties its size.
    m_grid.setText(2, kColAttr, u"メモ"_s);
    EXPECT_EQ(edit(2, kColSize, u"12"_s), P{});
    EXPECT_EQ(cell(2, kColSize), QString());
    m_grid.setText(4, kColAttr, u"数字"_s);
    m_grid.setText(4, kColSize, u"12"_s);
    EXPECT_EQ(edit(4, kColFieldName, u"n"_s), P{});
    EXPECT_EQ(cell(4, kColSize), QString());
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

TEST_F(GridRules, RowCommandsNeedASelectionWithoutExistingFields) {
    const struct {
        QList<int> selected;
        RowCommands commands;
    } cases[] = {{{}, RowCommands::kDisabled},
                 {{2, 4}, RowCommands::kEnabled},
                 {{1, 2}, RowCommands::kDisabled}};
    for (const auto& c : cases) {
        EXPECT_EQ(rowCommandsFor(m_grid, c.selected), c.commands);
        EXPECT_EQ(currentCellChange(m_grid, c.selected, 2, 1).rowCommands, c.commands);
    }
}

TEST_F(GridRules, TheSizeOfATextRowTakesDigitsEnterAndBackspaceOnly) {
    m_grid.setText(3, kColAttr, u"数字"_s);
    const struct {
        int row, col, key;
        bool refused;
    } cases[] = {
        {2, kColSize, 'x', true},  {2, kColSize, '-', true},  {2, kColSize, '7', false},
        {2, kColSize, 13, false},  {2, kColSize, 8, false},   {2, kColFieldId, 'x', false},
        {3, kColSize, 'x', false}, {0, kColSize, 'x', false},
    };
    for (const auto& c : cases) {
        int key = c.key;
        const auto warning = sizeKeyFilter(m_grid, c.row, c.col, key);
        EXPECT_EQ(key, c.refused ? 0 : c.key) << c.row << " " << c.col << " " << c.key;
        EXPECT_EQ(warning ? warning->prompt() : QString(),
                  c.refused ? u"数字を入力してください。"_s : QString());
    }
}

}  // namespace
