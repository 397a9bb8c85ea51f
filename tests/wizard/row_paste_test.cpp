// SPDX-License-Identifier: MIT
// Rows taken in from text as spreadsheets copy it and given back as text: the splitting and
// quoting, each cell through the grid's own rules, where the rows go, and the heading line.
#include <gtest/gtest.h>

#include "grid_rows.h"
#include "wizard/create_checks.h"
#include "wizard/grid_columns.h"
#include "wizard/row_paste.h"

namespace {

using namespace Qt::Literals::StringLiterals;

QString joined(const QList<QStringList>& rows) {
    QStringList out;
    for (const QStringList& row : rows) {
        out << row.join(u'|');
    }
    return out.join(u'/');
}

TEST(RowPaste, TextSplitsIntoRowsAndCellsAsSpreadsheetsWriteIt) {
    const struct {
        QString text, rows;
    } cases[] = {
        {u"A\t名\t文字\t10\r\nB\tb\t数字\r\n"_s, u"A|名|文字|10/B|b|数字"_s},
        {u"A,名,文字,10\n\nB,b\n"_s, u"A|名|文字|10/B|b"_s},  // no tab: CSV; empty lines go
        {u"\"A,1\",\"x \"\"y\"\"\"\n"_s, u"A,1|x \"y\""_s},
        {u"A\t\"two\nlines\"\t\"a\tb\"\n"_s, u"A|two\nlines|a\tb"_s},
        {u"A\t\t\tB"_s, u"A|||B"_s},  // no line break at the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(joined(wizard::parseRows(c.text)), c.rows) << c.text.toStdString();
    }
}

// (The text of plain rows is the window's Ctrl+C test.)
TEST(RowPaste, CopiedRowsPasteBackTheSameCells) {
    controls::FlexGridModel fg1;
    rvtest::fillGrid(fg1, 0, 1);
    fg1.setText(1, wizard::kColFieldName, u"a\tb \"c\"\nd"_s);
    EXPECT_EQ(joined(wizard::parseRows(wizard::rowsText(fg1, {1}))),
              u"T1|a\tb \"c\"\nd|文字||ON||"_s);
}

// Each line becomes a row typed in cell by cell: "ID|name|attribute|size|IME|mail|FAX" in,
// the cells of columns 1 to 7 out, with the warnings the rules give. A list cell takes an
// entry of its list, blanks around it trimmed, or refuses: it keeps what it held, the row is
// refused by OK with the same message, and the rest of the line is typed all the same.
TEST(RowPaste, EachCellGoesThroughTheGridsRulesAsTyping) {
    const QString attr =
        u"1行目の属性は「文字、数字、日付、YESNO、メモ」のいずれかでなければなりません｡"_s;
    const QString ime = u"1行目のIMEは「ON、OFF」のいずれかでなければなりません｡"_s;
    const QString mail =
        u"1行目のメールアドレスは「空白、PCメール、携帯メール」のいずれかでなければなりません｡"_s;
    const QString fax =
        u"1行目のFAX番号は「空白、公用FAX、私用FAX」のいずれかでなければなりません｡"_s;
    const struct {
        QString line, cells;
        QStringList warnings;
        QString refused = {};
    } cases[] = {
        // Quotes and characters outside 48..122 leave the ID; control characters the name.
        {u"a'-b\tx'y\u2028z\r\t文字\t5"_s,
         u"ab|xyz|文字|5|ON||"_s,
         {u"使用不可の文字があるので､その文字が削除されます｡"_s}},
        // A size only on 文字 rows.
        {u"N\t数\t数字\t10\tON"_s, u"N|数|数字||||"_s, {}},
        // Keys other than digits do not reach the size.
        {u"S\ts\t文字\t1x"_s, u"S|s|文字|1|ON||"_s, {u"数字を入力してください。"_s}},
        {u"M\tm\t文字\t50\tOFF\tPCメール\t公用FAX"_s, u"M|m|文字|50|OFF|PCメール|公用FAX"_s, {}},
        // A short line keeps the new row's defaults.
        {u"D\td"_s, u"D|d|文字||ON||"_s, {}},
        // Blanks around an entry go, ideographic ones too; a blank is the lists' none.
        {u"L\tl\t文字 \t20\t OFF\t　携帯メール \t "_s, u"L|l|文字|20|OFF|携帯メール|"_s, {}},
        {u"O\to\t　メモ\t\t\t\t私用FAX"_s, u"O|o|メモ||ON||私用FAX"_s, {}},
        // What is no entry is refused, an empty attribute too; the size stays with the row.
        {u"F\tf\tfoo\t20"_s, u"F|f|文字|20|ON||"_s, {}, attr},
        {u"E\te\t\t5"_s, u"E|e|文字|5|ON||"_s, {}, attr},
        {u"Z\tz\tメモ\t\tzz"_s, u"Z|z|メモ||ON||"_s, {}, ime},
        {u"Z\tz\t文字\t5\ton"_s, u"Z|z|文字|5|ON||"_s, {}, ime},
        {u"P\tp\t数字\t\t\tPC"_s, u"P|p|数字||||"_s, {}, mail},
        {u"Q\tq\t日付\t\t\t\t公用"_s, u"Q|q|日付||||"_s, {}, fax},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        controls::FlexGridModel fg1;
        rvtest::fillGrid(fg1, 0, 0);
        const wizard::PastedRows pasted = wizard::pasteRows(fg1, -1, {c.line.split(u'\t')});
        EXPECT_EQ(pasted.rows, QList<int>{1});
        EXPECT_EQ(rvtest::gridRow(fg1, 1).split(u'|').mid(1, 7).join(u'|'), c.cells);
        QStringList warnings, refusals;
        for (const controls::Message& m : pasted.warnings) {
            warnings << m.prompt();
        }
        for (const controls::Message& m : pasted.refusals) {
            EXPECT_EQ(m.buttons, controls::vbExclamation);
            refusals << m.prompt();
        }
        EXPECT_EQ(warnings, c.warnings);
        EXPECT_EQ(refusals, c.refused.isEmpty() ? QStringList{} : QStringList{c.refused});
        if (!c.refused.isEmpty()) {
            const std::vector<wizard::RowRefusal> ok = wizard::refusedRows(fg1);
            ASSERT_FALSE(ok.empty());
            EXPECT_EQ(ok.front().message.prompt(), c.refused);
        }
    }
}

// The rows go where a new row goes (the row commands' test says where), the heading line is
// left out, and the rows already there keep their cells, a fixed one's too.
TEST(RowPaste, RowsGoWhereANewRowGoesAndNeverChangeTheRowsThere) {
    controls::FlexGridModel fg1;
    rvtest::fillGrid(fg1, 0, 3);
    fg1.setText(3, wizard::kColReadOnly, u"1"_s);
    const auto cells = [&] {  // of the rows not pasted
        QStringList out;
        for (int r = 1; r < fg1.gridRows(); ++r) {
            if (!fg1.text(r, wizard::kColFieldId).startsWith(u'P')) {
                out << rvtest::gridRow(fg1, r).section(u'|', 1);
            }
        }
        return out;
    };
    const QStringList before = cells();
    wizard::pasteRows(fg1, 1,
                      {{u"フィールドID"_s, u"項目名"_s, u"属性"_s, u"サイズ"_s, u"IME"_s},
                       {u"P1"_s, u"p1"_s},
                       {u"P2"_s, u"p2"_s}});
    EXPECT_EQ(rvtest::gridColumn(fg1, wizard::kColFieldId).join(u'|'), u"T1|P1|P2|T2|T3"_s);
    EXPECT_EQ(cells(), before);
    EXPECT_EQ(rvtest::gridColumn(fg1, 0).join(u'|'), u"1|2|3|4|5"_s);
}

}  // namespace
