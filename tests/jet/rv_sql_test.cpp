// The rv_sql command as scripts see it: exit codes, output format, standard input.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "temp_dir.h"
#include "run_program.h"

namespace {

// One run of rv_sql; "DB" in the arguments stands for the database file.
struct Step {
    int exitCode;
    const char* out;  // nullptr: not looked at
    std::string errStart;
    std::vector<std::string> args;
    std::string input = {};  // standard input
};

TEST(RvSql, RunsOneAfterTheOther) {
    rvtest::TempDir dir;
    const std::string db = dir.file("t.mdb");
    const std::string connStr =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + db + "; Jet OLEDB:Database Password=pw;";
    const std::string u = "rv_sql: ";  // every message begins so
    // clang-format off
    const Step steps[] = {
        {2, "", u, {}},
        {2, "", u, {"--no-such-option", "DB"}},
        {2, "", u, {"-p"}},
        {2, "", u, {"DB", "--allow-zero-length", "NODOT"}},
        {2, "", u, {"-p", "pw", connStr}},
        {0, nullptr, "", {"--help"}},
        {1, "", u, {"-p", "pw", "DB"}},  // no such file
        {0, "", "",
         {"--create", "-p", "pw", "DB", "CREATE TABLE T(ID COUNTER, A LONG, B TEXT(10))"}},
        {1, "", u, {"--create", "-p", "pw", "DB"}},
        {1, "", u, {"-p", "nope", "DB", "select * from T"}},
        // A header line, then tab-separated cells; nulls and escapes.
        {0, "A\tB\n1\tx\n2\t\\N\n3\ta\\tb\\\\\nN\n0\n", "",
         {"-p", "pw", "DB", "INSERT INTO T(A,B) VALUES(1,'x')", "INSERT INTO T(A) VALUES(2)",
          "INSERT INTO T(A,B) VALUES(3,'a\tb\\')", "select A, B from T order by A",
          "select count(*) AS N from T where A > 5"}},
        {0, "N\n3\n", "", {connStr, "select count(*) AS N from T"}},
        // The first failing statement stops the run; what ran before it stays.
        {1, "", "rv_sql: statement 2: ",
         {"-p", "pw", "DB", "INSERT INTO T(A) VALUES(4)", "INSERT INTO T(A) VALUES('abc')",
          "INSERT INTO T(A) VALUES(5)"}},
        // Standard input: comments and blank lines skipped, transactions by keyword.
        {1, "N\n5\n", "rv_sql: statement 8: ", {"-p", "pw", "DB"},
         "-- a comment\n\nbegin\nINSERT INTO T(A) VALUES(6)\n  \nRollback\nBEGIN\n"
         "INSERT INTO T(A) VALUES(7)\nCOMMIT\nselect count(*) AS N from T\nselect * from NOPE\n"},
        // A failure, or the end of the run, inside a transaction commits nothing.
        {1, "", "rv_sql: statement 4: ",
         {"-p", "pw", "DB", "BEGIN", "INSERT INTO T(A) VALUES(8)", "CREATE TABLE U(X LONG)",
          "INSERT INTO T(A,B) VALUES(9,'far too long')", "COMMIT"}},
        {0, "", "rv_sql: transaction left open at the end, rolled back",
         {"-p", "pw", "DB", "BEGIN", "INSERT INTO T(A) VALUES(10)"}},
        // The catalog hides the engine's own tables; the zero-length setting comes first.
        {0, "N\n5\nT\tID\tCOUNTER\t1\tfalse\nT\tA\tLONG\t3\tfalse\nT\tB\tTEXT(10)\t2\ttrue\n", "",
         {"-p", "pw", "DB", "--catalog", "select count(*) AS N from T",
          "--allow-zero-length", "t.b"}},
        {0, "", "", {"-p", "pw", "DB", "INSERT INTO T(A,B) VALUES(11,'')"}},
        {1, "", u, {"-p", "pw", "DB", "--allow-zero-length", "T.NOPE"}},
    };
    // clang-format on
    const std::string in = dir.file("stdin");
    for (const Step& step : steps) {
        std::vector<std::string> argv = {rvtest::binDir() + "/rv_sql"};
        for (const std::string& a : step.args) {
            argv.push_back(a == "DB" ? db : a);
        }
        const std::string shown = ::testing::PrintToString(argv);
        std::ofstream(in, std::ios::binary) << step.input;
        const rvtest::ProgramResult r = rvtest::runProgram(argv, in);
        EXPECT_EQ(r.exitCode, step.exitCode) << shown << r.err;
        if (step.out) {
            EXPECT_EQ(r.out, step.out) << shown;
        }
        EXPECT_TRUE(r.err.starts_with(step.errStart)) << shown << r.err;
        EXPECT_EQ(r.err.empty(), step.errStart.empty()) << shown << r.err;
    }
}

// A password is a value, not text of the connection string: one that spells out another
// data source still protects the named file and writes nothing elsewhere.
TEST(RvSql, APasswordCannotNameAnotherFile) {
    rvtest::TempDir dir;
    const std::string elsewhere = dir.file("v.db");
    const std::string password = ";Data Source=" + elsewhere + ";Jet OLEDB:Database Password=";
    const std::string rvSql = rvtest::binDir() + "/rv_sql";
    const std::string db = dir.file("t.mdb");
    const rvtest::ProgramResult made =
        rvtest::runProgram({rvSql, "--create", "-p", password, db, "CREATE TABLE T(A LONG)"});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    const rvtest::ProgramResult read =
        rvtest::runProgram({rvSql, "-p", password, db, "select count(*) AS N from T"});
    EXPECT_EQ(read.out, "N\n0\n") << read.err;
    EXPECT_FALSE(std::filesystem::exists(elsewhere));
}

}  // namespace
