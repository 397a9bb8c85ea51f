// The create command's checks over the grid, the grid's rows as the builder takes them,
// and what the command tells of a failed build.
#include <gtest/gtest.h>

#include "grid_rows.h"
#include "wizard/create_checks.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using Outcome = wizard::CreateCheck::Outcome;

// The grid's checks with one row per "ID|name|attribute|size".
wizard::CreateCheck check(const QStringList& rows) {
    controls::FlexGridModel fg1;
    rvtest::fillGrid(fg1, 0, 0);
    for (const QString& row : rows) {
        const QStringList c = row.split(u'|');
        fg1.insertGridRow(fg1.gridRows(), {QString(), c[0], c[1], c[2], c[3], u"ON"_s});
    }
    return wizard::checkCreate(fg1);
}

TEST(CreateChecks, TheFirstFailingCheckNamesItsRows) {
    const struct {
        QStringList rows;
        Outcome outcome;
        QString message;
    } cases[] = {
        {{}, Outcome::kNoFields, u"データベースを作成するには、項目を入力してください。"_s},
        {{u"MAIL1|a|文字|10"_s, u"B|b|文字|10"_s, u"C||文字|10"_s},
         Outcome::kRefused,
         u"3行目の 項目IDと項目名を入力してください。"_s},
        {{u"MAIL1|a|文字|10"_s, u"|b|文字|"_s},
         Outcome::kRefused,
         u"2行目の 項目IDと項目名を入力してください。"_s},
        {{u"MAIL1|a|文字|10"_s, u"B|b|文字|"_s},
         Outcome::kRefused,
         u"2行目のデータサイズは必須です｡"_s},
        {{u"MAIL1|a|文字|10"_s, u"tel|b|文字|10"_s, u"C|c|文字|10"_s, u"TEL|e|文字|10"_s},
         Outcome::kRefused,
         u"項目ID あるいは項目名は重複しています。 \r\n行： 2　と  4　重複"_s},
        {{u"MAIL1|a|文字|10"_s, u"B|同じ|文字|10"_s, u"C|同じ|文字|10"_s},
         Outcome::kRefused,
         u"項目ID あるいは項目名は重複しています。 \r\n行： 2　と  3　重複"_s},
        {{u"MAIL1|項目名|文字|10"_s},
         Outcome::kRefused,
         u"項目ID あるいは項目名は重複しています。 \r\n行： 0　と  1　重複"_s},
        {{u"mail1|a|メモ|"_s},
         Outcome::kAskMail,
         u"メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。"_s},
        {{u"MAIL2|a|数字|"_s, u"D|d|日付|"_s, u"B|b|YESNO|"_s, u"M|m|メモ|"_s, u"T|t|文字 |"_s},
         Outcome::kPassed,
         {}},
    };
    for (const auto& c : cases) {
        const wizard::CreateCheck result = check(c.rows);
        EXPECT_EQ(result.outcome, c.outcome) << c.message.toStdString();
        EXPECT_EQ(result.message.prompt(), c.message);
        EXPECT_EQ(result.message.buttons, c.outcome == Outcome::kAskMail ? controls::vbOKCancel
                                          : c.outcome == Outcome::kPassed
                                              ? 0
                                              : controls::vbExclamation);
    }
}

TEST(CreateChecks, TheBuilderTakesTheDataRowsAsTheyStand) {
    controls::FlexGridModel fg1;
    rvtest::fillGrid(fg1, 1, 1);
    fg1.setText(2, 6, u"PCメール"_s);
    const auto fields = wizard::newFields(fg1);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_TRUE(fields[0].existing);
    EXPECT_FALSE(fields[1].existing);
    EXPECT_EQ(QStringList({fields[1].fieldId, fields[1].name, fields[1].attr, fields[1].size,
                           fields[1].ime, fields[1].mail, fields[1].fax}),
              QStringList({u"T1"_s, u"T1名"_s, u"文字"_s, u""_s, u"ON"_s, u"PCメール"_s, u""_s}));
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
    result.built = true;
    EXPECT_TRUE(prompts().isEmpty());
}

}  // namespace
