// SPDX-License-Identifier: MIT
// The builder over field values: what it sends, what it leaves in the file, and what a
// failure leaves and reports; on a PostgreSQL server, the same product as in a file, and
// nothing half-built when the building process dies or the server goes away under a build.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>

#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "pg_server.h"
#include "productdb/builder.h"
#include "productdb/schema.h"
#include "raw_db.h"
#include "temp_dir.h"

namespace {

using productdb::NewField;

// A field as the grid holds it: ID, name, attribute, size, IME, mail, FAX.
NewField field(const char* id, const char* attr, const char* size, const char* ime = "ON",
               const char* mail = "", const char* fax = "") {
    return {QString::fromUtf8(id),   QString::fromUtf8(id) + QStringLiteral("名"),
            QString::fromUtf8(attr), QString::fromUtf8(size),
            QString::fromUtf8(ime),  QString::fromUtf8(mail),
            QString::fromUtf8(fax),  false};
}

class Builder : public ::testing::Test {
  protected:
    void newFile() { jet::Catalog::create(jet::ConnectionString::build(m_path, "pw")); }
    void existingFile(const std::vector<std::string>& inserts) {
        rvtest::productDatabase(m_path, "pw", inserts);
        m_state.dbExists = true;
    }
    // Runs a build; `seen` gets what the connection saw.
    productdb::BuildResult build(const std::vector<NewField>& fields) {
        seen.clear();
        return productdb::buildDB(fields, {m_path, "pw"}, m_state,
                                  [&](std::string_view s) { seen.emplace_back(s); });
    }

    rvtest::TempDir m_dir;
    std::string m_path = m_dir.file("p.mdb");
    productdb::BuildState m_state;
    std::vector<std::string> seen;
};

TEST_F(Builder, ANewFileGetsTablesSeedRowsAndItsFields) {
    newFile();
    const std::string today = QDate::currentDate().toString(Qt::ISODate).toStdString();
    EXPECT_TRUE(
        build({field("NAME", "文字", "20", "ON", "PCメール"), field("AGE", "数字", "10", ""),
               field("BIRTH", "日付", "", "", "", "私用FAX")})
            .built);
    std::vector<std::string> expected = {"<begin transaction>"};
    expected.insert(expected.end(), productdb::kCreateTables.begin(),
                    productdb::kCreateTables.end());
    for (const char* s :
         {"INSERT INTO SEQNO VALUES('00000000',0,0,0,0,0,0,0,0,0,0,0,0,0)", "<allow zero length>",
          "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,"
          "DISP_SEQNO) VALUES('NAME','NAME名','T','20','1','1','0','-1')",
          "ALTER TABLE ADDRESS ADD COLUMN  NAME TEXT(20)",
          "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,"
          "DISP_SEQNO) VALUES('AGE','AGE名','N','10','0','0','0','-1')",
          "ALTER TABLE ADDRESS ADD COLUMN  AGE DOUBLE",
          "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,DISP_SEQNO) "
          "VALUES('BIRTH','BIRTH名','D','0','0','2','-1')",
          "ALTER TABLE ADDRESS ADD COLUMN  BIRTH DATE", "<allow zero length>",
          "UPDATE FIELD SET DISP_SEQNO=1 WHERE FIELD_ID='NAME'",
          "UPDATE FIELD SET DISP_SEQNO=2 WHERE FIELD_ID='AGE'",
          "UPDATE FIELD SET DISP_SEQNO=3 WHERE FIELD_ID='BIRTH'", "<commit>"}) {
        expected.emplace_back(s);
    }
    expected.insert(
        expected.begin() + 21,
        "INSERT INTO INFO(DB_CODE,VERSION,REV,CREATEDB_DATE) VALUES('RAVLIN',1,0,'" + today + "')");
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(m_state.dbExists);

    // Read back without the engine (what the zero-length markers do is the engine's test).
    EXPECT_EQ(
        rvtest::RawDb(m_path, "pw")
            .rows("SELECT FIELD_ID,FIELD_SIZE,DISP_SEQNO,typeof(FIELD_SIZE) FROM FIELD "
                  "ORDER BY DISP_SEQNO"),
        (std::vector<std::string>{"NAME|20|1|integer", "AGE|10|2|integer", "BIRTH|<null>|3|null"}));
}

TEST_F(Builder, AnExistingFileGetsOnlyItsNewFieldsAndAllAreRenumbered) {
    existingFile(
        {"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) VALUES('A','a','T','1',2)",
         "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) VALUES('B','b','M','1',1)"});
    NewField a = field("A", "文字", "5"), b = field("B", "メモ", "");
    a.existing = b.existing = true;
    EXPECT_TRUE(build({a, b, field("C", "メモ", "")}).built);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "<begin transaction>",
                        "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,"
                        "FAX_NO_FLG,DISP_SEQNO) VALUES('C','C名','M','1','0','0','-1')",
                        "ALTER TABLE ADDRESS ADD COLUMN  C MEMO", "<allow zero length>",
                        "UPDATE FIELD SET DISP_SEQNO=1 WHERE FIELD_ID='A'",
                        "UPDATE FIELD SET DISP_SEQNO=2 WHERE FIELD_ID='B'",
                        "UPDATE FIELD SET DISP_SEQNO=3 WHERE FIELD_ID='C'", "<commit>"}));
}

TEST_F(Builder, AFailureNamesItsRowAndLeavesTheFileAsItWas) {
    const struct {
        bool existing;
        std::vector<NewField> fields;
        int row;
        const char* fieldId;
    } cases[] = {
        // A reserved word cannot name a column.
        {false,
         {field("A1", "文字", "5"), field("A2", "文字", "5"), field("SELECT", "文字", "5"),
          field("A4", "数字", ""), field("A5", "YESNO", "")},
         3,
         "SELECT"},
        {true, {field("OK1", "文字", "5"), field("BAD", "文字", "abc")}, 2, "BAD"},
        // No label: the previous type word is carried and does not fit ATTR.
        {false, {field("A1", "文字", "5"), field("A2", "", "")}, 2, "A2"},
    };
    for (const auto& c : cases) {
        m_path = m_dir.file(std::string(c.fieldId) + ".mdb");
        m_state = {};
        c.existing ? existingFile({}) : newFile();
        const std::string before = rvtest::readBytes(m_path);
        const productdb::BuildResult result = build(c.fields);
        EXPECT_FALSE(result.built);
        EXPECT_EQ(result.row, c.row) << c.fieldId;
        EXPECT_EQ(result.curFieldID, QString::fromUtf8(c.fieldId));
        EXPECT_FALSE(result.cleanupFailed);
        EXPECT_EQ(m_state.dbExists, c.existing);
        EXPECT_EQ(rvtest::readBytes(m_path), before) << c.fieldId;
    }
}

// Which columns the builder gives the zero-length setting: every nullable text and memo
// column, the new ADDRESS columns included, and no other; on a new file and on an extended
// one (whose tables the fixture made without it).
TEST_F(Builder, EveryNullableTextAndMemoColumnAndNoOtherTakesTheZeroLengthSetting) {
    // The columns whose setting is not what their flags ask for, and ADDRESS's with it.
    const auto columns = [&] {
        jet::Connection db;
        db.open(jet::ConnectionString::build(m_path, "pw"));
        std::vector<std::string> wrong, address;
        for (const jet::TableInfo& t : jet::Catalog(db).tables()) {
            for (const jet::ColumnInfo& c : t.columns) {
                if (!t.system && c.allowZeroLength != (c.attributes == jet::kColNullable)) {
                    wrong.push_back(t.name + "." + c.name);
                }
                if (t.name == "ADDRESS" && c.allowZeroLength) {
                    address.push_back(c.name);
                }
            }
        }
        return std::pair(wrong, address);
    };
    using Names = std::vector<std::string>;
    newFile();
    ASSERT_TRUE(
        build({field("NAME", "文字", "20"), field("NOTE", "メモ", ""), field("AGE", "数字", "")})
            .built);
    EXPECT_EQ(columns(), std::pair(Names{}, Names{"NAME", "NOTE"}));

    m_path = m_dir.file("extended.mdb");
    m_state = {};
    existingFile({});
    ASSERT_TRUE(build({field("TEL", "文字", "20"), field("DAY", "日付", "")}).built);
    EXPECT_EQ(columns(), std::pair(Names{}, Names{"TEL"}));
}

// The limit the create command's checks apply is the engine's: as many fields as it allows
// build, one more does not.
TEST_F(Builder, TheMostFieldsADatabaseHoldsBuildAndOneMoreDoesNot) {
    EXPECT_EQ(productdb::maxFields(), 1999);  // SQLite's 2,000 columns, less ADDRESS_NO
    for (const int count : {productdb::maxFields(), productdb::maxFields() + 1}) {
        m_path = m_dir.file(std::to_string(count) + ".mdb");
        m_state = {};
        newFile();
        std::vector<NewField> fields;
        for (int i = 1; i <= count; ++i) {
            fields.push_back(field(("F" + std::to_string(i)).c_str(), "数字", ""));
        }
        EXPECT_EQ(build(fields).built, count == productdb::maxFields()) << count;
    }
}

// On a server ---------------------------------------------------------------------

const std::vector<NewField> kFields = {field("MAIL1", "文字", "100", "ON", "PCメール"),
                                       field("tel", "文字", "20"),
                                       field("AGE", "数字", "3"),
                                       field("BIRTH", "日付", ""),
                                       field("OK", "YESNO", ""),
                                       field("NOTE", "メモ", "")};

// Everything a database holds as the product sees it: each table with its columns (type,
// flags, zero-length setting) and its rows in a fixed order.
std::string contents(const std::string& connStr) {
    jet::Connection c;
    c.open(connStr);
    std::string out;
    for (const jet::TableInfo& t : jet::Catalog(c).tables()) {
        if (t.system) {
            continue;
        }
        out += t.name + ":";
        std::string order;
        for (const jet::ColumnInfo& col : t.columns) {
            out += " " + col.name + " " + col.type + " " + std::to_string(col.attributes) +
                   (col.allowZeroLength ? "z" : "");
            order += (order.empty() ? "" : ",") + col.name;
        }
        out += "\n";
        for (jet::Recordset rs = c.execute("select * from " + t.name + " ORDER BY " + order);
             !rs.eof(); rs.moveNext()) {
            out += " |";
            for (int i = 0; i < rs.fieldCount(); ++i) {
                const jet::Value v = rs.field(i);
                out += " " + (v.isNull() ? std::string("null") : v.toString());
            }
            out += "\n";
        }
    }
    return out;
}

std::string serverDatabase() {
    return rvtest::sharedPgServer().createDatabase();
}

std::string connStr(const std::string& uri) {
    return jet::ConnectionString::build(uri, rvtest::PgServer::kPassword);
}

TEST(ServerBuild, TheSameProductInAFileAndOnAServer) {
    rvtest::TempDir dir;
    const std::string file = dir.file("p.mdb");
    jet::Catalog::create(jet::ConnectionString::build(file, "pw"));
    productdb::BuildState inFile;
    ASSERT_TRUE(productdb::buildDB(kFields, {file, "pw"}, inFile).built);

    const std::string uri = serverDatabase();
    productdb::BuildState onServer;
    ASSERT_TRUE(productdb::buildDB(kFields, {uri, rvtest::PgServer::kPassword}, onServer).built);
    const std::string built = contents(connStr(uri));
    EXPECT_EQ(built, contents(jet::ConnectionString::build(file, "pw")));
    EXPECT_NE(built.find("ADDRESS: ADDRESS_NO LONG 1 MAIL1 TEXT(100) 2z tel TEXT(20) 2z AGE "
                         "DOUBLE 3 BIRTH DATE 3 OK YESNO 3 NOTE MEMO 2z\n"),
              std::string::npos)
        << built;

    // Extended: only the new field, and every field renumbered.
    std::vector<NewField> more = kFields;
    for (NewField& f : more) {
        f.existing = true;
    }
    more.insert(more.begin() + 1, field("FAX1", "文字", "20"));
    EXPECT_TRUE(productdb::buildDB(more, {file, "pw"}, inFile).built);
    EXPECT_TRUE(productdb::buildDB(more, {uri, rvtest::PgServer::kPassword}, onServer).built);
    EXPECT_EQ(contents(connStr(uri)), contents(jet::ConnectionString::build(file, "pw")));
}

// A build that fails, or whose process dies, or whose server goes away, leaves the
// database exactly as it was: here without a single table.
TEST(ServerBuild, NothingHalfBuilt) {
    rvtest::PgServer& server = rvtest::sharedPgServer();
    {
        const std::string uri = serverDatabase();
        std::vector<NewField> fields = kFields;
        fields.push_back(field("AGE", "数字", ""));  // a column already there
        productdb::BuildState state;
        const productdb::BuildResult result =
            productdb::buildDB(fields, {uri, rvtest::PgServer::kPassword}, state);
        EXPECT_FALSE(result.built);
        EXPECT_EQ(result.row, 7);
        EXPECT_EQ(contents(connStr(uri)), "");
    }
    {
        const std::string uri = serverDatabase();
        const pid_t child = ::fork();
        if (child == 0) {
            int statements = 0;
            productdb::BuildState state;
            productdb::buildDB(kFields, {uri, rvtest::PgServer::kPassword}, state,
                               [&](std::string_view) {
                                   if (++statements == 25) {
                                       ::kill(::getpid(), SIGKILL);
                                   }
                               });
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(contents(connStr(uri)), "");
    }
    {
        const std::string uri = serverDatabase();
        int statements = 0;
        productdb::BuildState state;
        const productdb::BuildResult result = productdb::buildDB(
            kFields, {uri, rvtest::PgServer::kPassword}, state, [&](std::string_view) {
                if (++statements == 25) {
                    server.restart();
                }
            });
        EXPECT_FALSE(result.built);
        EXPECT_TRUE(result.cleanupFailed);
        EXPECT_NE(result.reason.find("terminat"), std::string::npos) << result.reason;
        EXPECT_EQ(contents(connStr(uri)), "");
    }
}

}  // namespace
