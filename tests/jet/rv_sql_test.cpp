// The rv_sql command as scripts see it: exit codes, output format, transactions.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "jet/temp_dir.h"
#include "run_program.h"

namespace {

using Result = rvtest::ProgramResult;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

class RvSql : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* bin = std::getenv("RV_BIN_DIR");
        ASSERT_NE(bin, nullptr) << "RV_BIN_DIR is not set";
        m_program = std::string(bin) + "/rv_sql";
        m_db = m_dir.file("t.mdb");
    }

    // Runs rv_sql with `args`; `input` goes to its standard input.
    Result run(const std::vector<std::string>& args, const std::string& input = "") {
        const std::string in = m_dir.file("stdin");
        std::ofstream(in, std::ios::binary) << input;
        std::vector<std::string> argv = {m_program};
        argv.insert(argv.end(), args.begin(), args.end());
        return rvtest::runProgram(argv, in);
    }

    // A new database with the password "pw" and one table T(A LONG, B TEXT(10)).
    void createTable() {
        const Result r = run({"--create", "-p", "pw", m_db, "CREATE TABLE T(A LONG, B TEXT(10))"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    rvtest::TempDir m_dir;
    std::string m_program;
    std::string m_db;
};

TEST_F(RvSql, HelpDocumentsTheInterface) {
    const Result r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* word : {"DATABASE", "--password", "--create", "--allow-zero-length",
                             "--catalog", "BEGIN", "COMMIT", "ROLLBACK", "\\N", "statement N"}) {
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(run({"-h"}).out, r.out);
}

TEST_F(RvSql, UsageErrorsExitWithTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--no-such-option", m_db},
        {"-p"},
        {m_db, "--allow-zero-length", "NODOT"},
        {"--allow-zero-length"},
        {"-p", "pw", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + m_db + ";"},
    };
    for (const auto& args : cases) {
        const Result r = run(args);
        EXPECT_EQ(r.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_TRUE(r.err.starts_with("rv_sql: ")) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(RvSql, QueriesPrintHeaderRowsAndNulls) {
    createTable();
    const Result r =
        run({"-p", "pw", m_db, "INSERT INTO T VALUES(1,'x')", "INSERT INTO T(A) VALUES(2)",
             "select A, B from T order by A", "select count(*) AS N from T where A > 5"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "A\tB\n1\tx\n2\t\\N\nN\n0\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(RvSql, ConnectionStringAsDatabase) {
    createTable();
    const std::string connStr = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + m_db +
                                "; Jet OLEDB:Database Password=pw;";
    const Result r = run({connStr, "select * from T"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "A\tB\n");

    const Result wrong = run({"-p", "nope", m_db, "select * from T"});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.err.starts_with("rv_sql: ")) << wrong.err;
}

TEST_F(RvSql, FirstFailingStatementStopsTheRun) {
    createTable();
    const Result r = run({"-p", "pw", m_db, "INSERT INTO T VALUES(1,'x')",
                          "INSERT INTO T VALUES('abc','y')", "INSERT INTO T VALUES(3,'z')"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.starts_with("rv_sql: statement 2: ")) << r.err;
    EXPECT_GT(r.err.size(), std::string("rv_sql: statement 2: \n").size());

    EXPECT_EQ(run({"-p", "pw", m_db, "select A from T"}).out, "A\n1\n");
}

TEST_F(RvSql, StandardInputWithTransactions) {
    createTable();
    const Result r = run({"-p", "pw", m_db},
                         "-- a comment\n"
                         "\n"
                         "begin\n"
                         "INSERT INTO T VALUES(1,'gone')\n"
                         "  \n"
                         "Rollback\n"
                         "BEGIN\n"
                         "INSERT INTO T VALUES(2,'kept')\n"
                         "COMMIT\n"
                         "select B from T\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "B\nkept\n");

    // Statement numbers count statements, not skipped lines.
    const Result bad = run({"-p", "pw", m_db}, "-- x\n\nselect * from T\nselect * from NOPE\n");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.starts_with("rv_sql: statement 2: ")) << bad.err;
}

TEST_F(RvSql, FailureInsideATransactionCommitsNothing) {
    createTable();
    const Result r =
        run({"-p", "pw", m_db, "BEGIN", "INSERT INTO T VALUES(1,'a')", "CREATE TABLE U(X LONG)",
             "INSERT INTO T VALUES(2,'far too long')", "COMMIT"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.starts_with("rv_sql: statement 4: ")) << r.err;

    const Result after = run({"-p", "pw", m_db, "--catalog", "select count(*) AS N from T"});
    ASSERT_EQ(after.exitCode, 0) << after.err;
    EXPECT_EQ(after.out, "N\n0\nT\tA\tLONG\t3\tfalse\nT\tB\tTEXT(10)\t2\tfalse\n");
}

TEST_F(RvSql, CatalogAndAllowZeroLength) {
    ASSERT_EQ(run({"--create", "-p", "pw", m_db,
                   "CREATE TABLE W(ID COUNTER, N LONG NOT NULL, S TEXT(5) NOT NULL, M MEMO, "
                   "D DATE, F DOUBLE, Y YESNO, T TEXT(20))",
                   "--allow-zero-length", "W.M", "--allow-zero-length=w.t", "--catalog"})
                  .exitCode,
              0);
    const Result r = run({"-p", "pw", m_db, "--catalog"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> expected = {
        "W\tN\tLONG\t1\tfalse",    "W\tS\tTEXT(5)\t0\tfalse", "W\tM\tMEMO\t2\ttrue",
        "W\tD\tDATE\t3\tfalse",    "W\tF\tDOUBLE\t3\tfalse",  "W\tY\tYESNO\t3\tfalse",
        "W\tT\tTEXT(20)\t2\ttrue",
    };
    const std::vector<std::string> got = lines(r.out);
    ASSERT_EQ(got.size(), expected.size() + 1) << r.out;  // the engine's tables stay hidden
    EXPECT_TRUE(got[0].starts_with("W\tID\tCOUNTER\t")) << got[0];
    EXPECT_EQ(std::vector<std::string>(got.begin() + 1, got.end()), expected);

    // The setting is in the file: '' goes into M and T, still not into S.
    EXPECT_EQ(run({"-p", "pw", m_db, "INSERT INTO W(N,S,M,T) VALUES(1,'s','','')"}).exitCode, 0);
    EXPECT_EQ(run({"-p", "pw", m_db, "INSERT INTO W(N,S) VALUES(2,'')"}).exitCode, 1);

    const Result unknown = run({"-p", "pw", m_db, "--allow-zero-length", "W.NOPE"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.starts_with("rv_sql: ")) << unknown.err;
}

TEST_F(RvSql, CreateRefusesAnExistingPath) {
    createTable();
    const Result r = run({"--create", "-p", "pw", m_db, "select * from T"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.starts_with("rv_sql: ")) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(run({"-p", "pw", m_db, "select * from T"}).out, "A\tB\n");
}

}  // namespace
