// The Jet semantics the product relies on, through the public engine API.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "raw_db.h"
#include "temp_dir.h"

namespace {

using jet::Connection;
using Strings = std::vector<std::string>;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A value as read back: "int 20", "real 1.5", "text abc" or "null".
std::string shown(const jet::Value& v) {
    if (v.isNull()) {
        return "null";
    }
    return (v.isInteger() ? "int " : v.isDouble() ? "real " : "text ") + v.toString();
}

// The code of the jet::Error that `action` throws; 0 when it throws none.
template <typename Action>
int errorCode(Action action) {
    try {
        action();
    } catch (const jet::Error& e) {
        return e.code();
    }
    return 0;
}

class Engine : public ::testing::Test {
  protected:
    void SetUp() override {
        m_connStr = jet::ConnectionString::build(m_dir.file("t.mdb"), "secret");
        jet::Catalog::create(m_connStr);
        m_conn.open(m_connStr);
    }
    // "ok", or the engine's message.
    std::string run(const std::string& sql) {
        try {
            m_conn.execute(sql);
            return "ok";
        } catch (const jet::Error& e) {
            return e.what();
        }
    }
    // The first column of every row, shown.
    Strings column(const std::string& sql) {
        Strings out;
        for (auto rs = m_conn.execute(sql); !rs.eof(); rs.moveNext()) {
            out.push_back(shown(rs.field(0)));
        }
        return out;
    }

    rvtest::TempDir m_dir;
    std::string m_connStr;
    Connection m_conn;
};

TEST_F(Engine, ColumnRulesOverValues) {
    // CREATE TABLE R(V <column>), the row already there, the row inserted, and then the
    // value of V read back or the engine's refusal.
    struct Case {
        const char* column;
        const char* earlier;
        const char* row;
        const char* outcome;
    };
    const std::string wholeNumber = "R.V: not a whole number from -2147483648 to 2147483647";
    const Case cases[] = {
        {"TEXT(1)", "", "'T'", "text T"},
        {"TEXT(1)", "", "'TE'", "R.V: at most 1 character"},
        {"TEXT(10)", "", "'1234567890'", "text 1234567890"},
        {"TEXT(10)", "", "'12345678901'", "R.V: at most 10 characters"},
        {"TEXT(5)", "", "NULL", "null"},
        {"TEXT(5)", "", "''", "R.V: zero-length string not allowed"},
        {"TEXT(5) NOT NULL", "", "''", "R.V: zero-length string not allowed"},
        {"TEXT(5) NOT NULL", "", "NULL", "R.V: a value is required"},
        {"MEMO", "", "''", "R.V: zero-length string not allowed"},
        {"LONG", "", "'20'", "int 20"},
        {"LONG", "", "'-5'", "int -5"},
        {"LONG", "", "'12a'", wholeNumber.c_str()},
        {"LONG", "", "'abc'", wholeNumber.c_str()},
        {"LONG", "", "2147483648", wholeNumber.c_str()},
        {"DOUBLE", "", "'1.5'", "real 1.5"},
        {"DOUBLE", "", "'1.2.3'", "R.V: not a number"},
        {"DATE", "", "'2026-12-05'", "text 2026-12-05"},
        {"DATE", "", "'2026-12-05 10:30:00'", "text 2026-12-05 10:30:00"},
        {"DATE", "", "'2026-02-30'", "R.V: not a date (YYYY-MM-DD)"},
        {"YESNO", "", "'-1'", "int -1"},
        {"YESNO", "", "False", "int 0"},
        {"YESNO", "", "7", "R.V: not a Yes/No value"},
        // Values of another type, and values that make a careless rule come out null
        // (which would let them pass) or hide their length behind a NUL character.
        {"TEXT(5)", "", "12", "text 12"},
        {"TEXT(3)", "", "'a'||char(0)||'bcdefgh'", "R.V: not a text"},
        {"TEXT(5)", "", "X''", "R.V: not a text"},
        {"MEMO", "", "X'41'", "R.V: not a text"},
        {"MEMO", "", "'a'||char(0)", "R.V: not a text"},
        {"LONG", "", "'12'||char(0)||'x'", wholeNumber.c_str()},
        {"LONG", "", "X'3132'", wholeNumber.c_str()},
        {"DOUBLE", "", "'1.5'||char(0)||'x'", "R.V: not a number"},
        {"DOUBLE", "", "X'31'", "R.V: not a number"},
        {"DATE", "", "'2026-13-45'", "R.V: not a date (YYYY-MM-DD)"},
        {"DATE", "", "'hello'", "R.V: not a date (YYYY-MM-DD)"},
        {"DATE", "", "''", "R.V: not a date (YYYY-MM-DD)"},
        {"DATE", "", "'2026-12-05'||char(0)||'x'", "R.V: not a date (YYYY-MM-DD)"},
        {"DATE", "", "20261205", "R.V: not a date (YYYY-MM-DD)"},
        {"YESNO", "", "1", "R.V: not a Yes/No value"},
        {"YESNO", "", "'True'", "R.V: not a Yes/No value"},
        {"YESNO", "", "X'30'", "R.V: not a Yes/No value"},
        // A key is NOT NULL, and its texts compare without regard to case.
        {"LONG, PRIMARY KEY(V)", "", "NULL", "R.V: a value is required"},
        {"TEXT(5), PRIMARY KEY(V)", "'a'", "'A'", "R.V: the value is already in the table"},
        {"LONG, W LONG, UNIQUE(V,W)", "1,2", "'1','2'",
         "R.V, R.W: the value is already in the table"},
        {"LONG, W LONG, UNIQUE(V,W)", "1,2", "1,3", "int 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " <- " + c.row);
        m_conn.execute(std::string("CREATE TABLE R(V ") + c.column + ")");
        if (*c.earlier) {
            m_conn.execute(std::string("INSERT INTO R VALUES(") + c.earlier + ")");
        }
        std::string outcome = run(std::string("INSERT INTO R VALUES(") + c.row + ")");
        if (outcome == "ok") {
            outcome = shown(m_conn.execute("select V from R").field(0));
        }
        EXPECT_EQ(outcome, c.outcome);
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
        try {
            m_conn.execute(sql);
            ADD_FAILURE() << sql;
        } catch (const jet::Error& e) {
            EXPECT_STREQ(e.what(), "the database is locked by another program");
            EXPECT_EQ(e.code() & 0xff, SQLITE_BUSY);
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    other.rollbackTrans();
    EXPECT_EQ(run("INSERT INTO T VALUES(3)"), "ok");
}

TEST_F(Engine, CounterNumbersGrowAndAreNeverReused) {
    m_conn.execute("CREATE TABLE T(N COUNTER, S TEXT(5))");
    m_conn.execute("INSERT INTO T(S) VALUES('a')");
    m_conn.execute("INSERT INTO T(S) VALUES('b')");
    m_conn.execute("Delete from T where N= 2");
    m_conn.execute("INSERT INTO T(S) VALUES('c')");
    EXPECT_EQ(column("select max(N) from T"), Strings{"int 3"});
}

TEST_F(Engine, ZeroLengthRuleFollowsTheColumnPropertyInTheFile) {
    m_conn.execute("CREATE TABLE T(S TEXT(10) NOT NULL, N TEXT(100), M MEMO)");
    jet::Catalog catalog(m_conn);
    EXPECT_EQ(catalog.property("T", "N", jet::kAllowZeroLength), "False");
    catalog.setProperty("t", "n", jet::kAllowZeroLength, true);
    catalog.setProperty("T", "M", jet::kAllowZeroLength, true);
    m_conn.execute("INSERT INTO T VALUES('a','','')");
    EXPECT_EQ(run("INSERT INTO T(S) VALUES('')"), "T.S: zero-length string not allowed");

    // Kept in the file, shown by the catalog, and it can be taken back.
    m_conn.close();
    m_conn.open(m_connStr);
    jet::Catalog again(m_conn);
    std::vector<bool> allowed;
    for (const jet::ColumnInfo& c : again.table("T").columns) {
        allowed.push_back(c.allowZeroLength);
    }
    EXPECT_EQ(allowed, (std::vector<bool>{false, true, true}));
    again.setProperty("T", "N", jet::kAllowZeroLength, false);
    EXPECT_EQ(run("INSERT INTO T VALUES('b','','')"), "T.N: zero-length string not allowed");
}

TEST_F(Engine, PropertyChangesInsideATransactionAreUndoneWithIt) {
    m_conn.execute("CREATE TABLE T(A TEXT(5))");
    jet::Catalog catalog(m_conn);
    for (bool used : {false, true}) {  // still waiting to be written, or written and used
        m_conn.beginTrans();
        catalog.setProperty("T", "A", jet::kAllowZeroLength, true);
        if (used) {
            m_conn.execute("INSERT INTO T VALUES('')");
        }
        m_conn.rollbackTrans();
        EXPECT_EQ(catalog.property("T", "A", jet::kAllowZeroLength), "False") << used;
    }
    EXPECT_EQ(column("select count(*) from T"), Strings{"int 0"});
}

TEST_F(Engine, APropertyThatCannotBeWrittenChangesNothing) {
    m_conn.execute("CREATE TABLE T(A TEXT(5))");
    m_conn.execute("CREATE TABLE [T jet_reload](X LONG)");  // in the way of the rewrite
    jet::Catalog catalog(m_conn);
    EXPECT_THROW(catalog.setProperty("T", "A", jet::kAllowZeroLength, true), jet::Error);
    EXPECT_EQ(catalog.property("T", "A", jet::kAllowZeroLength), "False");
    EXPECT_EQ(run("INSERT INTO T VALUES('')"), "T.A: zero-length string not allowed");
}

TEST_F(Engine, CatalogListsTypesFlagsAndTheEnginesOwnTables) {
    m_conn.execute(
        "CREATE TABLE TEMP_FIELD(FIELD_NO COUNTER, P_FIELD_NO LONG, KIND TEXT(1) NOT NULL, "
        "FIELD_NAME TEXT, NOTE MEMO, D DATE, X DOUBLE, B YESNO)");
    const auto tables = jet::Catalog(m_conn).tables();
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].name, "sqlite_sequence");
    EXPECT_TRUE(tables[0].system);
    EXPECT_FALSE(tables[1].system);
    Strings columns;
    for (const jet::ColumnInfo& c : tables[1].columns) {
        columns.push_back(c.type + " " + std::to_string(c.attributes));
    }
    EXPECT_EQ(columns, (Strings{"COUNTER 1", "LONG 3", "TEXT(1) 0", "TEXT(255) 2", "MEMO 2",
                                "DATE 3", "DOUBLE 3", "YESNO 3"}));
}

TEST_F(Engine, ComparisonsIgnoreCaseAndNullsSortFirst) {
    m_conn.execute("CREATE TABLE T(KIND TEXT(1), SORTBY LONG, N LONG)");
    m_conn.execute("INSERT INTO T VALUES('f', 2, 1)");
    m_conn.execute("INSERT INTO T VALUES('F', NULL, 2)");
    m_conn.execute("INSERT INTO T VALUES('A', 1, 3)");
    EXPECT_EQ(column("select count(*) from T where kind='F'"), Strings{"int 2"});
    EXPECT_EQ(column("SELECT count(*) FROM t WHERE Kind=\"a\""), Strings{"int 1"});
    EXPECT_EQ(column("select N from T ORDER BY SORTBY"), (Strings{"int 2", "int 3", "int 1"}));
    EXPECT_EQ(column("select SORTBY from T ORDER BY SORTBY DESC"),
              (Strings{"int 2", "int 1", "null"}));
    EXPECT_EQ(column("select [N] from T where KIND = 'a' or N = 1 ORDER BY N"),
              (Strings{"int 1", "int 3"}));
}

TEST_F(Engine, AlterTableAddColumnAndDeleteStar) {
    m_conn.execute("CREATE TABLE ADDRESS(ADDRESS_NO  LONG NOT NULL, PRIMARY KEY(ADDRESS_NO))");
    m_conn.execute("ALTER TABLE ADDRESS ADD COLUMN  NAME TEXT");
    m_conn.execute("ALTER TABLE ADDRESS ADD COLUMN  ZIP TEXT(8)");
    Strings types;
    for (const jet::ColumnInfo& c : jet::Catalog(m_conn).table("ADDRESS").columns) {
        types.push_back(c.type);
    }
    EXPECT_EQ(types, (Strings{"LONG", "TEXT(255)", "TEXT(8)"}));

    m_conn.execute("INSERT INTO ADDRESS(ADDRESS_NO, NAME) VALUES(1, 'x')");
    m_conn.execute("INSERT INTO ADDRESS(ADDRESS_NO, NAME) VALUES(2, 'y')");
    m_conn.execute("delete * from address where name='X'");
    EXPECT_EQ(column("select ADDRESS_NO from ADDRESS"), Strings{"int 2"});
}

TEST_F(Engine, OnlyOneStatementPerExecute) {
    m_conn.execute("CREATE TABLE X(A LONG)");
    EXPECT_THROW(m_conn.execute("select 1; drop table X"), jet::Error);
    EXPECT_THROW(m_conn.execute("select 1 -- drop"), jet::Error);
    EXPECT_EQ(column("select count(*) from X;"), Strings{"int 0"}) << "a closing ';' is fine";
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
    EXPECT_EQ(column("select count(*) from C"), Strings{"int 0"});
}

TEST_F(Engine, ObserverSeesStatementsAsSent) {
    Strings seen;
    m_conn.setObserver([&](std::string_view s) { seen.emplace_back(s); });
    m_conn.execute("CREATE TABLE T(A LONG)");
    EXPECT_THROW(m_conn.execute("INSERT INTO T VALUES('x')"), jet::Error);
    EXPECT_EQ(seen, (Strings{"CREATE TABLE T(A LONG)", "INSERT INTO T VALUES('x')"}));
}

TEST_F(Engine, RecordSetsReadForwardAndTellNullFromEmpty) {
    m_conn.execute("CREATE TABLE T(A TEXT(5), B LONG)");
    jet::Catalog(m_conn).setProperty("T", "A", jet::kAllowZeroLength, true);
    m_conn.execute("INSERT INTO T VALUES('', 1)");
    m_conn.execute("INSERT INTO T VALUES(NULL, 2)");
    auto rs = m_conn.execute("select A, b as Bee from T order by B");
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.fieldName(1), "Bee");
    EXPECT_EQ(shown(rs.field("a")), "text ");
    rs.moveNext();
    EXPECT_EQ(shown(rs.field(0)), "null");
    EXPECT_EQ(shown(rs.field("BEE")), "int 2");
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_THROW(rs.field(0), jet::Error);
    EXPECT_THROW(rs.moveNext(), jet::Error);

    auto none = m_conn.execute("select A from T where B=9");
    EXPECT_TRUE(none.eof());
    EXPECT_TRUE(none.bof());
}

// Added columns inside a transaction -----------------------------------------

// One statement's outcome: "ok", a query's column names and rows, or the refusal.
// "catalog T" shows the catalog's columns of T; "allow T.C" sets C's zero-length
// property.
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
        if (statement.starts_with("allow ")) {
            const auto dot = statement.find('.');
            jet::Catalog(c).setProperty(statement.substr(6, dot - 6), statement.substr(dot + 1),
                                        jet::kAllowZeroLength, true);
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

// Inside a transaction ADD COLUMN waits and is written with the table's next use, in
// one rewrite of its definition. Nothing a statement does may show that: the same
// outcomes, the same refusals at the same statements, and the same file, as when every
// statement runs on its own.
TEST(EngineAddedColumns, WaitingShowsInNothingAStatementDoes) {
    const std::vector<std::string> script = {
        "CREATE TABLE T(ID LONG, PRIMARY KEY(ID))",
        "INSERT INTO T VALUES(1)",
        "ALTER TABLE T ADD COLUMN A TEXT(5)",
        "ALTER TABLE T ADD COLUMN  B DATE",
        "CREATE TABLE U(X LONG)",
        "ALTER TABLE T ADD COLUMN a MEMO",  // taken, in another letter case
        "INSERT INTO U VALUES(1)",
        "ALTER TABLE T ADD COLUMN C YESNO",
        "ALTER TABLE T ADD COLUMN C LONG",  // added twice
        "ALTER TABLE T ADD COLUMN D BLOB",  // no such type
        "ALTER TABLE T ADD COLUMN SELECT LONG",
        "ALTER TABLE NOPE ADD COLUMN X LONG",
        "select * from T",
        "ALTER TABLE T ADD COLUMN E TEXT",
        "catalog T",
        "INSERT INTO T(ID, B) VALUES(2, 'hello')",
        "INSERT INTO T(ID, E) VALUES(3, '')",
        "allow T.E",
        "INSERT INTO T(ID, E, C) VALUES(4, '', True)",
        "ALTER TABLE T ADD COLUMN F DOUBLE",
        "ALTER TABLE U ADD COLUMN Y TEXT(3)",
        "select count(*) from U",
        "catalog T",
        "select ID, E, C from [T] where E=''",
        "ALTER TABLE T ADD COLUMN G TEXT(2)",
    };
    struct Run {
        Strings outcomes;
        Strings file;
    };
    auto run = [&](bool oneTransaction) {
        rvtest::TempDir dir;
        const std::string cs = jet::ConnectionString::build(dir.file("t.mdb"), "pw");
        jet::Catalog::create(cs);
        Connection c, other;
        c.open(cs);
        other.open(cs);
        Run r;
        if (oneTransaction) {
            c.beginTrans();
        }
        for (const std::string& statement : script) {
            r.outcomes.push_back(outcome(c, statement));
        }
        if (oneTransaction) {
            c.commitTrans();
        }
        // Both connections read the definitions as written, also when the columns
        // were the transaction's only change to the schema.
        for (Connection* reader : {&c, &other}) {
            r.outcomes.push_back(outcome(*reader, "INSERT INTO T(ID, G) VALUES(9, 'abc')"));
            r.outcomes.push_back(outcome(*reader, "select * from T where ID=4"));
        }
        if (oneTransaction) {
            c.beginTrans();
        }
        r.outcomes.push_back(outcome(c, "INSERT INTO T(ID) VALUES(10)"));
        r.outcomes.push_back(outcome(c, "ALTER TABLE T ADD COLUMN H LONG"));
        if (oneTransaction) {
            c.commitTrans();
        }
        r.outcomes.push_back(outcome(other, "select ID, H from T where ID=10"));
        // The stored definitions (not the page numbers, which depend on when pages were
        // taken).
        for (auto rs = c.execute("select type, name, tbl_name, sql from sqlite_master"); !rs.eof();
             rs.moveNext()) {
            std::string row;
            for (int i = 0; i < rs.fieldCount(); ++i) {
                row += rs.field(i).toString() + "|";
            }
            r.file.push_back(row);
        }
        return r;
    };
    const Run alone = run(false);
    const Run together = run(true);
    EXPECT_EQ(together.outcomes, alone.outcomes);
    EXPECT_EQ(together.file, alone.file);
    // What the statements did, in brief.
    EXPECT_EQ(alone.outcomes[5], "duplicate column name: a in: ALTER TABLE T ADD COLUMN a MEMO");
    EXPECT_EQ(alone.outcomes[8], "duplicate column name: C in: ALTER TABLE T ADD COLUMN C LONG");
    EXPECT_EQ(alone.outcomes[12], "ID A B C | int 1 null null null");
    EXPECT_EQ(alone.outcomes[15], "T.B: not a date (YYYY-MM-DD)");
    EXPECT_EQ(alone.outcomes[16], "T.E: zero-length string not allowed");
    EXPECT_EQ(alone.outcomes[23], "ID E C | int 4 text  int -1");
    EXPECT_EQ(alone.outcomes[25], "T.G: at most 2 characters");
}

// A trigger reaches a table without naming it in the statement; a column added to it
// does not wait while there is one.
TEST_F(Engine, ATriggerSeesTheColumnsAddedBeforeIt) {
    m_conn.execute("CREATE TABLE T(ID LONG)");
    m_conn.execute("CREATE TABLE U(X LONG)");
    ASSERT_EQ(rvtest::RawDb(m_dir.file("t.mdb"), "secret")
                  .exec("CREATE TRIGGER W AFTER INSERT ON U BEGIN INSERT INTO T(ID, A) "
                        "VALUES(NEW.X, 'w'); END"),
              "ok");
    m_conn.beginTrans();
    m_conn.execute("INSERT INTO T(ID) VALUES(1)");
    m_conn.execute("ALTER TABLE T ADD COLUMN A TEXT(5)");
    EXPECT_EQ(run("INSERT INTO U VALUES(2)"), "ok");
    m_conn.commitTrans();
    EXPECT_EQ(column("select A from T where ID=2"), Strings{"text w"});
}

TEST_F(Engine, ARecordSetReadsOnPastTheCommitOfWaitingColumns) {
    m_conn.execute("CREATE TABLE T(ID LONG)");
    m_conn.execute("INSERT INTO T VALUES(1)");
    m_conn.execute("INSERT INTO T VALUES(2)");
    m_conn.beginTrans();
    jet::Recordset rs = m_conn.execute("select ID from T");
    m_conn.execute("INSERT INTO T VALUES(3)");
    m_conn.execute("ALTER TABLE T ADD COLUMN A TEXT(5)");
    m_conn.commitTrans();
    rs.moveNext();
    EXPECT_EQ(shown(rs.field(0)), "int 2");
    EXPECT_EQ(column("select count(A) from T"), Strings{"int 0"});
}

TEST_F(Engine, RollbackTakesBackWaitingColumns) {
    m_conn.execute("CREATE TABLE T(ID LONG, N TEXT(5))");
    const Strings before = column("select sql from sqlite_master");
    for (bool released : {false, true}) {
        m_conn.beginTrans();
        m_conn.execute("INSERT INTO T(ID) VALUES(1)");
        m_conn.execute("ALTER TABLE T ADD COLUMN A TEXT(5)");
        m_conn.execute("ALTER TABLE T ADD COLUMN B LONG");
        jet::Catalog(m_conn).setProperty("T", "N", jet::kAllowZeroLength, true);
        ASSERT_EQ(jet::Catalog(m_conn).table("T").columns.size(), 4u);
        if (released) {
            m_conn.close();
            m_conn.open(m_connStr);
        } else {
            m_conn.rollbackTrans();
        }
        EXPECT_EQ(column("select sql from sqlite_master"), before) << released;
        EXPECT_EQ(jet::Catalog(m_conn).table("T").columns.size(), 2u) << released;
        EXPECT_EQ(run("INSERT INTO T(ID, A) VALUES(2, 'x')"),
                  "table T has no column named A in: INSERT INTO T(ID, A) VALUES(2, 'x')");
    }
}

// Files ----------------------------------------------------------------------

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
    std::string damaged = before;
    for (size_t i = 0; i < 64 && i < damaged.size(); ++i) {
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
    }
    std::ofstream(dir.file("damaged.mdb"), std::ios::binary) << damaged;
    std::ofstream(dir.file("text.mdb")) << "this is not a database at all, not even close....";
    std::ofstream(dir.file("empty.mdb"));

    // File name ("" for the folder itself) and password.
    const std::pair<const char*, const char*> refused[] = {
        {"p.mdb", "wrong"}, {"p.mdb", ""},     {"missing.mdb", ""},      {"", ""},
        {"text.mdb", ""},   {"empty.mdb", ""}, {"damaged.mdb", "right"},
    };
    for (const auto& [file, password] : refused) {
        const std::string connStr = jet::ConnectionString::build(dir.file(file), password);
        EXPECT_EQ(errorCode([&] { Connection().open(connStr); }),
                  static_cast<int>(jet::ErrorCode::kCannotOpen))
            << connStr;
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(readBytes(dir.file("damaged.mdb")), damaged);
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.mdb")));
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

    EXPECT_EQ(errorCode([&] { jet::Catalog::create(jet::ConnectionString::build(plain, "")); }),
              static_cast<int>(jet::ErrorCode::kFileExists));
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
    EXPECT_EQ(jet::ConnectionString::parse("Data Source='a''b\"c'").dataSource(), "a'b\"c");
    for (const char* bad : {"Provider=SQLOLEDB;Data Source=x", "Provider=Microsoft.Jet.OLEDB.4.0",
                            "Data Source=x;Colour=blue", "Data Source=x;junk", "Data Source=\"x",
                            "Data Source=\"x\"y"}) {
        EXPECT_THROW(jet::ConnectionString::parse(bad), jet::Error) << bad;
    }
}

TEST(EngineConnectionString, EveryPathAndPasswordReadsBackAsItself) {
    using jet::ConnectionString;
    // Path, password, and the built text where it is the product's plain form.
    struct Case {
        std::string path;
        std::string password;
        const char* built;
    };
    const Case cases[] = {
        {"/x.mdb", "pw",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x.mdb; Jet OLEDB:Database Password=pw;"},
        {"/a b/電話帳=1.mdb", "",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a b/電話帳=1.mdb; Jet OLEDB:Database "
         "Password=;"},
        {"/d/t.mdb", ";Data Source=/d/v.db;Jet OLEDB:Database Password=",
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/t.mdb; Jet OLEDB:Database "
         "Password=\";Data Source=/d/v.db;Jet OLEDB:Database Password=\";"},
        {"/d/t.mdb", " pw ", nullptr},
        {"/d/a;b.mdb", "\tpw", nullptr},
        {"/d/\"q\".mdb", "it's", nullptr},
        {"'/d/x.mdb'", "\"", nullptr},
        {"/d/x.mdb\n", "pw\r", nullptr},
        {" ", "\"\"", nullptr},
    };
    for (const Case& c : cases) {
        const std::string built = ConnectionString::build(c.path, c.password);
        if (c.built) {
            EXPECT_EQ(built, c.built);
        }
        const ConnectionString back = ConnectionString::parse(built);
        EXPECT_EQ(back.dataSource(), c.path) << built;
        EXPECT_EQ(back.password(), c.password) << built;
        EXPECT_EQ(ConnectionString::parse(ConnectionString::forFile(c.path)).dataSource(), c.path);
    }
    EXPECT_EQ(ConnectionString::forFile("/t/base.mdb"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/t/base.mdb;Persist Security "
              "Info=False");
    // A path cannot hold a NUL character, and a password does not either.
    const std::string nul("a\0b", 3);
    EXPECT_EQ(errorCode([&] { ConnectionString::build(nul, ""); }),
              static_cast<int>(jet::ErrorCode::kConnectionString));
    EXPECT_EQ(errorCode([&] { ConnectionString::build("/x.mdb", nul); }),
              static_cast<int>(jet::ErrorCode::kConnectionString));
    EXPECT_EQ(errorCode([&] { ConnectionString::parse("Data Source=" + nul); }),
              static_cast<int>(jet::ErrorCode::kConnectionString));
}

}  // namespace
