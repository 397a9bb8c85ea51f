// SPDX-License-Identifier: MIT
// rv_sql's shell as values: statements read from lines, query results in each output
// format, and the dot-commands, on a real database.

#include <gtest/gtest.h>

#include <sstream>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/recordset.h"
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
        sql_shell::printRecordset(out, rs, format, false);
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

TEST_F(SqlShellOnADatabase, DotCommands) {
    m_conn.execute("CREATE TABLE U(K TEXT(8) NOT NULL)");
    const auto run = [&](const std::string& command) {
        std::ostringstream out;
        try {
            sql_shell::runDotCommand(out, m_conn, command);
        } catch (const std::runtime_error& e) {
            return std::string("error: ") + e.what();
        }
        return out.str();
    };
    EXPECT_EQ(run(".tables"), "T\nU\n");
    EXPECT_EQ(run(".schema u"), "CREATE TABLE U (K TEXT(8) NOT NULL);\n");
    EXPECT_EQ(run(".schema NOPE"), "error: no such table: NOPE");
    EXPECT_NE(run(".help").find(".schema [TABLE]"), std::string::npos);
    EXPECT_TRUE(run(".quit").starts_with("error: "));
}

}  // namespace
