// SPDX-License-Identifier: MIT
// The grid and the product database: the create command's checks over the grid, what the
// command tells of a failed build, and the fields of an existing database loaded into the
// grid's cells.
#include <gtest/gtest.h>

#include "databases.h"
#include "grid_rows.h"
#include "jet/connection_string.h"
#include "temp_dir.h"
#include "wizard/create_checks.h"
#include "wizard/existing_fields.h"
#include "wizard/grid_columns.h"
#include "wizard/grid_rules.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using Outcome = wizard::CreateCheck::Outcome;

// The grid's rows "ID|name|attribute|size", separated by ';', below the heading row.
void fill(controls::FlexGridModel& fg1, const QString& rows) {
    rvtest::fillGrid(fg1, 0, 0);
    for (const QString& row : rows.split(u';', Qt::SkipEmptyParts)) {
        const QStringList c = row.split(u'|');
        fg1.insertGridRow(fg1.gridRows(), {QString(), c[0], c[1], c[2], c[3], u"ON"_s});
    }
}

// What OK comes to: the first refused row's message (which refusals there are is the next
// test's), or the question when no mail field is there; the exact type labels take no size.
TEST(CreateChecks, OkRefusesWithTheFirstRefusedRowOrAsksForAMailField) {
    using enum Outcome;
    const struct {
        QString rows;
        Outcome outcome;
        QString message;
    } cases[] = {
        {u""_s, kNoFields, u"データベースを作成するには、項目を入力してください。"_s},
        {u"MAIL1|a|文字|10;|b|文字|;C|c|文字|"_s, kRefused,
         u"2行目の 項目IDと項目名を入力してください。"_s},
        {u"mail1|a|メモ|"_s, kAskMail,
         u"メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。"_s},
        {u"MAIL2|a|数字|;D|d|日付|;B|b|YESNO|;M|m|メモ|"_s, kPassed, {}},
    };
    for (const auto& c : cases) {
        controls::FlexGridModel fg1;
        fill(fg1, c.rows);
        const wizard::CreateCheck result = wizard::checkCreate(fg1);
        EXPECT_EQ(result.outcome, c.outcome) << c.message.toStdString();
        EXPECT_EQ(result.message.prompt(), c.message);
        EXPECT_EQ(result.message.buttons, c.outcome == kAskMail  ? controls::vbOKCancel
                                          : c.outcome == kPassed ? 0
                                                                 : controls::vbExclamation);
    }
}

// Every row OK refuses, once, with the first message OK gives for it, in OK's order: the
// row checks from the top, then the duplicates by their first pair (the heading row too),
// IDs and names compared in any letter case.
TEST(CreateChecks, EveryRefusedRowCarriesTheFirstMessageOkGivesForIt) {
    const QString duplicate =
        u"項目ID あるいは項目名は重複しています。 \r\n行： %1　と  %2　重複"_s;
    const QString noId = u"%1行目の 項目IDと項目名を入力してください。"_s;
    const QString noSize = u"%1行目のデータサイズは必須です｡"_s;
    const QString notAnEntry =
        u"%1行目の属性は「文字、数字、日付、YESNO、メモ」のいずれかでなければなりません｡"_s;
    const struct {
        QString rows;
        QStringList refused;  // "row:message"
    } cases[] = {
        {u"A|a|文字|10;|b|文字|;C||文字|;D|d|文字|"_s,
         {u"2:"_s + noId.arg(2), u"3:"_s + noId.arg(3), u"4:"_s + noSize.arg(4)}},
        {u"A|x|文字|1;B|y|文字|1;a|z|文字|1;C|Y|文字|1"_s,
         {u"1:"_s + duplicate.arg(1).arg(3), u"3:"_s + duplicate.arg(1).arg(3),
          u"2:"_s + duplicate.arg(2).arg(4), u"4:"_s + duplicate.arg(2).arg(4)}},
        {u"A|a|メモ|;A|b|メモ|;A|c|メモ|"_s,
         {u"1:"_s + duplicate.arg(1).arg(2), u"2:"_s + duplicate.arg(1).arg(2),
          u"3:"_s + duplicate.arg(1).arg(3)}},
        {u"|a|文字|1;X|a|文字|1;B|項目名|メモ|"_s,
         {u"1:"_s + noId.arg(1), u"0:"_s + duplicate.arg(0).arg(3),
          u"3:"_s + duplicate.arg(0).arg(3), u"2:"_s + duplicate.arg(1).arg(2)}},
        // An attribute that is no label of the list (a template's unknown code leaves it
        // empty) is refused before the builder would fail on it, a text label with a blank
        // too: it would build a text column without its size.
        {u"A|a|文字 |10;B|b||;C|c|数字|"_s,
         {u"1:"_s + notAnEntry.arg(1), u"2:"_s + notAnEntry.arg(2)}},
    };
    for (const auto& c : cases) {
        controls::FlexGridModel fg1;
        fill(fg1, c.rows);
        QStringList refused;
        for (const wizard::RowRefusal& r : wizard::refusedRows(fg1)) {
            refused << QString::number(r.row) + u':' + r.message.prompt();
            EXPECT_EQ(r.message.buttons, controls::vbExclamation);
        }
        EXPECT_EQ(refused, c.refused) << c.rows.toStdString();
    }
}

// A list cell that refused what came in for it refuses its row until an entry is set there;
// the cells of an existing field are the database's and never refused.
TEST(CreateChecks, AListCellThatRefusedRefusesItsRowUntilAnEntryIsSetThere) {
    controls::FlexGridModel fg1;
    rvtest::fillGrid(fg1, 1, 1);
    fg1.setText(1, wizard::kColAttr, u"X"_s);
    fg1.setText(2, wizard::kColSize, u"10"_s);
    fg1.setCellNote(2, wizard::kColMail, wizard::kRefusedEntryNote.toString());
    const auto refused = [&] {
        QStringList out;
        for (const wizard::RowRefusal& r : wizard::refusedRows(fg1)) {
            out << QString::number(r.row) + u':' + r.message.prompt();
        }
        return out;
    };
    EXPECT_EQ(refused(), QStringList{u"2:2行目のメールアドレスは「空白、PCメール、携帯メール」の"
                                     u"いずれかでなければなりません｡"_s});
    wizard::afterEditCheck(fg1, 2, wizard::kColMail, [](const controls::Message&) {});
    EXPECT_EQ(refused(), QStringList{});
}

// Rows beyond the most fields a database holds, the existing ones counted, are refused by
// number and name the limit; up to it, nothing is.
TEST(CreateChecks, RowsBeyondTheMostFieldsADatabaseHoldsAreRefusedNamingTheLimit) {
    const int most = productdb::maxFields();
    for (const int typed : {1, 3}) {
        controls::FlexGridModel fg1;
        rvtest::fillGrid(fg1, most - 1, 0);
        for (int i = 1; i <= typed; ++i) {
            const QString id = u"T"_s + QString::number(i);
            fg1.insertGridRow(fg1.gridRows(), {QString(), id, id, u"文字"_s, u"10"_s, u"ON"_s});
        }
        QStringList refused;
        for (const wizard::RowRefusal& r : wizard::refusedRows(fg1)) {
            refused << r.message.prompt();
        }
        const QString beyond =
            u"%1行目の項目は作成できません。項目数は%2以下でなければなりません。"_s;
        QStringList expected;
        for (int row = most + 1; row < most + typed; ++row) {
            expected << beyond.arg(row).arg(most);
        }
        EXPECT_EQ(refused, expected);
        EXPECT_EQ(wizard::checkCreate(fg1).outcome,
                  typed == 1 ? Outcome::kAskMail : Outcome::kRefused);
    }
}

TEST(CreateChecks, AFailedBuildIsToldByTheBuildersMessageThenTheCommands) {
    productdb::BuildResult result;
    result.row = 3;
    result.curFieldID = u"A%1"_s;
    auto prompts = [&] {
        QStringList out;
        for (const controls::Message& m : wizard::buildMessages(result)) {
            EXPECT_EQ(m.buttons, controls::vbExclamation);
            out << m.prompt();
        }
        return out;
    };
    EXPECT_EQ(prompts(), QStringList{u"項目ＩＤが誤っています。行= 3　項目ＩＤ=A%1"_s});
    result.curFieldID.clear();
    result.cleanupFailed = true;
    EXPECT_EQ(prompts(),
              (QStringList{u"データ作成エラーが発生しました。異常によって終了しました。"_s,
                           u"データ作成エラーが発生しました。"_s}));
}

// Existing fields load as marked rows, codes turned into labels, in the engine's order; an
// empty field table adds none. (A database without the tables is the wizard's life test.)
TEST(ExistingFields, CodesBecomeLabelsInTheEnginesOrderAndRowsAreMarked) {
    rvtest::TempDir dir;
    controls::FlexGridModel grid;
    rvtest::fillGrid(grid, 0, 0);
    const auto load = [&](const std::string& name, const std::vector<std::string>& inserts) {
        rvtest::productDatabase(dir.file(name), "pw", inserts);
        wizard::loadExistingDB(grid, jet::ConnectionString::build(dir.file(name), "pw"));
    };
    load("empty.mdb", {});
    EXPECT_EQ(grid.gridRows(), 1);

    load("p.mdb", {"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,DISP_SEQNO) "
                   "VALUES('OPTIN','案内可','B','0','2',2)",
                   "INSERT INTO FIELD VALUES('MAIL1','メール','T',100,'0','1','0',1,NULL,NULL)",
                   "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,FAX_NO_FLG,DISP_SEQNO) "
                   "VALUES('FAX2','FAX','t','1','2',3)"});
    ASSERT_EQ(grid.gridRows(), 4);
    EXPECT_EQ(rvtest::gridRow(grid, 1), u"1|OPTIN|案内可|YESNO||OFF|携帯メール||2|1"_s);
    EXPECT_EQ(rvtest::gridRow(grid, 2), u"2|MAIL1|メール|文字|100|OFF|PCメール||1|1"_s);
    EXPECT_EQ(rvtest::gridRow(grid, 3), u"3|FAX2|FAX|文字||ON||私用FAX|3|1"_s);
    // Columns 1 to 8 are shaded.
    EXPECT_EQ(grid.background(3, 8), 0xFFC0C0FFu);
    EXPECT_FALSE(grid.background(3, 0) || grid.background(3, 9));
}

}  // namespace
