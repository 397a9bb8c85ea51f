// SPDX-License-Identifier: MIT
// rv_sql's shell as values: statements read from lines, query results in each output
// format, and the dot-commands, on a real database.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/recordset.h"
#include "pg_server.h"
#include "sql_shell.h"
#include "temp_dir.h"

namespace {

// "line:text" of each statement, joined by " | ".
std::string shown(const std::vector<sql_shell::Statement>& statements) {
    std::string text;
    for (const sql_shell::Statement& s : statements) {
        text += (text.empty() ? "" : " | ") + std::to_string(s.line) + ":" + s.text;
    }
    return text;
}

TEST(SqlShell, ScriptsSplitIntoStatements) {
    const struct {
        std::string script, statements;
    } cases[] = {
        // No line ends with ';': one statement a line, as scripts always had it.
        {"-- c\n\nselect 1\r\n  select 2; x\n.tables\n",
         "3:select 1 | 4:  select 2; x | 5:.tables"},
        // A line ending with ';' ends a statement; until then lines join, comments between
        // them left out; what is left at the end runs too.
        {"select a,\n  b\n-- c\n  from t;\n\n.schema T\nselect 2 ;  \nselect 3",
         "1:select a,\n  b\n  from t; | 6:.schema T | 7:select 2 ;   | 8:select 3"},
        // A ';' inside a quoted text ends nothing, across lines too.
        {"insert into t values('a;\nb;');\nselect [x;\n];",
         "1:insert into t values('a;\nb;'); | 3:select [x;\n];"},
        {"select 'it''s;'\n;", "1:select 'it''s;'\n;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(sql_shell::splitScript(c.script)), c.statements) << c.script;
    }
}

// Ctrl+C drops the statement being typed, an open quote with it.
TEST(SqlShell, ClearingDropsTheStatementBegun) {
    sql_shell::StatementReader reader(true);
    EXPECT_FALSE(reader.feed("select 'a;", 1));
    reader.clear();
    EXPECT_FALSE(reader.pending());
    const auto statement = reader.feed("select 1;", 2);
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->text, "select 1;");
}

// Each dot-command as it reads, or why it is refused.
TEST(SqlShell, DotCommandsRead) {
    using Kind = sql_shell::DotCommand::Kind;
    const auto read = [](const std::string& line) -> std::string {
        try {
            const sql_shell::DotCommand c = sql_shell::parseDotCommand(line);
            std::string text = std::to_string(static_cast<int>(c.kind));
            for (const std::string& a : c.arguments) {
                text += " <" + a + ">";
            }
            if (c.kind == Kind::kHeaders) {
                text += c.on ? " on" : " off";
            }
            if (c.kind == Kind::kMode) {
                text += " format " + std::to_string(static_cast<int>(c.format));
            }
            return text;
        } catch (const std::runtime_error& e) {
            return std::string("error: ") + e.what();
        }
    };
    const auto kind = [](Kind k) { return std::to_string(static_cast<int>(k)); };
    const std::pair<std::string, std::string> cases[] = {
        {".quit", kind(Kind::kQuit)},
        {"  .exit  ", kind(Kind::kQuit)},
        {".quit now", "error: usage: .quit"},
        {".headers on", kind(Kind::kHeaders) + " <on> on"},
        {".headers off", kind(Kind::kHeaders) + " <off> off"},
        {".headers", "error: usage: .headers on|off"},
        {".headers yes", "error: usage: .headers on|off"},
        {".mode list", kind(Kind::kMode) + " <list> format 1"},
        {".mode json", kind(Kind::kMode) + " <json> format 3"},
        {".mode html", "error: usage: .mode tabs|list|csv|json"},
        {".read 'my file.sql'", kind(Kind::kRead) + " <my file.sql>"},
        {".read a b", "error: usage: .read FILE"},
        {".read 'a", "error: unterminated ' in \".read 'a\""},
        {".schema [A B]", kind(Kind::kSchema) + " <[A B]>"},
        {".allow-zero-length T.C [A B].[C.D]",
         kind(Kind::kAllowZeroLength) + " <T.C> <[A B].[C.D]>"},
        {".allow-zero-length T", "error: TABLE.COLUMN wanted, not \"T\""},
        {".allow-zero-length T.C.D", "error: TABLE.COLUMN wanted, not \"T.C.D\""},
        {".tables x", "error: usage: .tables"},
        {".bail on", "error: unknown command \".bail\"; .help lists the commands"},
    };
    for (const auto& [line, outcome] : cases) {
        EXPECT_EQ(read(line), outcome) << line;
    }
    const auto [table, column] = sql_shell::tableAndColumn("[A B].[C.D]");
    EXPECT_EQ(table + "|" + column, "A B|C.D");
}

class SqlShellOnADatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string conn = jet::ConnectionString::build(m_dir.file("s.mdb"), "");
        jet::Catalog::create(conn);
        m_conn.open(conn);
        m_conn.execute("CREATE TABLE T(ID COUNTER, A LONG NOT NULL, B MEMO)");
        jet::Catalog(m_conn).setProperty("T", "B", jet::kAllowZeroLength, true);
        for (const char* b : {"'x'", "NULL", "''", "'a\tb\nc\"d,e\\'"}) {
            m_conn.execute("INSERT INTO T(A,B) VALUES(" + std::to_string(++m_rows) + "," + b + ")");
        }
    }
    std::string print(sql_shell::Format format, const std::string& where = "") {
        jet::Recordset rs = m_conn.execute("SELECT A, B FROM T" + where + " ORDER BY A");
        std::ostringstream out;
        sql_shell::printRecordset(out, rs, {format, format == sql_shell::Format::kTabs});
        return out.str();
    }

    rvtest::TempDir m_dir;
    jet::Connection m_conn;
    int m_rows = 0;
};

// A null, an empty text, a tab, a line feed, a quote, a comma and a backslash: each format
// keeps them apart.
TEST_F(SqlShellOnADatabase, EachFormatKeepsNullEmptyAndControlCharactersApart) {
    using sql_shell::Format;
    EXPECT_EQ(print(Format::kTabs), "A\tB\n1\tx\n2\t\\N\n3\t\n4\ta\\tb\\nc\"d,e\\\\\n");
    EXPECT_EQ(print(Format::kCsv), "1,x\n2,\n3,\"\"\n4,\"a\tb\nc\"\"d,e\\\"\n");
    EXPECT_EQ(print(Format::kJson),
              "[{\"A\":1,\"B\":\"x\"},\n{\"A\":2,\"B\":null},\n{\"A\":3,\"B\":\"\"},\n"
              "{\"A\":4,\"B\":\"a\\tb\\nc\\\"d,e\\\\\"}]\n");
    EXPECT_EQ(print(Format::kJson, " WHERE A > 9"), "[]\n");
}

TEST_F(SqlShellOnADatabase, HeaderLineAndList) {
    jet::Recordset rs = m_conn.execute("SELECT A, B FROM T WHERE A < 3 ORDER BY A");
    std::ostringstream out;
    sql_shell::printRecordset(out, rs, {sql_shell::Format::kList, true});
    EXPECT_EQ(out.str(), "A|B\n1|x\n2|\n");
}

// A session runs the statements of a text in order, each counted and named by the line it
// begins on; the first that fails stops the rest. Dot-commands change what follows.
TEST_F(SqlShellOnADatabase, SessionRunsStatementsInOrder) {
    std::ostringstream out;
    sql_shell::Session session(m_conn, out, {});
    const auto run = [&](const std::string& text, int line) {
        out.str("");
        try {
            session.run({text, line});
        } catch (const sql_shell::Failure& e) {
            return out.str() + "error: " + e.what();
        }
        return out.str();
    };
    EXPECT_EQ(run("INSERT INTO T(A) VALUES(5);INSERT INTO T(A) VALUES(6); "
                  "SELECT COUNT(*) AS N FROM T WHERE B IS NULL AND A <> 2;",
                  1),
              "N\n2\n");
    EXPECT_EQ(session.count(), 3u);
    // A ';' inside a text or a [name] separates nothing.
    EXPECT_EQ(run("SELECT ';' AS [a;b]", 2), "a;b\n;\n");
    EXPECT_EQ(run("SELECT 1 AS X;\n  SELECT nope FROM T; SELECT 3 AS Y;", 7),
              "X\n1\nerror: statement 6 (line 8): no such column: nope in: SELECT nope FROM T");
    EXPECT_EQ(run(".mode csv", 9), "");
    EXPECT_EQ(run(".headers off", 10), "");
    EXPECT_EQ(run("SELECT A FROM T WHERE A > 4 ORDER BY A;", 11), "5\n6\n");
    EXPECT_EQ(run(".mode nope", 12),
              "error: statement 10 (line 12): usage: .mode tabs|list|csv|json");
    // Text the lexer refuses goes to the engine whole, which says what is wrong.
    EXPECT_EQ(run("SELECT 'a'; -- not Jet", 13),
              "error: statement 11 (line 13): comments are not part of Jet SQL");
    EXPECT_NE(run(".help", 14).find(".quit, .exit"), std::string::npos);
    EXPECT_EQ(run(".schema NOPE", 15), "error: statement 13 (line 15): no such table: NOPE");
    bool goOn = true;
    EXPECT_NO_THROW(goOn = session.run({".exit", 16}));
    EXPECT_FALSE(goOn);
}

// .read runs a file as a script, naming the file in a failure; a .quit in it ends all.
TEST_F(SqlShellOnADatabase, ReadRunsAFile) {
    const std::string inner = m_dir.file("inner.sql");
    std::ofstream(inner) << "INSERT INTO T(A) VALUES(7);\nSELECT A FROM T\n  WHERE A = 7;\n"
                            "SELECT nope;\n";
    const std::string quits = m_dir.file("quits.sql");
    std::ofstream(quits) << ".read " << inner << "\n";
    std::ofstream(m_dir.file("q.sql")) << ".quit\nSELECT 1;\n";
    std::ostringstream out;
    sql_shell::Session session(m_conn, out, {sql_shell::Format::kTabs, false});
    std::string failure;
    try {
        session.run({".read " + quits, 4});
    } catch (const sql_shell::Failure& e) {
        failure = e.what();
    }
    EXPECT_EQ(out.str(), "7\n");
    EXPECT_EQ(failure,
              "statement 5 (line 4 of " + inner + "): no such column: nope in: SELECT nope");
    EXPECT_FALSE(session.run({".read " + m_dir.file("q.sql"), 5}));
    EXPECT_THROW(session.run({".read " + m_dir.file("none.sql"), 6}), sql_shell::Failure);
}

// What .schema prints makes the tables again exactly: fed to a new database (as
// rv_sql --create reads it), the new one's .schema and catalog are the same, so its keys,
// UNIQUE clauses, indexes and zero-length settings are too. On a server as in a file.
TEST(SqlShellSchema, MakesTheDatabasesAgain) {
    rvtest::TempDir dir;
    const std::string product = jet::ConnectionString::build(dir.file("p.mdb"), "");
    rvtest::productDatabase(dir.file("p.mdb"), "", {});
    const std::string library = rvtest::templateLibrary(dir.file("base.mdb"));
    rvtest::PgServer& server = rvtest::sharedPgServer();
    const auto onServer = [&server] {
        return jet::ConnectionString::build(server.createDatabase(), rvtest::PgServer::kPassword);
    };
    const std::string serverUri = server.createDatabase();
    rvtest::productDatabase(serverUri, rvtest::PgServer::kPassword, {});
    const std::string serverProduct =
        jet::ConnectionString::build(serverUri, rvtest::PgServer::kPassword);
    {
        jet::Connection conn;
        conn.open(serverProduct);
        conn.execute("CREATE INDEX SENT_BY_DATE ON SENDBOX (SEND_DATE DESC, SENDBOX_NO)");
        conn.execute("CREATE TABLE NUMBERED (N COUNTER, NAME TEXT(10) NOT NULL)");
    }
    const auto schemaOf = [](jet::Connection& conn) {
        std::ostringstream out;
        sql_shell::printSchema(out, conn);
        for (const jet::TableInfo& t : jet::Catalog(conn).tables()) {
            for (const jet::ColumnInfo& c : t.columns) {
                out << t.name << '.' << c.name << ' ' << c.attributes << c.allowZeroLength << '\n';
            }
        }
        return out.str();
    };
    int copies = 0;
    for (const std::string& original : {product, library, serverProduct}) {
        SCOPED_TRACE(original);
        jet::Connection conn;
        conn.open(original);
        std::ostringstream script;
        sql_shell::printSchema(script, conn);
        const std::string copyConn =
            original == serverProduct
                ? onServer()
                : jet::ConnectionString::build(dir.file("copy" + std::to_string(++copies)), "");
        jet::Catalog::create(copyConn);
        jet::Connection copy;
        copy.open(copyConn);
        std::ostringstream out;
        sql_shell::Session session(copy, out, {});
        for (const sql_shell::Statement& s : sql_shell::splitScript(script.str())) {
            session.run(s);
        }
        EXPECT_EQ(schemaOf(copy), schemaOf(conn));
        EXPECT_EQ(out.str(), "");
        if (original != library) {
            EXPECT_NE(script.str().find(", PRIMARY KEY (FIELD_ID));"), std::string::npos);
            EXPECT_NE(script.str().find(", UNIQUE (SENDBOX_NO, ADDRESS_NO));"), std::string::npos);
            const std::string mail1 =
                "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) "
                "VALUES('MAIL1','m','T','0',1)";
            copy.execute(mail1);
            EXPECT_THROW(copy.execute(mail1), jet::Error);
        } else {
            EXPECT_NE(script.str().find("\nCREATE INDEX TEMP_FIELD_PARENT ON TEMP_FIELD "
                                        "(P_FIELD_NO, SORTBY);\n"),
                      std::string::npos)
                << script.str();
        }
        if (original == serverProduct) {
            // The index's name as written; a COUNTER's own key is not a clause.
            EXPECT_NE(script.str().find("\nCREATE INDEX SENT_BY_DATE ON SENDBOX "
                                        "(SEND_DATE DESC, SENDBOX_NO);\n"),
                      std::string::npos)
                << script.str();
            EXPECT_NE(script.str().find("\nCREATE TABLE NUMBERED (N COUNTER, NAME TEXT(10) NOT "
                                        "NULL);\n"),
                      std::string::npos)
                << script.str();
        }
    }
}

}  // namespace
