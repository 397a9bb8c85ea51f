// The grid and the product database: the create command's checks over the grid, what the
// command tells of a failed build, and the fields of an existing database loaded into the
// grid's cells.
#include <gtest/gtest.h>

#include <QColor>

#include "databases.h"
#include "grid_rows.h"
#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "temp_dir.h"
#include "wizard/create_checks.h"
#include "wizard/existing_fields.h"

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

class ExistingFields : public ::testing::Test {
  protected:
    std::string product(const std::vector<std::string>& inserts) {
        rvtest::productDatabase(m_path, "pw", inserts);
        return jet::ConnectionString::build(m_path, "pw");
    }
    QStringList row(int r) {
        QStringList cells;
        for (int c = 0; c < 10; ++c) {
            cells << m_grid.text(r, c);
        }
        return cells;
    }
    void SetUp() override { rvtest::fillGrid(m_grid, 0, 0); }

    rvtest::TempDir m_dir;
    std::string m_path = m_dir.file("p.mdb");
    controls::FlexGridModel m_grid;
};

TEST_F(ExistingFields, CodesBecomeLabelsInTheEnginesOrderAndRowsAreMarked) {
    wizard::loadExistingDB(
        m_grid,
        product({"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,DISP_SEQNO) "
                 "VALUES('OPTIN','案内可','B','0','2',2)",
                 "INSERT INTO FIELD VALUES('MAIL1','メール','T',100,'0','1','0',1,NULL,NULL)",
                 "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,FAX_NO_FLG,DISP_SEQNO) "
                 "VALUES('FAX2','FAX','t','1','2',3)"}));
    ASSERT_EQ(m_grid.gridRows(), 4);
    EXPECT_EQ(
        row(1),
        (rvtest::qsl({"1", "OPTIN", "案内可", "YESNO", "", "OFF", "携帯メール", "", "2", "1"})));
    EXPECT_EQ(
        row(2),
        (rvtest::qsl({"2", "MAIL1", "メール", "文字", "100", "OFF", "PCメール", "", "1", "1"})));
    EXPECT_EQ(row(3),
              (rvtest::qsl({"3", "FAX2", "FAX", "文字", "", "ON", "", "私用FAX", "3", "1"})));
    for (int r = 1; r <= 3; ++r) {
        for (int c = 0; c <= 9; ++c) {
            EXPECT_EQ(m_grid.background(r, c),
                      c >= 1 && c <= 8 ? std::optional(QColor(192, 192, 255).rgba()) : std::nullopt)
                << r << "," << c;
        }
    }
}

TEST_F(ExistingFields, AnEmptyFieldTableLeavesTheHeadingAloneAndNoTableIsAnError) {
    wizard::loadExistingDB(m_grid, product({}));
    EXPECT_EQ(m_grid.gridRows(), 1);
    const std::string other = m_dir.file("other.mdb");
    jet::Catalog::create(jet::ConnectionString::build(other, ""));
    EXPECT_THROW(wizard::loadExistingDB(m_grid, jet::ConnectionString::build(other, "")),
                 jet::Error);
}

}  // namespace
