// The builder: what it sends, what it leaves in the file, and what a failure leaves.
#include <gtest/gtest.h>

#include <QDate>

#include "controls/flex_grid.h"
#include "controls/msg_box.h"
#include "db_fixtures.h"
#include "jet/temp_dir.h"
#include "productdb/builder.h"
#include "productdb/schema.h"
#include "raw_db.h"
#include "wizard/design_grid.h"
#include "wizard/existing_fields.h"

namespace {

using productdb::BuildState;

// One grid row as the user leaves it: ID, name, attribute, size, IME, mail, FAX.
QString row(const char* id, const char* name, const char* attr, const char* size,
            const char* ime = "ON", const char* mail = "", const char* fax = "") {
    return QStringLiteral("\t") + QString::fromUtf8(id) + QLatin1Char('\t') +
           QString::fromUtf8(name) + QLatin1Char('\t') + QString::fromUtf8(attr) +
           QLatin1Char('\t') + QString::fromUtf8(size) + QLatin1Char('\t') +
           QString::fromUtf8(ime) + QLatin1Char('\t') + QString::fromUtf8(mail) +
           QLatin1Char('\t') + QString::fromUtf8(fax) + QStringLiteral("\t\t");
}

class Builder : public ::testing::Test {
  protected:
    void SetUp() override {
        wizard::setupGrid(m_grid);
        m_path = m_dir.file("p.mdb");
    }
    void newFile() { jet::Catalog::create(jet::ConnectionString::build(m_path, "pw")); }
    void add(const QString& text) { m_grid.addItem(text); }
    // Runs a build and returns what the connection saw.
    std::vector<std::string> build() {
        std::vector<std::string> seen;
        BuildState state{QString::fromStdString(m_path), QStringLiteral("pw"), m_dbExists,
                         m_buildFailed, m_curFieldID};
        productdb::buildDB(m_grid, state, [&](std::string_view s) { seen.emplace_back(s); });
        return seen;
    }

    rvtest::TempDir m_dir;
    std::string m_path;
    controls::FlexGrid m_grid;
    bool m_dbExists = false;
    bool m_buildFailed = false;
    QString m_curFieldID;
    controls::MsgBoxResponder m_responder;
};

TEST_F(Builder, NewFileStatementSequence) {
    newFile();
    add(row("NAME", "氏名", "文字", "20"));
    add(row("AGE", "年齢", "数字", "10", ""));
    add(row("BIRTH", "誕生日", "日付", "", ""));
    const auto seen = build();

    std::vector<std::string> expected = {std::string(productdb::kTraceBegin)};
    for (auto create : productdb::kCreateTables) {
        expected.emplace_back(create);
    }
    expected.push_back("INSERT INTO INFO(DB_CODE,VERSION,REV,CREATEDB_DATE) VALUES('RAVLIN',1,0,'" +
                       QDate::currentDate().toString(Qt::ISODate).toStdString() + "')");
    expected.emplace_back(productdb::kInsertSeqno);
    expected.emplace_back(productdb::kTraceZeroLength);
    expected.push_back(
        "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,"
        "DISP_SEQNO) VALUES('NAME','氏名','T','20','1','0','0','-1')");
    expected.push_back("ALTER TABLE ADDRESS ADD COLUMN  NAME TEXT(20)");
    expected.push_back(
        "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,"
        "DISP_SEQNO) VALUES('AGE','年齢','N','10','0','0','0','-1')");
    expected.push_back("ALTER TABLE ADDRESS ADD COLUMN  AGE DOUBLE");
    expected.push_back(
        "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,DISP_SEQNO) "
        "VALUES('BIRTH','誕生日','D','0','0','0','-1')");
    expected.push_back("ALTER TABLE ADDRESS ADD COLUMN  BIRTH DATE");
    expected.emplace_back(productdb::kTraceZeroLength);
    expected.push_back("UPDATE FIELD SET DISP_SEQNO=1 WHERE FIELD_ID='NAME'");
    expected.push_back("UPDATE FIELD SET DISP_SEQNO=2 WHERE FIELD_ID='AGE'");
    expected.push_back("UPDATE FIELD SET DISP_SEQNO=3 WHERE FIELD_ID='BIRTH'");
    expected.emplace_back(productdb::kTraceCommit);
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(m_dbExists);
    EXPECT_FALSE(m_buildFailed);
    EXPECT_TRUE(m_responder.calls().empty());

    // Read back without the engine.
    rvtest::RawDb raw(m_path, "pw");
    EXPECT_EQ(raw.scalar("SELECT count(*) FROM sqlite_master WHERE type='table' AND name NOT "
                         "LIKE 'sqlite%'"),
              "20");
    EXPECT_EQ(raw.rows("SELECT FIELD_ID,ATTR,FIELD_SIZE,IME,DISP_SEQNO,typeof(FIELD_SIZE) FROM "
                       "FIELD ORDER BY DISP_SEQNO"),
              (std::vector<std::string>{"NAME|T|20|1|1|integer", "AGE|N|10|0|2|integer",
                                        "BIRTH|D|<null>|0|3|null"}));
    const std::string address = raw.scalar("SELECT sql FROM sqlite_master WHERE name='ADDRESS'");
    EXPECT_NE(address.find("\"NAME\" TEXT(20)"), std::string::npos) << address;
    EXPECT_NE(address.find("\"AGE\" DOUBLE"), std::string::npos);
    EXPECT_NE(address.find("\"BIRTH\" DATE"), std::string::npos);
    EXPECT_EQ(raw.rows("SELECT DB_CODE,VERSION,REV,PSWD,CREATEDB_DATE,UPDATEDB_DATE FROM INFO"),
              (std::vector<std::string>{"RAVLIN|1|0|<null>|" +
                                        QDate::currentDate().toString(Qt::ISODate).toStdString() +
                                        "|<null>"}));
    EXPECT_EQ(raw.rows("SELECT * FROM SEQNO"),
              (std::vector<std::string>{"00000000|0|0|0|0|0|0|0|0|0|0|0|0|0"}));
    // The zero-length rule: nullable text columns take '', NOT NULL ones refuse it.
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(PRJ_NO,SYORI_NO,SYORI,SYURUI,NAIYOU) "
                       "VALUES(1,1,'a','b','')"),
              "ok");
    EXPECT_EQ(raw.exec("INSERT INTO ADDRESS(ADDRESS_NO,NAME) VALUES(1,'')"), "ok");
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) "
                       "VALUES('X','x','','1',9)"),
              "CHECK constraint failed: FIELD.ATTR: zero-length string not allowed");
    EXPECT_EQ(raw.scalar("PRAGMA integrity_check"), "ok");
}

TEST_F(Builder, ExistingFileGetsOnlyItsNewFields) {
    rvtest::makeProductDb(
        m_path, "pw",
        {"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) VALUES('A','a','T','1',2)",
         "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) VALUES('B','b','M','1',1)"});
    {
        jet::Connection c;
        c.open(jet::ConnectionString::build(m_path, "pw"));
        c.execute(productdb::kCreateAddress);
    }
    wizard::loadExistingDB(m_grid,
                           QString::fromStdString(jet::ConnectionString::build(m_path, "pw")));
    m_dbExists = true;
    add(row("C", "c", "メモ", ""));
    const auto seen = build();
    EXPECT_EQ(seen, (std::vector<std::string>{
                        std::string(productdb::kTraceBegin),
                        "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,"
                        "FAX_NO_FLG,DISP_SEQNO) VALUES('C','c','M','1','0','0','-1')",
                        "ALTER TABLE ADDRESS ADD COLUMN  C MEMO",
                        std::string(productdb::kTraceZeroLength),
                        "UPDATE FIELD SET DISP_SEQNO=1 WHERE FIELD_ID='A'",
                        "UPDATE FIELD SET DISP_SEQNO=2 WHERE FIELD_ID='B'",
                        "UPDATE FIELD SET DISP_SEQNO=3 WHERE FIELD_ID='C'",
                        std::string(productdb::kTraceCommit)}));
    rvtest::RawDb raw(m_path, "pw");
    EXPECT_EQ(raw.rows("SELECT FIELD_ID, DISP_SEQNO FROM FIELD ORDER BY FIELD_ID"),
              (std::vector<std::string>{"A|1", "B|2", "C|3"}));
}

TEST_F(Builder, AFailingRowLeavesANewFileWithoutTablesAndCanBeFixed) {
    newFile();
    const std::string before = rvtest::readBytes(m_path);
    add(row("A1", "a", "文字", "5"));
    add(row("A2", "b", "文字", "5"));
    add(row("SELECT", "c", "文字", "5"));  // a reserved word cannot name a column
    add(row("A4", "d", "数字", ""));
    add(row("A5", "e", "YESNO", ""));
    build();
    EXPECT_TRUE(m_buildFailed);
    EXPECT_FALSE(m_dbExists);
    ASSERT_EQ(m_responder.calls().size(), 1u);
    EXPECT_EQ(m_responder.calls()[0].prompt,
              QStringLiteral("項目ＩＤが誤っています。行= 3　項目ＩＤ=SELECT"));
    EXPECT_TRUE(m_responder.calls()[0].exclamation);
    EXPECT_EQ(rvtest::readBytes(m_path), before);
    {
        rvtest::RawDb raw(m_path, "pw");
        EXPECT_EQ(raw.scalar("SELECT count(*) FROM sqlite_master"), "0");
    }

    m_grid.setTextMatrix(3, 1, QStringLiteral("A3"));
    m_buildFailed = false;
    build();
    EXPECT_FALSE(m_buildFailed);
    EXPECT_TRUE(m_dbExists);
    rvtest::RawDb raw(m_path, "pw");
    EXPECT_EQ(raw.scalar("SELECT count(*) FROM FIELD"), "5");
}

TEST_F(Builder, AFailureOnAnExistingFileChangesNoByte) {
    rvtest::makeProductDb(m_path, "pw", {});
    {
        jet::Connection c;
        c.open(jet::ConnectionString::build(m_path, "pw"));
        c.execute(productdb::kCreateAddress);
    }
    const std::string before = rvtest::readBytes(m_path);
    m_dbExists = true;
    add(row("OK1", "a", "文字", "5"));
    add(row("BAD", "b", "文字", "abc"));  // not a number
    build();
    EXPECT_TRUE(m_buildFailed);
    EXPECT_EQ(m_responder.calls().at(0).prompt,
              QStringLiteral("項目ＩＤが誤っています。行= 2　項目ＩＤ=BAD"));
    EXPECT_EQ(rvtest::readBytes(m_path), before);
}

TEST_F(Builder, AnUnknownAttributeCarriesThePreviousTypeWordAndFails) {
    newFile();
    add(row("A1", "a", "文字", "5"));
    add(row("A2", "b", "", ""));
    build();
    EXPECT_TRUE(m_buildFailed);
    EXPECT_EQ(m_responder.calls().at(0).prompt,
              QStringLiteral("項目ＩＤが誤っています。行= 2　項目ＩＤ=A2"));
}

TEST_F(Builder, ANewFileThatCannotBeOpenedFailsBeforeAnyRow) {
    m_path = m_dir.file("no/such/folder/p.mdb");
    add(row("A1", "a", "文字", "5"));
    EXPECT_ANY_THROW(build()) << "even the clean-up cannot run: the create command reports it";
    ASSERT_EQ(m_responder.calls().size(), 1u);
    EXPECT_EQ(m_responder.calls()[0].prompt,
              QStringLiteral("データ作成エラーが発生しました。異常によって終了しました。"));
    EXPECT_FALSE(m_buildFailed);
}

}  // namespace
