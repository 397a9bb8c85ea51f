// SPDX-License-Identifier: MIT
// The rv_sql command as scripts see it: exit codes, output format, standard input.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "run_program.h"
#include "temp_dir.h"

namespace {

// One run of rv_sql; "DB" in the arguments stands for the database file.
struct Step {
    int exitCode;
    std::string out;
    std::string errStart;
    std::vector<std::string> args;
    std::string input = {};  // standard input
};

TEST(RvSql, RunsOneAfterTheOther) {
    rvtest::TempDir dir;
    const std::string db = dir.file("t.mdb");
    const std::string u = "rv_sql: ";  // every message begins so
    // clang-format off
    const Step steps[] = {
        {2, "", u, {}},  // the usage error a parse gives
        {1, "", u, {"-p", "pw", "DB"}},  // no such file
        {0, "", "",
         {"--create", "-p", "pw", "DB", "CREATE TABLE T(ID COUNTER, A LONG, B TEXT(10))"}},
        // Each statement's result in turn, in the format of the shell (tabs by default).
        {0, "A\tB\n1\tx\n2\t\\N\nN\n0\n", "",
         {"-p", "pw", "DB", "INSERT INTO T(A,B) VALUES(1,'x')", "INSERT INTO T(A) VALUES(2)",
          "select A, B from T order by A", "select count(*) AS N from T where A > 5"}},
        // The first failing statement stops the run; what ran before it stays.
        {1, "", "rv_sql: statement 2: ",
         {"-p", "pw", "DB", "INSERT INTO T(A) VALUES(4)", "INSERT INTO T(A) VALUES('abc')",
          "INSERT INTO T(A) VALUES(5)"}},
        // Standard input: comments and blank lines skipped, transactions by keyword.
        {1, "N\n4\n", "rv_sql: statement 8 (line 11): ", {"-p", "pw", "DB"},
         "-- a comment\n\nbegin\nINSERT INTO T(A) VALUES(6)\n  \nRollback\nBEGIN\n"
         "INSERT INTO T(A) VALUES(7)\nCOMMIT\nselect count(*) AS N from T\nselect * from NOPE\n"},
        // A failure, or the end of the run, inside a transaction commits nothing.
        {1, "", "rv_sql: statement 4: ",
         {"-p", "pw", "DB", "BEGIN", "INSERT INTO T(A) VALUES(8)", "CREATE TABLE U(X LONG)",
          "INSERT INTO T(A,B) VALUES(9,'far too long')", "COMMIT"}},
        {0, "", "rv_sql: transaction left open at the end, rolled back",
         {"-p", "pw", "DB", "BEGIN", "INSERT INTO T(A) VALUES(10)"}},
        // The catalog hides the engine's own tables; the zero-length setting comes first.
        {0, "N\n4\nT\tID\tCOUNTER\t1\tfalse\nT\tA\tLONG\t3\tfalse\nT\tB\tTEXT(10)\t2\ttrue\n", "",
         {"-p", "pw", "DB", "--catalog", "select count(*) AS N from T",
          "--allow-zero-length", "t.b"}},
        {1, "", u, {"-p", "pw", "DB", "--allow-zero-length", "T.NOPE"}},
        // A script of statements ending with ';', the password on its first line; the
        // dot-commands; the failing statement named by the line it begins on.
        {1, "N\n4\nT\nA,B\n8,\n", "rv_sql: statement 5 (line 7): ",
         {"--password-file", "-", "--csv", "--header", "DB"},
         "pw\nselect count(*)\n  AS N from T;\n.tables\nINSERT INTO T(A)\n VALUES(8);\n"
         "select A, B from T where A = 8;\nselect nope\n  from T;\n"},
        {0, "[{\"N\":5}]\n", "", {"--json", "-p", "pw", "DB", "select count(*) AS N from T"}},
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
        EXPECT_EQ(r.out, step.out) << shown;
        EXPECT_TRUE(r.err.starts_with(step.errStart)) << shown << r.err;
        EXPECT_EQ(r.err.empty(), step.errStart.empty()) << shown << r.err;
    }
}

}  // namespace
