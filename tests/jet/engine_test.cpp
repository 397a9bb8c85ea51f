// The Jet semantics the product relies on, through the public engine API.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "temp_dir.h"

namespace {

using jet::Connection;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Engine : public ::testing::Test {
  protected:
    void SetUp() override {
        m_connStr = jet::ConnectionString::build(m_dir.file("t.mdb"), "secret");
        jet::Catalog::create(m_connStr);
        m_conn.open(m_connStr);
    }
    // The engine's message for a statement that must fail.
    std::string refusal(const std::string& sql) {
        try {
            m_conn.execute(sql);
        } catch (const jet::Error& e) {
            return e.what();
        }
        ADD_FAILURE() << "accepted: " << sql;
        return {};
    }
    std::string scalar(const std::string& sql) {
        auto rs = m_conn.execute(sql);
        return rs.eof() ? "<eof>" : rs.field(0).isNull() ? "<null>" : rs.field(0).toString();
    }
    std::vector<std::string> column(const std::string& sql) {
        std::vector<std::string> out;
        for (auto rs = m_conn.execute(sql); !rs.eof(); rs.moveNext()) {
            out.push_back(rs.field(0).isNull() ? "<null>" : rs.field(0).toString());
        }
        return out;
    }

    rvtest::TempDir m_dir;
    std::string m_connStr;
    Connection m_conn;
};

TEST_F(Engine, ColumnRulesRefuseWhatJetRefuses) {
    m_conn.execute(
        "CREATE TABLE FIELD(FIELD_ID  TEXT(32)  NOT NULL, ATTR TEXT(1) NOT NULL, "
        "FIELD_SIZE LONG, NOTE TEXT(10), RATE DOUBLE, DAY DATE, FLAG YESNO, "
        "PRIMARY KEY(FIELD_ID))");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR) VALUES('A','TEXT')"),
              "FIELD.ATTR: at most 1 character");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID) VALUES('A')"),
              "FIELD.ATTR: a value is required");
    EXPECT_EQ(refusal("INSERT INTO FIELD(ATTR) VALUES('T')"),
              "FIELD.FIELD_ID: a value is required");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR,FIELD_SIZE) VALUES('A','T','abc')"),
              "FIELD.FIELD_SIZE: not a whole number from -2147483648 to 2147483647");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR,FIELD_SIZE) VALUES('A','T','12a')"),
              "FIELD.FIELD_SIZE: not a whole number from -2147483648 to 2147483647");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR,FIELD_SIZE) VALUES('A','T',2147483648)"),
              "FIELD.FIELD_SIZE: not a whole number from -2147483648 to 2147483647");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR,RATE) VALUES('A','T','1.2.3')"),
              "FIELD.RATE: not a number");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR,DAY) VALUES('A','T','2026-02-30')"),
              "FIELD.DAY: not a date (YYYY-MM-DD)");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR,FLAG) VALUES('A','T',7)"),
              "FIELD.FLAG: not a Yes/No value");
    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR,NOTE) VALUES('A','T','12345678901')"),
              "FIELD.NOTE: at most 10 characters");

    // Quoted numbers become numbers, as Jet converts them.
    m_conn.execute(
        "INSERT INTO FIELD(FIELD_ID,ATTR,FIELD_SIZE,RATE,DAY,FLAG) "
        "VALUES('A','T','20','1.5','2026-12-05','-1')");
    auto rs = m_conn.execute("select FIELD_SIZE, RATE, DAY, FLAG, NOTE from FIELD");
    EXPECT_TRUE(rs.field(0).isInteger());
    EXPECT_EQ(rs.field(0).toInt(), 20);
    EXPECT_TRUE(rs.field(1).isDouble());
    EXPECT_EQ(rs.field(2).toString(), "2026-12-05");
    EXPECT_EQ(rs.field(3).toInt(), -1);
    EXPECT_TRUE(rs.field("note").isNull());

    EXPECT_EQ(refusal("INSERT INTO FIELD(FIELD_ID,ATTR) VALUES('a','N')"),
              "FIELD.FIELD_ID: the value is already in the table")
        << "keys compare without regard to case";
}

TEST_F(Engine, KeysImplyNotNullAndUniqueClausesHold) {
    m_conn.execute("CREATE TABLE CONTENT(CONTENT_NO LONG,NAME TEXT(100),PRIMARY KEY(CONTENT_NO))");
    m_conn.execute(
        "CREATE TABLE SENDLOG(SENDBOX_NO LONG    NOT NULL, ADDRESS_NO LONG    NOT NULL, "
        "UNIQUE(SENDBOX_NO,ADDRESS_NO))");
    EXPECT_EQ(refusal("INSERT INTO CONTENT(NAME) VALUES('x')"),
              "CONTENT.CONTENT_NO: a value is required");
    m_conn.execute("INSERT INTO SENDLOG VALUES(1,2)");
    m_conn.execute("INSERT INTO SENDLOG VALUES(1,3)");
    EXPECT_NE(refusal("INSERT INTO SENDLOG VALUES('1','2')").find("already in the table"),
              std::string::npos);
}

TEST_F(Engine, ZeroLengthRuleFollowsTheColumnProperty) {
    m_conn.execute(
        "CREATE TABLE PRJ_DETAIL(SYORI TEXT(10) NOT NULL, NAIYOU TEXT(100), MEMO_COL MEMO)");
    EXPECT_EQ(refusal("INSERT INTO PRJ_DETAIL(SYORI) VALUES('')"),
              "PRJ_DETAIL.SYORI: zero-length string not allowed");
    EXPECT_EQ(refusal("INSERT INTO PRJ_DETAIL(SYORI,NAIYOU) VALUES('a','')"),
              "PRJ_DETAIL.NAIYOU: zero-length string not allowed");

    jet::Catalog cat(m_conn);
    EXPECT_EQ(cat.property("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength), "False");
    cat.setProperty("prj_detail", "naiyou", jet::kAllowZeroLength, true);
    cat.setProperty("PRJ_DETAIL", "MEMO_COL", jet::kAllowZeroLength, true);
    m_conn.execute("INSERT INTO PRJ_DETAIL(SYORI,NAIYOU,MEMO_COL) VALUES('a','','')");
    EXPECT_EQ(scalar("select count(*) from PRJ_DETAIL where NAIYOU=''"), "1");
    EXPECT_EQ(refusal("INSERT INTO PRJ_DETAIL(SYORI) VALUES('')"),
              "PRJ_DETAIL.SYORI: zero-length string not allowed");

    // Persisted in the file, and visible in the catalog walk.
    m_conn.close();
    m_conn.open(m_connStr);
    jet::Catalog again(m_conn);
    const auto t = again.table("PRJ_DETAIL");
    ASSERT_EQ(t.columns.size(), 3u);
    EXPECT_EQ(t.columns[0].attributes, 0);
    EXPECT_FALSE(t.columns[0].allowZeroLength);
    EXPECT_EQ(t.columns[1].attributes, jet::kColNullable);
    EXPECT_TRUE(t.columns[1].allowZeroLength);
    EXPECT_EQ(t.columns[2].type, "MEMO");
    EXPECT_TRUE(t.columns[2].allowZeroLength);

    // And it can be taken back.
    again.setProperty("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength, false);
    EXPECT_EQ(refusal("INSERT INTO PRJ_DETAIL(SYORI,NAIYOU) VALUES('b','')"),
              "PRJ_DETAIL.NAIYOU: zero-length string not allowed");
}

TEST_F(Engine, PropertyChangesInsideATransactionAreUndoneWithIt) {
    m_conn.execute("CREATE TABLE T(A TEXT(5))");
    m_conn.beginTrans();
    jet::Catalog(m_conn).setProperty("T", "A", jet::kAllowZeroLength, true);
    m_conn.execute("INSERT INTO T VALUES('')");
    m_conn.rollbackTrans();
    EXPECT_EQ(jet::Catalog(m_conn).property("T", "A", jet::kAllowZeroLength), "False");
    EXPECT_EQ(scalar("select count(*) from T"), "0");
}

TEST_F(Engine, CatalogListsTypesFlagsAndTheEnginesOwnTables) {
    m_conn.execute(
        "CREATE TABLE TEMP_FIELD(FIELD_NO COUNTER, P_FIELD_NO LONG, KIND TEXT(1), "
        "FIELD_NAME TEXT, NOTE MEMO, D DATE, X DOUBLE, B YESNO)");
    const auto tables = jet::Catalog(m_conn).tables();
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].name, "sqlite_sequence");
    EXPECT_TRUE(tables[0].system);
    EXPECT_FALSE(tables[1].system);
    const auto& cols = tables[1].columns;
    std::vector<std::string> types;
    std::vector<int> flags;
    for (const auto& c : cols) {
        types.push_back(c.type);
        flags.push_back(c.attributes);
    }
    EXPECT_EQ(types, (std::vector<std::string>{"COUNTER", "LONG", "TEXT(1)", "TEXT(255)", "MEMO",
                                               "DATE", "DOUBLE", "YESNO"}));
    EXPECT_EQ(flags, (std::vector<int>{1, 3, 2, 2, 2, 3, 3, 3}));
}

TEST_F(Engine, CounterNumbersGrowAndAreNeverReused) {
    m_conn.execute("CREATE TABLE TEMP_FIELD(FIELD_NO COUNTER, FIELD_NAME TEXT(31))");
    m_conn.execute("INSERT INTO TEMP_FIELD(FIELD_NAME) VALUES('a')");
    m_conn.execute("INSERT INTO TEMP_FIELD(FIELD_NAME) VALUES('b')");
    m_conn.execute("Delete from TEMP_FIELD where FIELD_NO= 2");
    m_conn.execute("INSERT INTO TEMP_FIELD(FIELD_NAME) VALUES('c')");
    EXPECT_EQ(scalar("select max(FIELD_NO) from TEMP_FIELD"), "3");
}

TEST_F(Engine, ComparisonsIgnoreCaseAndNullsSortFirst) {
    m_conn.execute("CREATE TABLE T(KIND TEXT(1), SORTBY LONG, N LONG)");
    m_conn.execute("INSERT INTO T VALUES('f', 2, 1)");
    m_conn.execute("INSERT INTO T VALUES('F', NULL, 2)");
    m_conn.execute("INSERT INTO T VALUES('A', 1, 3)");
    EXPECT_EQ(scalar("select count(*) from T where kind='F'"), "2");
    EXPECT_EQ(scalar("SELECT count(*) FROM t WHERE Kind=\"a\""), "1") << "\"...\" is a string";
    EXPECT_EQ(column("select N from T ORDER BY SORTBY"), (std::vector<std::string>{"2", "3", "1"}));
    EXPECT_EQ(column("select SORTBY from T ORDER BY SORTBY DESC"),
              (std::vector<std::string>{"2", "1", "<null>"}));
    EXPECT_EQ(column("select [N] from T where KIND = 'a' or N = 1 ORDER BY N"),
              (std::vector<std::string>{"1", "3"}));
}

TEST_F(Engine, DeleteStarAndAlterTableAddColumn) {
    m_conn.execute("CREATE TABLE ADDRESS(ADDRESS_NO  LONG NOT NULL, PRIMARY KEY(ADDRESS_NO))");
    m_conn.execute("ALTER TABLE ADDRESS ADD COLUMN  NAME TEXT");
    m_conn.execute("ALTER TABLE ADDRESS ADD COLUMN  ZIP TEXT(8)");
    m_conn.execute("ALTER TABLE ADDRESS ADD COLUMN  AGE DOUBLE");
    const auto t = jet::Catalog(m_conn).table("ADDRESS");
    ASSERT_EQ(t.columns.size(), 4u);
    EXPECT_EQ(t.columns[1].type, "TEXT(255)");
    EXPECT_EQ(t.columns[2].type, "TEXT(8)");

    for (const char* bad : {"ALTER TABLE ADDRESS ADD COLUMN  X TEXT(0)",
                            "ALTER TABLE ADDRESS ADD COLUMN  X TEXT(256)",
                            "ALTER TABLE ADDRESS ADD COLUMN  X TEXT(abc)",
                            "ALTER TABLE ADDRESS ADD COLUMN  zip TEXT(3)",
                            "ALTER TABLE ADDRESS ADD COLUMN  SELECT TEXT(3)",
                            "ALTER TABLE ADDRESS ADD COLUMN  a-b TEXT(3)",
                            "ALTER TABLE ADDRESS ADD COLUMN  a@b TEXT(3)",
                            "ALTER TABLE ADDRESS ADD COLUMN  1A TEXT(3)",
                            "ALTER TABLE ADDRESS ADD COLUMN   TEXT(3)"}) {
        EXPECT_THROW(m_conn.execute(bad), jet::Error) << bad;
    }
    EXPECT_EQ(jet::Catalog(m_conn).table("ADDRESS").columns.size(), 4u);

    m_conn.execute("INSERT INTO ADDRESS(ADDRESS_NO, NAME) VALUES(1, 'x')");
    m_conn.execute("INSERT INTO ADDRESS(ADDRESS_NO, NAME) VALUES(2, 'y')");
    m_conn.execute("delete * from address where name='X'");
    EXPECT_EQ(scalar("select count(*) from ADDRESS"), "1");
}

TEST_F(Engine, OnlyOneStatementPerExecute) {
    m_conn.execute("CREATE TABLE X(A LONG)");
    EXPECT_THROW(m_conn.execute("select 1; drop table X"), jet::Error);
    EXPECT_THROW(m_conn.execute("select 1 -- drop"), jet::Error);
    EXPECT_EQ(scalar("select count(*) from X;"), "0") << "a closing semicolon is fine";
    EXPECT_EQ(jet::Catalog(m_conn).table("X").name, "X");
}

TEST_F(Engine, TableCreationIsUndoneWithoutCommit) {
    m_conn.beginTrans();
    m_conn.execute("CREATE TABLE A(X LONG)");
    m_conn.execute("INSERT INTO A VALUES(1)");
    m_conn.rollbackTrans();
    EXPECT_THROW(m_conn.execute("select * from A"), jet::Error);

    m_conn.beginTrans();
    m_conn.execute("CREATE TABLE B(X LONG)");
    m_conn.close();  // released without commit
    m_conn.open(m_connStr);
    EXPECT_THROW(m_conn.execute("select * from B"), jet::Error);

    m_conn.beginTrans();
    m_conn.execute("CREATE TABLE C(X LONG)");
    m_conn.commitTrans();
    EXPECT_EQ(scalar("select count(*) from C"), "0");
}

TEST_F(Engine, ObserverSeesStatementsAsSent) {
    std::vector<std::string> seen;
    m_conn.setObserver([&](std::string_view s) { seen.emplace_back(s); });
    m_conn.execute("CREATE TABLE T(A LONG)");
    try {
        m_conn.execute("INSERT INTO T VALUES('x')");
    } catch (const jet::Error&) {
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{"CREATE TABLE T(A LONG)", "INSERT INTO T VALUES('x')"}));
}

TEST_F(Engine, RecordSetsReadForwardAndTellNullFromEmpty) {
    m_conn.execute("CREATE TABLE T(A TEXT(5), B LONG)");
    jet::Catalog(m_conn).setProperty("T", "A", jet::kAllowZeroLength, true);
    m_conn.execute("INSERT INTO T VALUES('', 1)");
    m_conn.execute("INSERT INTO T VALUES(NULL, 2)");
    auto rs = m_conn.execute("select A, b as Bee from T order by B");
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.fieldName(1), "Bee");
    EXPECT_TRUE(rs.field("a").isText());
    EXPECT_FALSE(rs.field("a").isNull());
    rs.moveNext();
    EXPECT_TRUE(rs.field(0).isNull());
    EXPECT_EQ(rs.field("BEE").toInt(), 2);
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.field(0), jet::Error);
    EXPECT_THROW(rs.moveNext(), jet::Error);

    auto none = m_conn.execute("select A from T where B=9");
    EXPECT_TRUE(none.eof());
    EXPECT_TRUE(none.bof());
}

// Opening ------------------------------------------------------------------

TEST(EngineFiles, FailedOpensLeaveFilesAlone) {
    rvtest::TempDir dir;
    const std::string path = dir.file("p.mdb");
    const std::string cs = jet::ConnectionString::build(path, "right");
    jet::Catalog::create(cs);
    {
        Connection c;
        c.open(cs);
        c.execute("CREATE TABLE T(A LONG)");
    }
    const std::string before = readBytes(path);

    auto openFails = [](const std::string& connStr) {
        Connection c;
        try {
            c.open(connStr);
        } catch (const jet::Error& e) {
            EXPECT_EQ(e.code(), static_cast<int>(jet::ErrorCode::kCannotOpen)) << e.what();
            return true;
        }
        return false;
    };
    EXPECT_TRUE(openFails(jet::ConnectionString::build(path, "wrong")));
    EXPECT_TRUE(openFails(jet::ConnectionString::build(path, "")));
    EXPECT_TRUE(openFails(jet::ConnectionString::build(dir.file("missing.mdb"), "")));
    EXPECT_TRUE(openFails(jet::ConnectionString::build(dir.path().string(), "")));
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.mdb")));

    std::ofstream(dir.file("text.mdb")) << "this is not a database at all, not even close....";
    EXPECT_TRUE(openFails(jet::ConnectionString::build(dir.file("text.mdb"), "")));
    std::ofstream(dir.file("empty.mdb"));
    EXPECT_TRUE(openFails(jet::ConnectionString::build(dir.file("empty.mdb"), "")));

    std::string damaged = before;
    for (size_t i = 0; i < 64 && i < damaged.size(); ++i) {
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
    }
    std::ofstream(dir.file("damaged.mdb"), std::ios::binary) << damaged;
    EXPECT_TRUE(openFails(jet::ConnectionString::build(dir.file("damaged.mdb"), "right")));
    EXPECT_EQ(readBytes(dir.file("damaged.mdb")), damaged);
}

TEST(EngineFiles, PasswordDecidesEncryption) {
    rvtest::TempDir dir;
    const std::string plain = dir.file("plain.mdb");
    const std::string locked = dir.file("locked.mdb");
    jet::Catalog::create(jet::ConnectionString::build(plain, ""));
    jet::Catalog::create(jet::ConnectionString::build(locked, "pw"));
    EXPECT_EQ(readBytes(plain).substr(0, 15), "SQLite format 3");
    EXPECT_NE(readBytes(locked).substr(0, 15), "SQLite format 3");
    EXPECT_GT(std::filesystem::file_size(locked), 0u);

    try {
        jet::Catalog::create(jet::ConnectionString::build(plain, ""));
        FAIL() << "created over an existing file";
    } catch (const jet::Error& e) {
        EXPECT_EQ(e.code(), static_cast<int>(jet::ErrorCode::kFileExists));
    }
    EXPECT_THROW(jet::Catalog::create(jet::ConnectionString::build(dir.file("no/such.mdb"), "")),
                 jet::Error);
}

TEST(EngineConnectionString, ParsesTheAdoForm) {
    auto cs = jet::ConnectionString::parse(
        " provider = Microsoft.Jet.OLEDB.4.0 ;DATA SOURCE= /a b/c.mdb ; Jet OLEDB:Database "
        "Password=p=w;Persist Security Info=False");
    EXPECT_EQ(cs.dataSource(), "/a b/c.mdb");
    EXPECT_EQ(cs.password(), "p=w");
    EXPECT_EQ(jet::ConnectionString::parse("Data Source=\"x;y.mdb\"").dataSource(), "x;y.mdb");
    EXPECT_EQ(jet::ConnectionString::build("/x.mdb", "pw"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x.mdb; Jet OLEDB:Database "
              "Password=pw;");
    for (const char* bad : {"Provider=SQLOLEDB;Data Source=x", "Provider=Microsoft.Jet.OLEDB.4.0",
                            "Data Source=x;Colour=blue", "Data Source=x;junk", "Data Source=\"x"}) {
        EXPECT_THROW(jet::ConnectionString::parse(bad), jet::Error) << bad;
    }
}

}  // namespace
