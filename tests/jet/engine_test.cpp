// SPDX-License-Identifier: MIT
// The Jet semantics the product relies on, through the public engine API: in a file, and
// what holds alike on a PostgreSQL server (a private one, tests/support/pg_server.h) run
// against both.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/placeholders.h"
#include "jet/translator.h"
#include "pg_server.h"
#include "raw_db.h"
#include "temp_dir.h"

namespace {

using jet::Connection;
using Strings = std::vector<std::string>;

// A value as read back: "int 20", "real 1.5", "text abc" or "null".
std::string shown(const jet::Value& v) {
    if (v.isNull()) {
        return "null";
    }
    return (v.isInteger() ? "int " : v.isDouble() ? "real " : "text ") + v.toString();
}

// The jet::Error that `action` throws; one of code 0 and no kind when it throws none.
template <typename Action>
jet::Error failure(Action action) {
    try {
        action();
    } catch (const jet::Error& e) {
        return e;
    }
    return jet::Error("no failure", 0, static_cast<jet::ErrorKind>(-1));
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

enum class Backend { kFile, kServer };

class Engine : public ::testing::Test {
  protected:
    void SetUp() override { open(Backend::kFile); }
    void open(Backend backend) {
        if (backend == Backend::kFile) {
            m_connStr = jet::ConnectionString::build(m_dir.file("t.mdb"), "secret");
            jet::Catalog::create(m_connStr);
        } else {
            m_connStr = jet::ConnectionString::build(rvtest::sharedPgServer().createDatabase(),
                                                     rvtest::PgServer::kPassword);
        }
        m_conn.open(m_connStr);
    }
    std::string run(const std::string& sql) { return outcome(m_conn, sql); }

    rvtest::TempDir m_dir;
    std::string m_connStr;
    Connection m_conn;
};

// The cases that hold in a file and on a server alike.
class EachBackend : public Engine, public ::testing::WithParamInterface<Backend> {
  protected:
    void SetUp() override { open(GetParam()); }
    bool onServer() const { return GetParam() == Backend::kServer; }
};

INSTANTIATE_TEST_SUITE_P(, EachBackend, ::testing::Values(Backend::kFile, Backend::kServer),
                         [](const ::testing::TestParamInfo<Backend>& p) {
                             return p.param == Backend::kFile ? "File" : "Server";
                         });

TEST_P(EachBackend, ColumnRulesOverValues) {
    // CREATE TABLE R(V <column>), the row already there, the row inserted, and then the
    // value of V read back or the engine's refusal, in a file and on a server where the
    // server words it otherwise (kFileOnly: values only a file's loose typing lets in).
    struct Case {
        const char* column;
        const char* earlier;
        const char* row;
        const char* outcome;
        const char* onServer = nullptr;
    };
    const char* kFileOnly = "";
    const char* wholeNumber = "R.V: not a whole number from -2147483648 to 2147483647";
    const char* date = "R.V: not a date (YYYY-MM-DD)";
    const char* yesNo = "R.V: not a Yes/No value";
    const char* zeroLength = "R.V: zero-length string not allowed";
    const Case cases[] = {
        {"TEXT(1)", "", "'TE'", "R.V: at most 1 character"},
        {"TEXT(5) NOT NULL", "", "''", zeroLength},
        {"TEXT(5) NOT NULL", "", "NULL", "R.V: a value is required"},
        {"TEXT(5)", "", "'Ａｂ'", "text Ａｂ"},
        {"MEMO", "", "''", zeroLength},
        {"LONG", "", "'20'", "int 20"},
        {"LONG", "", "'12a'", wholeNumber, "invalid input syntax for type integer: \"12a\""},
        {"LONG", "", "2147483648", wholeNumber, "integer out of range"},
        {"DOUBLE", "", "'1.5'", "real 1.5"},
        {"DOUBLE", "", "'1.2.3'", "R.V: not a number",
         "invalid input syntax for type double precision: \"1.2.3\""},
        {"DATE", "", "'2026-12-05'", "text 2026-12-05"},
        {"DATE", "", "'2026-12-05 10:30:00'", "text 2026-12-05 10:30:00"},
        {"DATE", "", "'2026-02-30'", date, "date/time field value out of range: \"2026-02-30\""},
        {"YESNO", "", "'-1'", "int -1"},
        {"YESNO", "", "False", "int 0"},
        {"YESNO", "", "1", yesNo},
        // Values of another type, and values that make a careless rule come out null
        // (which would let them pass) or hide their length behind a NUL character.
        {"TEXT(5)", "", "12", "text 12", kFileOnly},
        {"MEMO", "", "X'41'", "R.V: not a text", kFileOnly},
        {"LONG", "", "'12'||char(0)||'x'", wholeNumber, kFileOnly},
        {"LONG", "", "X'3132'", wholeNumber, kFileOnly},
        {"DOUBLE", "", "'1.5'||char(0)||'x'", "R.V: not a number", kFileOnly},
        {"DATE", "", "'2026-12-05'||char(0)||'x'", date, kFileOnly},
        {"DATE", "", "20261205", date, kFileOnly},
        {"YESNO", "", "'True'", yesNo, kFileOnly},
        {"YESNO", "", "X'30'", yesNo, kFileOnly},
        // A key is NOT NULL, and its texts compare without regard to case.
        {"LONG, PRIMARY KEY(V)", "", "NULL", "R.V: a value is required"},
        {"TEXT(5), PRIMARY KEY(V)", "'a'", "'A'", "R.V: the value is already in the table"},
        {"LONG, W LONG, UNIQUE(V,W)", "1,2", "'1','2'",
         "R.V, R.W: the value is already in the table"},
        {"LONG, W LONG, UNIQUE(V,W)", "1,2", "1,3", "int 1"},
    };
    for (const Case& c : cases) {
        if (onServer() && c.onServer == kFileOnly) {
            continue;
        }
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

TEST_F(Engine, ALockHeldElsewhereFailsSoon) {
    m_conn.execute("CREATE TABLE T(A LONG)");
    Connection other;
    other.open(m_connStr);
    other.beginTrans();
    other.execute("INSERT INTO T VALUES(1)");  // holds the write lock until it ends

    // A refused statement and the one that cleans up after it, as the builder sends them.
    const auto start = std::chrono::steady_clock::now();
    for (const char* sql : {"INSERT INTO T VALUES(2)", "delete * from T where A=2"}) {
        const jet::Error e = failure([&] { m_conn.execute(sql); });
        EXPECT_STREQ(e.what(), "the database is locked by another program");
        EXPECT_EQ(e.kind(), jet::ErrorKind::kLocked);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    other.rollbackTrans();
    EXPECT_EQ(run("INSERT INTO T VALUES(3)"), "ok");
}

// The catalog's types and flags, names and texts compared without regard to case, nulls
// sorted first ascending and last descending, DISTINCT, record sets that find fields by
// name in any case and end at their end, and a counter that does not take back a number
// once given.
TEST_P(EachBackend, CatalogComparisonsAndCounters) {
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
    {
        auto rs = m_conn.execute("select S, sortby as Bee from T");
        EXPECT_EQ(shown(rs.field("BEE")), "int 1");
        rs.moveNext();
        EXPECT_TRUE(rs.eof());
        EXPECT_THROW(rs.field(0), jet::Error);
    }
    m_conn.execute("INSERT INTO T(KIND) VALUES('Z')");
    EXPECT_EQ(run("select max(N) AS N from T"), "N | int 5");
    // A number given to the counter: numbering goes on after the highest.
    m_conn.execute("INSERT INTO T(n, KIND) VALUES(20, 'Y')");
    m_conn.execute("INSERT INTO T(KIND) VALUES('W')");
    EXPECT_GT(m_conn.execute("select max(N) from T").field(0).toInt(), 20);
    const auto tables = jet::Catalog(m_conn).tables();
    EXPECT_TRUE(!tables.back().system && tables.back().name == "T");
    if (!onServer()) {
        ASSERT_EQ(tables.size(), 2u);
        EXPECT_EQ(tables[0].name, "sqlite_sequence");
        EXPECT_TRUE(tables[0].system);
    }
}

// A missing table or column is named as the statement wrote it, in the file's words, on a
// server too (which folds unquoted names in its own words, and counts characters, not bytes).
TEST_P(EachBackend, MissingTablesAndColumnsAreNamedAsWritten) {
    m_conn.execute("CREATE TABLE T(A LONG)");
    const struct {
        const char* statement;
        const char* named;
    } cases[] = {
        {"SELECT * FROM Nope", "no such table: Nope"},
        {"INSERT INTO [No Pe] VALUES(1)", "no such table: No Pe"},
        {"SELECT Nope FROM T", "no such column: Nope"},
        {"SELECT T.Nope FROM T", "no such column: T.Nope"},
        {"UPDATE T SET Nope = 1", "no such column: Nope"},
        {"SELECT '氏名', 項目 FROM T", "no such column: 項目"},
    };
    for (const bool inTransaction : {false, true}) {  // there, behind a savepoint's statement
        if (inTransaction) {
            m_conn.beginTrans();
        }
        for (const auto& c : cases) {
            EXPECT_EQ(run(c.statement), std::string(c.named) + " in: " + c.statement);
        }
    }
    m_conn.rollbackTrans();
}

// Jet's TOP keeps the first rows of a query, as many or as many percent (rounded up).
TEST_P(EachBackend, TopKeepsTheFirstRows) {
    m_conn.execute("CREATE TABLE T(A LONG, B TEXT(5))");
    for (int a : {3, 1, 5, 2, 4}) {
        m_conn.execute("INSERT INTO T VALUES(" + std::to_string(a) + ", 'b')");
    }
    // TOP inside a subquery reaches the engine beneath as written, which refuses it.
    const std::string nested = "select A from T where A in (select top 1 A from T)";
    const std::string refusedNested =
        std::string(onServer() ? "syntax error at or near \"1\"" : "near \"1\": syntax error") +
        " in: " + nested;
    const std::pair<std::string, std::string> cases[] = {
        {"select top 2 A from T order by A", "A | int 1| int 2"},
        {"SELECT TOP 2 A FROM T ORDER BY A DESC;", "A | int 5| int 4"},
        {"select distinct top 1 B from T", "B | text b"},
        {"select top 40 percent A from T order by A", "A | int 1| int 2"},
        {"select top 41 percent A from T order by A", "A | int 1| int 2| int 3"},
        {"select top 0 A from T", "A "},
        {"select top 9 A from T where A > 4", "A | int 5"},
        {nested, refusedNested},
        {"select top A from T", "TOP takes a whole number"},
        {"select top 1.5 A from T", "TOP takes a whole number"},
        {"select top 1 A from T union select B from T",
         "TOP in a query with UNION is not supported"},
    };
    for (const auto& [sql, outcome] : cases) {
        EXPECT_EQ(run(sql), outcome) << sql;
    }
}

// A [name] may hold a double quote, a "text" an apostrophe.
TEST_P(EachBackend, QuotesInsideNamesAndTexts) {
    m_conn.execute("CREATE TABLE [Q\"T]([A\"B] LONG, S TEXT(5))");
    EXPECT_EQ(run("INSERT INTO [Q\"T] VALUES(1, \"it's\")"), "ok");
    EXPECT_EQ(run("select [A\"B], S from [Q\"T] where S = \"it's\""), "A\"B S | int 1 text it's");
}

// A refused statement inside a transaction takes back only itself; a rollback, or a
// connection closed without a commit, takes back everything, tables and columns included.
TEST_P(EachBackend, TransactionsTakeBackAllOrOnlyTheRefusedStatement) {
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
TEST_P(EachBackend, AllowZeroLengthIsKeptInTheDatabase) {
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

// The shell's statements split where the engine's lexer sees a ';'.
TEST(EngineStatements, SplitAtSemicolonsOutsideQuotes) {
    const auto split = [](std::string_view text) {
        std::string out;
        try {
            for (std::string_view s : jet::splitStatements(text)) {
                out += "<" + std::string(s) + ">";
            }
        } catch (const jet::Error& e) {
            out = e.what();
        }
        return out;
    };
    EXPECT_EQ(split("select 1; select 2;"), "<select 1>< select 2>");
    EXPECT_EQ(split("select ';' AS [a;b], \"x;\" , #2026-12-05#;  ;\n; select 3"),
              "<select ';' AS [a;b], \"x;\" , #2026-12-05#>< select 3>");
    EXPECT_EQ(split(" ; ;"), "");
    EXPECT_EQ(split("select 'a;"), "unterminated string");
}

// Ctrl+C in the shell: the statement running stops. A change stopped while it writes
// inside a transaction ends the transaction, rolled back (SQLite does that), and the
// connection knows.
TEST_F(Engine, InterruptStopsTheStatementRunning) {
    m_conn.execute("CREATE TABLE T(A LONG)");
    m_conn.beginTrans();
    for (int i = 0; i < 100; ++i) {
        m_conn.execute("INSERT INTO T(A) VALUES(" + std::to_string(i) + ")");
    }
    m_conn.commitTrans();
    {
        jet::Recordset rs = m_conn.execute("select a.A from T a, T b");
        m_conn.interrupt();
        EXPECT_EQ(failure([&] {
                      while (!rs.eof()) {
                          rs.moveNext();
                      }
                  }).what(),
                  std::string("interrupted"));
    }
    EXPECT_EQ(run("select count(*) AS N from T"), "N | int 100");

    // A change stopped while it writes (interrupted from another thread until it ends, as a
    // signal handler would) takes the whole transaction with it.
    m_conn.beginTrans();
    m_conn.execute("INSERT INTO T(A) VALUES(-1)");
    std::atomic<bool> ended = false;
    std::thread interrupter([&] {
        while (!ended) {
            m_conn.interrupt();
        }
    });
    const std::string outcome = run("INSERT INTO T(A) select a.A from T a, T b, T c");
    ended = true;
    interrupter.join();
    EXPECT_EQ(outcome, "interrupted (the transaction was rolled back)");
    EXPECT_FALSE(m_conn.inTransaction());
    EXPECT_EQ(run("select count(*) AS N from T"), "N | int 100");
    EXPECT_EQ(run("commit"), "no transaction is open");
}

// Added columns inside a transaction -----------------------------------------

// Inside a transaction ADD COLUMN waits and is written with the table's next use, in
// one rewrite of its definition. Nothing a statement does may show that: the same
// outcomes, the same refusals at the same statements, and the same file, as when every
// statement runs on its own.
TEST(EngineAddedColumns, WaitingShowsInNothingAStatementDoes) {
    // BEGIN and COMMIT count only in the run in transactions; "other: " sends the
    // statement on a second connection to the file.
    const std::vector<std::string> script = {
        "BEGIN",
        "CREATE TABLE T(ID LONG, PRIMARY KEY(ID))",
        "INSERT INTO T VALUES(1)",
        "ALTER TABLE T ADD COLUMN A TEXT(5)",
        "ALTER TABLE T ADD COLUMN  B DATE",
        "CREATE TABLE U(X LONG)",
        "ALTER TABLE T ADD COLUMN a MEMO",  // taken, in another letter case
        "INSERT INTO U VALUES(1)",
        "ALTER TABLE T ADD COLUMN C YESNO",
        "ALTER TABLE T ADD COLUMN D BLOB",          // no such type
        "ALTER TABLE T ADD COLUMN TWO WORDS TEXT",  // not a name
        "ALTER TABLE T ADD COLUMN W TEXT(256)",     // no such width
        "select * from T",
        "ALTER TABLE T ADD COLUMN 電話 TEXT(8)",  // typed by Japanese users
        "ALTER TABLE T ADD COLUMN E TEXT",
        "INSERT INTO T(ID, B) VALUES(2, 'hello')",
        "INSERT INTO T(ID, E) VALUES(3, '')",
        "allow t.e",
        "INSERT INTO T(ID, E, C) VALUES(4, '', True)",
        "ALTER TABLE T ADD COLUMN F DOUBLE",
        "ALTER TABLE U ADD COLUMN Y TEXT(3)",
        "select count(*) from U",
        "catalog T",
        "select ID, E, C from [T] where E=''",
        "ALTER TABLE T ADD COLUMN G TEXT(2)",
        "ALTER TABLE U ADD COLUMN Z LONG",  // two tables wait at the commit
        "COMMIT",
        // Both connections read the definitions as written, also when the columns were
        // the transaction's only change to the schema.
        "INSERT INTO T(ID, G) VALUES(9, 'abc')",
        "select * from T where ID=4",
        "other: INSERT INTO T(ID, G) VALUES(9, 'abc')",
        "other: select * from T where ID=4",
        "BEGIN",
        "INSERT INTO T(ID) VALUES(10)",
        "ALTER TABLE T ADD COLUMN H LONG",
        "COMMIT",
        "other: select ID, H from T where ID=10",
        // The stored definitions (not the page numbers, which depend on when pages were
        // taken).
        "select type, name, tbl_name, sql from sqlite_master",
    };
    const auto run = [&](bool inTransactions) {
        rvtest::TempDir dir;
        const std::string cs = jet::ConnectionString::build(dir.file("t.mdb"), "pw");
        jet::Catalog::create(cs);
        Connection c, other;
        c.open(cs);
        other.open(cs);
        Strings outcomes;
        for (const std::string& s : script) {
            if (s == "BEGIN" || s == "COMMIT") {
                outcomes.push_back(inTransactions ? outcome(c, s) : "ok");
            } else {
                outcomes.push_back(s.starts_with("other: ") ? outcome(other, s.substr(7))
                                                            : outcome(c, s));
            }
        }
        return outcomes;
    };
    const Strings alone = run(false);
    EXPECT_EQ(run(true), alone);
    // What the statements did, in brief.
    const auto of = [&](const std::string& statement) {
        return alone[std::find(script.begin(), script.end(), statement) - script.begin()];
    };
    EXPECT_EQ(of("ALTER TABLE T ADD COLUMN a MEMO"),
              "duplicate column name: a in: ALTER TABLE T ADD COLUMN a MEMO");
    EXPECT_EQ(of("catalog T"),
              "ID LONG 1; A TEXT(5) 2; B DATE 3; C YESNO 3; 電話 TEXT(8) 2; E "
              "TEXT(255) 2 zero-length; F DOUBLE 3; ");
    EXPECT_EQ(of("INSERT INTO T(ID, B) VALUES(2, 'hello')"), "T.B: not a date (YYYY-MM-DD)");
    EXPECT_EQ(of("INSERT INTO T(ID, E) VALUES(3, '')"), "T.E: zero-length string not allowed");
    EXPECT_EQ(of("select ID, E, C from [T] where E=''"), "ID E C | int 4 text  int -1");
    EXPECT_EQ(of("INSERT INTO T(ID, G) VALUES(9, 'abc')"), "T.G: at most 2 characters");
}

// Inside a transaction, a column added waits. A trigger reaches its table without naming it
// in the statement, so the column does not wait while there is one; a record set opened
// before reads on past the commit that writes the waiting columns.
TEST_F(Engine, WaitingColumnsMeetTriggersAndOpenRecordSets) {
    m_conn.execute("CREATE TABLE T(ID LONG)");
    m_conn.execute("CREATE TABLE U(X LONG)");
    ASSERT_EQ(rvtest::RawDb(m_dir.file("t.mdb"), "secret")
                  .exec("CREATE TRIGGER W AFTER INSERT ON U BEGIN INSERT INTO T(ID, A) "
                        "VALUES(NEW.X, 'w'); END"),
              "ok");
    m_conn.execute("INSERT INTO T VALUES(1)");
    m_conn.execute("INSERT INTO T VALUES(2)");
    m_conn.beginTrans();
    jet::Recordset rs = m_conn.execute("select ID from T");
    m_conn.execute("INSERT INTO T VALUES(3)");  // a write: what follows may wait
    m_conn.execute("ALTER TABLE T ADD COLUMN A TEXT(5)");
    EXPECT_EQ(run("INSERT INTO U VALUES(4)"), "ok");
    m_conn.commitTrans();
    rs.moveNext();
    EXPECT_EQ(shown(rs.field(0)), "int 2");
    EXPECT_EQ(run("select A from T where ID=4"), "A | text w");
}

// Rolled back, or released without commit: nothing of the transaction stays, neither a
// table it made nor columns and properties still waiting or already written.
TEST_F(Engine, RollbackTakesBackTablesAndWaitingColumns) {
    m_conn.execute("CREATE TABLE T(ID LONG, N TEXT(5))");
    const std::string before = run("select sql from sqlite_master");
    for (const char* end : {"rollback", "written, rollback", "release"}) {
        m_conn.beginTrans();
        m_conn.execute("CREATE TABLE NEW(X LONG)");
        m_conn.execute("INSERT INTO T(ID) VALUES(1)");
        m_conn.execute("ALTER TABLE T ADD COLUMN A TEXT(5)");
        m_conn.execute("ALTER TABLE T ADD COLUMN B LONG");
        jet::Catalog(m_conn).setProperty("T", "N", jet::kAllowZeroLength, true);
        ASSERT_EQ(jet::Catalog(m_conn).table("T").columns.size(), 4u);
        if (end == std::string("written, rollback")) {
            m_conn.execute("INSERT INTO T(ID, N) VALUES(2, '')");
        }
        if (end == std::string("release")) {
            m_conn.close();
            m_conn.open(m_connStr);
        } else {
            m_conn.rollbackTrans();
        }
        SCOPED_TRACE(end);
        EXPECT_EQ(run("select sql from sqlite_master"), before);
        EXPECT_EQ(jet::Catalog(m_conn).property("T", "N", jet::kAllowZeroLength), "False");
        EXPECT_EQ(run("INSERT INTO T(ID, A) VALUES(2, 'x')"),
                  "table T has no column named A in: INSERT INTO T(ID, A) VALUES(2, 'x')");
    }
}

// The rules live in the file: a client that is not this engine, holding only the password,
// is held to them too. Their stored text is part of the file format: files made by earlier
// versions are read and edited by it.
TEST_F(Engine, RulesInTheFileHoldForARawSqlcipherClient) {
    m_conn.execute("CREATE TABLE PRJ_DETAIL(SYURUI TEXT(20), NAIYOU           TEXT(100))");
    jet::Catalog(m_conn).setProperty("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength, true);
    m_conn.execute("CREATE TABLE H(T TEXT(3), M MEMO, L LONG, N DOUBLE, D DATE, B YESNO)");
    rvtest::RawDb raw(m_dir.file("t.mdb"), "secret");
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(NAIYOU) VALUES('')"), "ok");
    // A rule that could come out null would let the value pass.
    EXPECT_EQ(raw.exec("INSERT INTO H(D) VALUES('hello')"),
              "CHECK constraint failed: H.D: not a date (YYYY-MM-DD)");
    EXPECT_EQ(raw.exec("INSERT INTO H VALUES('abc','m','20',1.5,'2026-12-05',-1)"), "ok");
    EXPECT_EQ(raw.scalar("SELECT typeof(L) FROM H"), "integer");
    EXPECT_EQ(raw.scalar("SELECT sql FROM sqlite_master WHERE name='PRJ_DETAIL'"),
              "CREATE TABLE \"PRJ_DETAIL\"(\"SYURUI\" TEXT(20) COLLATE NOCASE CONSTRAINT "
              "\"PRJ_DETAIL.SYURUI: not a text\" CHECK(\"SYURUI\" IS NULL OR typeof(\"SYURUI\")"
              "<>'blob' AND instr(\"SYURUI\",char(0))=0) CONSTRAINT \"PRJ_DETAIL.SYURUI: at most "
              "20 characters\" CHECK(\"SYURUI\" IS NULL OR length(\"SYURUI\")<=20) CONSTRAINT "
              "\"PRJ_DETAIL.SYURUI: zero-length string not allowed\" CHECK(\"SYURUI\" IS NULL OR "
              "length(\"SYURUI\")>0), \"NAIYOU\" TEXT(100) COLLATE NOCASE CONSTRAINT "
              "\"PRJ_DETAIL.NAIYOU: not a text\" CHECK(\"NAIYOU\" IS NULL OR typeof(\"NAIYOU\")"
              "<>'blob' AND instr(\"NAIYOU\",char(0))=0) CONSTRAINT \"PRJ_DETAIL.NAIYOU: at most "
              "100 characters\" CHECK(\"NAIYOU\" IS NULL OR length(\"NAIYOU\")<=100))");
}

// A file made before the rules were null-proof: its zero-length rules have their
// earlier text, which is still read as the property and can still be set.
TEST_F(Engine, EarlierRuleTextsKeepWorking) {
    rvtest::RawDb raw(m_dir.file("t.mdb"), "secret");
    ASSERT_EQ(raw.exec("CREATE TABLE \"PRJ_DETAIL\"(\"SYURUI\" TEXT(20) COLLATE NOCASE "
                       "CONSTRAINT \"PRJ_DETAIL.SYURUI: at most 20 characters\" "
                       "CHECK(length(\"SYURUI\")<=20) CONSTRAINT \"PRJ_DETAIL.SYURUI: "
                       "zero-length string not allowed\" CHECK(\"SYURUI\"<>''), \"NAIYOU\" "
                       "TEXT(100) COLLATE NOCASE CONSTRAINT \"PRJ_DETAIL.NAIYOU: at most 100 "
                       "characters\" CHECK(length(\"NAIYOU\")<=100) CONSTRAINT "
                       "\"PRJ_DETAIL.NAIYOU: zero-length string not allowed\" "
                       "CHECK(\"NAIYOU\"<>''))"),
              "ok");
    ASSERT_EQ(raw.exec("INSERT INTO PRJ_DETAIL VALUES('a','b')"), "ok");
    jet::Catalog catalog(m_conn);
    EXPECT_EQ(catalog.property("PRJ_DETAIL", "SYURUI", jet::kAllowZeroLength), "False");
    EXPECT_EQ(catalog.property("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength), "False");
    catalog.setProperty("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength, true);
    catalog.setProperty("PRJ_DETAIL", "SYURUI", jet::kAllowZeroLength, true);
    catalog.setProperty("PRJ_DETAIL", "SYURUI", jet::kAllowZeroLength, false);
    m_conn.execute("ALTER TABLE PRJ_DETAIL ADD COLUMN  D DATE");

    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(SYURUI,NAIYOU) VALUES('x','')"), "ok");
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(SYURUI) VALUES('')"),
              "CHECK constraint failed: PRJ_DETAIL.SYURUI: zero-length string not allowed");
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(D) VALUES('2026-13-45')"),
              "CHECK constraint failed: PRJ_DETAIL.D: not a date (YYYY-MM-DD)");
    EXPECT_EQ(raw.scalar("SELECT count(*) FROM PRJ_DETAIL"), "2");
    EXPECT_EQ(raw.scalar("PRAGMA integrity_check"), "ok");
}

// The builder fills its statements with field IDs as typed: a value is never filled again.
TEST(Placeholders, FillIsOnePassLeftToRight) {
    EXPECT_EQ(jet::fill("%1=%2", {"A%2B", "x"}), "A%2B=x");
    EXPECT_EQ(jet::fill("%2-%1-%2", {"a", "b"}), "b-a-b");
    EXPECT_EQ(jet::fill("100% %3 %", {"x"}), "100% %3 %");
}

// Files ----------------------------------------------------------------------

TEST_F(Engine, FailedOpensLeaveFilesAloneAndAnEmptyFileStaysEmptyUntilACommit) {
    const std::string path = m_dir.file("t.mdb");
    const std::string before = rvtest::readBytes(path);
    std::string damaged = before;
    for (size_t i = 0; i < 64 && i < damaged.size(); ++i) {
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
    }
    std::ofstream(m_dir.file("damaged.mdb"), std::ios::binary) << damaged;
    std::ofstream(m_dir.file("text.mdb")) << "this is not a database at all, not even close....";
    std::ofstream(m_dir.file("empty.mdb"));

    // File name ("" for the folder itself), password, and the kind a window names.
    using Kind = jet::ErrorKind;
    const std::tuple<const char*, const char*, Kind> refused[] = {
        {"t.mdb", "wrong", Kind::kNotADatabase},        {"t.mdb", "", Kind::kNotADatabase},
        {"missing.mdb", "", Kind::kNoSuchFile},         {"", "", Kind::kNotAFile},
        {"text.mdb", "", Kind::kNotADatabase},          {"empty.mdb", "", Kind::kNotADatabase},
        {"damaged.mdb", "secret", Kind::kNotADatabase},
    };
    for (const auto& [file, password, kind] : refused) {
        const std::string connStr = jet::ConnectionString::build(m_dir.file(file), password);
        const jet::Error e = failure([&] { Connection().open(connStr); });
        EXPECT_EQ(e.code(), static_cast<int>(jet::ErrorCode::kCannotOpen)) << connStr;
        EXPECT_EQ(e.kind(), kind) << connStr;
    }
    EXPECT_EQ(rvtest::readBytes(path), before);
    EXPECT_EQ(rvtest::readBytes(m_dir.file("damaged.mdb")), damaged);
    EXPECT_FALSE(std::filesystem::exists(m_dir.file("missing.mdb")));

    // The file of no bytes, taken as a new database: a rolled-back write leaves it empty, a
    // committed one makes it a database that only its password opens.
    const std::string empty = m_dir.file("empty.mdb");
    for (bool commit : {false, true}) {
        Connection db;
        db.open(jet::ConnectionString::build(empty, "pw"), Connection::EmptyFile::kNewDatabase);
        db.beginTrans();
        db.execute("CREATE TABLE T(A LONG)");
        if (commit) {
            db.commitTrans();
        } else {
            db.rollbackTrans();
        }
        db.close();
        EXPECT_EQ(std::filesystem::file_size(empty) == 0, !commit);
    }
    EXPECT_EQ(rvtest::RawDb(empty, "pw").scalar("SELECT count(*) FROM T"), "0");
    EXPECT_FALSE(std::filesystem::exists(empty + "-journal"));
}

TEST_F(Engine, PasswordDecidesEncryption) {
    const std::string plain = m_dir.file("plain.mdb");
    jet::Catalog::create(jet::ConnectionString::build(plain, ""));
    EXPECT_EQ(rvtest::readBytes(plain).substr(0, 15), "SQLite format 3");
    EXPECT_NE(rvtest::readBytes(m_dir.file("t.mdb")).substr(0, 15), "SQLite format 3");

    EXPECT_EQ(
        failure([&] { jet::Catalog::create(jet::ConnectionString::build(plain, "")); }).code(),
        static_cast<int>(jet::ErrorCode::kFileExists));
}

// What a window says of a failure: the statement's own kind survives the translation, and
// SQLite's codes, extended ones included, fall into the kinds a user is told of.
TEST_F(Engine, EveryFailureHasAKindAndEveryKindAJapaneseReason) {
    using Kind = jet::ErrorKind;
    m_conn.execute("CREATE TABLE T(A TEXT(5) NOT NULL)");
    const std::pair<const char*, Kind> statements[] = {
        {"INSERT INTO T VALUES('it's')", Kind::kUnterminated},
        {"INSERT INTO T VALUES([A)", Kind::kUnterminated},
        {"INSERT INTO T VALUES(NULL)", Kind::kValueRefused},
        {"SELECT * FROM NOWHERE", Kind::kOther},
        {"INSERT T", Kind::kSyntax},
        // One statement at a time.
        {"select 1; drop table T", Kind::kSyntax},
        {"select 1 -- drop", Kind::kSyntax},
    };
    for (const auto& [sql, kind] : statements) {
        EXPECT_EQ(failure([&] { m_conn.execute(sql); }).kind(), kind) << sql;
    }
    // SQLite's codes for what no test can bring about here (SQLITE_READONLY_DIRECTORY,
    // SQLITE_FULL, SQLITE_IOERR_WRITE, SQLITE_BUSY_SNAPSHOT, SQLITE_NOTADB).
    const std::pair<int, Kind> codes[] = {{(6 << 8) | 8, Kind::kReadOnly},
                                          {13, Kind::kDiskFull},
                                          {(3 << 8) | 10, Kind::kDiskError},
                                          {(2 << 8) | 5, Kind::kLocked},
                                          {26, Kind::kNotADatabase}};
    for (const auto& [code, kind] : codes) {
        EXPECT_EQ(jet::kindOf(code), kind) << code;
    }
    std::vector<std::string_view> reasons;
    for (int k = 0; k < jet::kErrorKinds; ++k) {
        reasons.push_back(jet::reasonInJapanese(static_cast<Kind>(k)));
        EXPECT_GT(reasons.back().size(), 3U) << k;
    }
    EXPECT_EQ(reasons[static_cast<int>(Kind::kUnterminated)],
              "引用符または括弧が閉じられていません。");
    // The kinds a window names, each in a sentence of its own.
    for (Kind kind : {Kind::kLocked, Kind::kReadOnly, Kind::kDiskFull, Kind::kUnterminated,
                      Kind::kNotADatabase, Kind::kNoSuchFile}) {
        EXPECT_EQ(std::count(reasons.begin(), reasons.end(), jet::reasonInJapanese(kind)), 1);
    }
}

// The ADO form as hosts write it, and the texts built for them; any path and password read
// back as themselves (the fuzz target's round trip), also a password made to look like
// another Data Source.
TEST(EngineConnectionString, ParsesTheAdoFormAndBuildsTheHostsForms) {
    using jet::ConnectionString;
    auto cs = ConnectionString::parse(
        " provider = Microsoft.Jet.OLEDB.4.0 ;DATA SOURCE= /a b/c.mdb ; Jet OLEDB:Database "
        "Password=p=w;Persist Security Info=False");
    EXPECT_EQ(cs.dataSource(), "/a b/c.mdb");
    EXPECT_EQ(cs.password(), "p=w");
    EXPECT_EQ(ConnectionString::parse("Data Source='a''b\"c'").dataSource(), "a'b\"c");
    for (const char* bad : {"Provider=SQLOLEDB;Data Source=x", "Provider=Microsoft.Jet.OLEDB.4.0",
                            "Data Source=x;Colour=blue", "Data Source=x;junk", "Data Source=\"x",
                            "Data Source=\"x\"y",
                            // A key named twice (the fuzz target names Data Source twice).
                            "Data Source=A.mdb;Mode=Read;Mode=Share Deny None",
                            // ... also in another letter case.
                            "Data Source=a;data source=b"}) {
        EXPECT_THROW(ConnectionString::parse(bad), jet::Error) << bad;
    }
    // A path cannot hold a NUL character: it would name another file.
    EXPECT_THROW(ConnectionString::parse(std::string("Data Source=a\0b", 15)), jet::Error);
    EXPECT_EQ(
        ConnectionString::build("/x.mdb", "pw"),
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x.mdb; Jet OLEDB:Database Password=pw;");
    const std::string injected = ";Data Source=/d/v.db;Jet OLEDB:Database Password=";
    const std::string built = ConnectionString::build("/d/t.mdb", injected);
    EXPECT_EQ(built,
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/t.mdb; Jet OLEDB:Database "
              "Password=\";Data Source=/d/v.db;Jet OLEDB:Database Password=\";");
    EXPECT_EQ(ConnectionString::parse(built).password(), injected);
    const auto quoted = ConnectionString::parse(ConnectionString::build("/d/\"t\".mdb", "p\"w"));
    EXPECT_EQ(quoted.dataSource() + "|" + quoted.password(), "/d/\"t\".mdb|p\"w");
    EXPECT_EQ(ConnectionString::forFile("/t/base.mdb"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/t/base.mdb;Persist Security "
              "Info=False");
    // A path is named by its file's connection string; a connection string stays as it is.
    EXPECT_EQ(jet::connectionStringFor("/t/base.mdb"), ConnectionString::forFile("/t/base.mdb"));
    EXPECT_EQ(jet::connectionStringFor(built), built);
}

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

// On a server, interrupt() asks the server: a statement that would run for minutes fails
// at once, and the transaction goes on without it.
TEST(Server, InterruptAsksTheServerToStopItsStatement) {
    Connection conn;
    conn.open(jet::ConnectionString::build(rvtest::sharedPgServer().createDatabase(),
                                           rvtest::PgServer::kPassword));
    conn.execute("CREATE TABLE T(A LONG)");
    conn.beginTrans();
    for (int i = 0; i < 200; ++i) {
        conn.execute("INSERT INTO T(A) VALUES(" + std::to_string(i) + ")");
    }
    std::atomic<bool> ended = false;
    std::thread interrupter([&] {
        while (!ended) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            conn.interrupt();
        }
    });
    const auto start = std::chrono::steady_clock::now();
    const std::string stopped = outcome(conn, "select count(*) AS N from T a, T b, T c, T d");
    ended = true;
    interrupter.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_NE(stopped.find("canceling statement"), std::string::npos) << stopped;
    EXPECT_TRUE(conn.inTransaction());
    conn.commitTrans();
    EXPECT_EQ(outcome(conn, "select count(*) AS N from T"), "N | int 200");
}

}  // namespace
