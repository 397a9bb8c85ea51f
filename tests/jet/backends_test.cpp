// SPDX-License-Identifier: MIT
// The Jet semantics that hold in a file and on a PostgreSQL server alike: the same
// statements, outcomes and refusals through the public engine API, run against both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "pg_server.h"
#include "temp_dir.h"

namespace {

using jet::Connection;

enum class Backend { kFile, kServer };

std::string shown(const jet::Value& v) {
    if (v.isNull()) {
        return "null";
    }
    return (v.isInteger() ? "int " : v.isDouble() ? "real " : "text ") + v.toString();
}

// One statement's outcome: "ok", a query's column names and rows, or the refusal.
// "catalog T" shows the catalog's columns of T; "allow T.C" / "refuse T.C" set C's
// zero-length property.
std::string outcome(Connection& c, const std::string& statement) {
    try {
        if (statement.starts_with("catalog ")) {
            std::string out;
            for (const jet::ColumnInfo& col : jet::Catalog(c).table(statement.substr(8)).columns) {
                out += col.name + " " + col.type + " " + std::to_string(col.attributes) +
                       (col.allowZeroLength ? " zero-length; " : "; ");
            }
            return out;
        }
        if (statement.starts_with("allow ") || statement.starts_with("refuse ")) {
            const auto space = statement.find(' ');
            const auto dot = statement.find('.');
            jet::Catalog(c).setProperty(statement.substr(space + 1, dot - space - 1),
                                        statement.substr(dot + 1), jet::kAllowZeroLength,
                                        statement.starts_with("allow "));
            return "ok";
        }
        jet::Recordset rs = c.execute(statement);
        std::string out;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            out += rs.fieldName(i) + " ";
        }
        for (; !rs.eof(); rs.moveNext()) {
            out += "|";
            for (int i = 0; i < rs.fieldCount(); ++i) {
                out += " " + shown(rs.field(i));
            }
        }
        return out.empty() ? "ok" : out;
    } catch (const jet::Error& e) {
        return e.what();
    }
}

class Backends : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (GetParam() == Backend::kFile) {
            m_connStr = jet::ConnectionString::build(m_dir.file("t.mdb"), "secret");
            jet::Catalog::create(m_connStr);
        } else {
            m_connStr = jet::ConnectionString::build(rvtest::sharedPgServer().createDatabase(),
                                                     rvtest::PgServer::kPassword);
        }
        m_conn.open(m_connStr);
    }
    std::string run(const std::string& sql) { return outcome(m_conn, sql); }
    bool onServer() const { return GetParam() == Backend::kServer; }

    rvtest::TempDir m_dir;
    std::string m_connStr;
    Connection m_conn;
};

TEST_P(Backends, ColumnRulesOverValues) {
    // CREATE TABLE R(V <column>), the row already there, the row inserted, and then the
    // value of V read back or the engine's refusal, in a file and on a server where the
    // server words it otherwise.
    struct Case {
        const char* column;
        const char* earlier;
        const char* row;
        const char* outcome;
        const char* onServer;
    };
    const char* zeroLength = "R.V: zero-length string not allowed";
    const char* yesNo = "R.V: not a Yes/No value";
    const Case cases[] = {
        {"TEXT(1)", "", "'TE'", "R.V: at most 1 character", nullptr},
        {"TEXT(5) NOT NULL", "", "''", zeroLength, nullptr},
        {"TEXT(5) NOT NULL", "", "NULL", "R.V: a value is required", nullptr},
        {"MEMO", "", "''", zeroLength, nullptr},
        {"LONG", "", "'20'", "int 20", nullptr},
        {"LONG", "", "'12a'", "R.V: not a whole number from -2147483648 to 2147483647",
         "invalid input syntax for type integer: \"12a\""},
        {"LONG", "", "2147483648", "R.V: not a whole number from -2147483648 to 2147483647",
         "integer out of range"},
        {"DOUBLE", "", "'1.5'", "real 1.5", nullptr},
        {"DOUBLE", "", "'1.2.3'", "R.V: not a number",
         "invalid input syntax for type double precision: \"1.2.3\""},
        {"DATE", "", "'2026-12-05'", "text 2026-12-05", nullptr},
        {"DATE", "", "'2026-12-05 10:30:00'", "text 2026-12-05 10:30:00", nullptr},
        {"DATE", "", "'2026-02-30'", "R.V: not a date (YYYY-MM-DD)",
         "date/time field value out of range: \"2026-02-30\""},
        {"YESNO", "", "'-1'", "int -1", nullptr},
        {"YESNO", "", "False", "int 0", nullptr},
        {"YESNO", "", "1", yesNo, nullptr},
        {"TEXT(5)", "", "'Ａｂ'", "text Ａｂ", nullptr},
        // A key is NOT NULL, and its texts compare without regard to case.
        {"LONG, PRIMARY KEY(V)", "", "NULL", "R.V: a value is required", nullptr},
        {"TEXT(5), PRIMARY KEY(V)", "'a'", "'A'", "R.V: the value is already in the table",
         nullptr},
        {"LONG, W LONG, UNIQUE(V,W)", "1,2", "'1','2'",
         "R.V, R.W: the value is already in the table", nullptr},
        {"LONG, W LONG, UNIQUE(V,W)", "1,2", "1,3", "int 1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " <- " + c.row);
        m_conn.execute(std::string("CREATE TABLE R(V ") + c.column + ")");
        if (*c.earlier) {
            m_conn.execute(std::string("INSERT INTO R VALUES(") + c.earlier + ")");
        }
        std::string got = run(std::string("INSERT INTO R VALUES(") + c.row + ")");
        if (got == "ok") {
            got = shown(m_conn.execute("select V from R").field(0));
        }
        EXPECT_EQ(got, onServer() && c.onServer ? c.onServer : c.outcome);
        m_conn.execute("DROP TABLE R");
    }
}

// The catalog's types and flags, names and texts compared without regard to case, nulls
// sorted first ascending and last descending, DISTINCT, and a counter that does not take
// back a number once given.
TEST_P(Backends, CatalogComparisonsAndCounters) {
    m_conn.execute(
        "CREATE TABLE T(N COUNTER, KIND TEXT(1) NOT NULL, SORTBY LONG, S TEXT, M MEMO, D DATE, "
        "X DOUBLE, B YESNO)");
    EXPECT_EQ(run("catalog T"),
              "N COUNTER 1; KIND TEXT(1) 0; SORTBY LONG 3; S TEXT(255) 2; M MEMO 2; D DATE 3; "
              "X DOUBLE 3; B YESNO 3; ");
    for (const char* sql :
         {"INSERT INTO T(KIND, SORTBY) VALUES('f', 2)", "INSERT INTO T(KIND) VALUES('x')",
          "Delete from T where N= 2", "INSERT INTO T(KIND) VALUES('F')",
          "INSERT INTO T(KIND, SORTBY) VALUES('A', 1)"}) {
        m_conn.execute(sql);
    }
    EXPECT_EQ(run("select count(*) AS C from T where kind='F'"), "C | int 2");
    EXPECT_EQ(run("SELECT count(*) AS C FROM t WHERE Kind=\"a\""), "C | int 1");
    EXPECT_EQ(run("select N from T ORDER BY SORTBY"), "N | int 3| int 4| int 1");
    EXPECT_EQ(run("select SORTBY from T ORDER BY SORTBY DESC"), "SORTBY | int 2| int 1| null");
    EXPECT_EQ(run("select DISTINCT kind from T where KIND='F' or kind='a'").size(),
              std::string("KIND | text f| text A").size())
        << "f and F are one";
    EXPECT_EQ(run("SELECT SORTBY FROM T WHERE N = '4' AND S IS NULL"), "SORTBY | int 1");
    m_conn.execute("delete * from t where kind='f'");
    EXPECT_EQ(run("select N from T;"), "N | int 4") << "a closing ';' is fine";
    m_conn.execute("INSERT INTO T(KIND) VALUES('Z')");
    EXPECT_EQ(run("select max(N) AS N from T"), "N | int 5");
    // A number given to the counter: numbering goes on after the highest.
    m_conn.execute("INSERT INTO T(n, KIND) VALUES(20, 'Y')");
    m_conn.execute("INSERT INTO T(KIND) VALUES('W')");
    EXPECT_GT(m_conn.execute("select max(N) from T").field(0).toInt(), 20);
    auto rs = m_conn.execute("select S, sortby as Bee from T");
    EXPECT_EQ(shown(rs.field("BEE")), "int 1");
}

// A refused statement inside a transaction takes back only itself; a rollback, or a
// connection closed without a commit, takes back everything, tables and columns included.
TEST_P(Backends, TransactionsTakeBackAllOrOnlyTheRefusedStatement) {
    m_conn.execute("CREATE TABLE T(A LONG, S TEXT(3))");
    m_conn.beginTrans();
    EXPECT_EQ(run("INSERT INTO T VALUES(1, 'abcd')"), "T.S: at most 3 characters");
    EXPECT_EQ(run("INSERT INTO T VALUES(2, 'abc')"), "ok");
    m_conn.commitTrans();
    EXPECT_EQ(run("select A from T"), "A | int 2");

    m_conn.beginTrans();
    m_conn.execute("CREATE TABLE U(A LONG)");
    m_conn.execute("ALTER TABLE T ADD COLUMN  C MEMO");
    EXPECT_EQ(run("ALTER TABLE T ADD COLUMN  c MEMO"),
              "duplicate column name: c in: ALTER TABLE T ADD COLUMN  c MEMO");
    m_conn.rollbackTrans();
    EXPECT_EQ(run("catalog T"), "A LONG 3; S TEXT(3) 2; ");
    {
        Connection other;
        other.open(m_connStr);
        other.beginTrans();
        other.execute("CREATE TABLE U(A LONG)");
        other.execute("INSERT INTO T VALUES(3, 'x')");
    }
    EXPECT_EQ(run("select count(*) AS N from T"), "N | int 1");
    EXPECT_EQ(jet::Catalog(m_conn).tables().back().name, "T") << "no table U";
}

// The zero-length property: set, cleared, kept by the database for every client.
TEST_P(Backends, AllowZeroLengthIsKeptInTheDatabase) {
    m_conn.execute("CREATE TABLE T(S TEXT(5), M MEMO, K TEXT(2) NOT NULL)");
    EXPECT_EQ(run("allow T.S"), "ok");
    EXPECT_EQ(run("allow T.m"), "ok");
    EXPECT_EQ(run("refuse T.M"), "ok");
    EXPECT_EQ(run("catalog T"), "S TEXT(5) 2 zero-length; M MEMO 2; K TEXT(2) 0; ");
    Connection other;
    other.open(m_connStr);
    EXPECT_EQ(outcome(other, "INSERT INTO T VALUES('', NULL, 'k')"), "ok");
    EXPECT_EQ(outcome(other, "INSERT INTO T VALUES(NULL, '', 'k')"),
              "T.M: zero-length string not allowed");
    EXPECT_EQ(outcome(other, "allow T.A"), "T.A: no such text or memo column");
}

INSTANTIATE_TEST_SUITE_P(, Backends, ::testing::Values(Backend::kFile, Backend::kServer),
                         [](const ::testing::TestParamInfo<Backend>& p) {
                             return p.param == Backend::kFile ? "File" : "Server";
                         });

// Only on a server ------------------------------------------------------------------

// A URI names a server; libpq takes it as it stands, the password separately. No message
// shows a password, neither the argument nor one written into the URI.
TEST(Server, PasswordsStayOutOfMessagesAndRefusalsReadAsTheFilesCannotOpen) {
    rvtest::PgServer& server = rvtest::sharedPgServer();
    const std::string uri = server.createDatabase();
    EXPECT_TRUE(jet::ConnectionString::namesServer(uri));
    EXPECT_TRUE(jet::ConnectionString::namesServer("POSTGRES://h/db"));
    EXPECT_FALSE(jet::ConnectionString::namesServer("/tmp/postgresql://x"));
    EXPECT_EQ(jet::ConnectionString::withoutPassword("postgresql://u:pw@h:5/db?x=1"),
              "postgresql://u@h:5/db?x=1");
    struct Case {
        std::string connStr;
        jet::ErrorKind kind;
    };
    const std::string wrongInUri = "postgresql://rv:wrong-in-uri@/db1?host=" + server.folder();
    const Case cases[] = {
        {jet::ConnectionString::build(uri, "wrong-password"), jet::ErrorKind::kNotADatabase},
        {wrongInUri, jet::ErrorKind::kNotADatabase},
        {jet::ConnectionString::build(uri + "-gone", rvtest::PgServer::kPassword),
         jet::ErrorKind::kCannotOpen},
        {jet::ConnectionString::build("postgresql://rv@/db1?host=" + server.folder() + "/nowhere",
                                      "wrong-password"),
         jet::ErrorKind::kCannotOpen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connStr);
        Connection conn;
        try {
            conn.open(c.connStr);
            ADD_FAILURE() << "opened";
        } catch (const jet::Error& e) {
            EXPECT_EQ(e.code(), static_cast<int>(jet::ErrorCode::kCannotOpen));
            EXPECT_EQ(e.kind(), c.kind) << e.what();
            const std::string what = e.what();
            EXPECT_TRUE(what.starts_with("cannot open postgresql://rv@/")) << what;
            EXPECT_EQ(what.find("wrong"), std::string::npos) << what;
        }
    }
}

// Names are found in any case and kept as written; the server's 63 bytes for a name and
// its 1,600 columns are the limits there.
TEST(Server, NamesAsWrittenAndTheServersLimits) {
    Connection conn;
    conn.open(jet::ConnectionString::build(rvtest::sharedPgServer().createDatabase(),
                                           rvtest::PgServer::kPassword));
    conn.execute("CREATE TABLE FIELD(FIELD_ID TEXT(32) NOT NULL, PRIMARY KEY(field_id))");
    conn.execute("ALTER TABLE field ADD COLUMN  tel TEXT(20)");
    conn.execute("INSERT INTO FIELD(FIELD_ID,TEL) VALUES('a','1')");
    EXPECT_EQ(outcome(conn, "select * from field where field_id='A'"),
              "FIELD_ID tel | text a text 1");
    EXPECT_EQ(outcome(conn, "UPDATE FIELD SET TEL='2' WHERE FIELD_ID='a'"), "ok");
    EXPECT_EQ(outcome(conn, "select [Tel] from [Field]"), "tel | text 2");
    EXPECT_EQ(outcome(conn, "ALTER TABLE FIELD ADD COLUMN  " + std::string(64 - 1, 'x') + "y TEXT"),
              "\"" + std::string(63, 'x') + "y\" is longer than the server's 63 bytes for a name");
    EXPECT_EQ(jet::Catalog::columnLimit(conn.dataSource()), 1600);
    EXPECT_EQ(conn.columnLimit(), 1600);
}

}  // namespace
