// SPDX-License-Identifier: MIT
// The rv_sql command as scripts see it: exit codes, output format, standard input.

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
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
    const std::string connStr =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + db + "; Jet OLEDB:Database Password=pw;";
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
        {0, "N\n2\n", "", {connStr, "select count(*) AS N from T"}},
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

// Reads from `fd` until `text` has come (true) or nothing more comes within 10 s.
bool readUntil(int fd, std::string& seen, const std::string& text) {
    while (seen.find(text) == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        char buf[256];
        if (::poll(&p, 1, 10000) != 1) {
            return false;
        }
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) {
            return false;
        }
        seen.append(buf, static_cast<std::size_t>(n));
    }
    return true;
}

// Waits until the line editor has the terminal in its own (non-canonical) mode: what is
// typed before that may be flushed when it takes the terminal over. False after 10 s.
bool editorReading(int fd) {
    for (int waited = 0; waited < 10000; ++waited) {
        termios mode{};
        if (::tcgetattr(fd, &mode) == 0 && (mode.c_lflag & ICANON) == 0) {
            return true;
        }
        ::poll(nullptr, 0, 1);
    }
    return false;
}

// At a terminal: a prompt, another one while a statement goes on over lines, the statement
// run once its line ends with ';', a failure that does not end the session, and the lines
// kept in the history file.
TEST(RvSql, PromptsAtATerminal) {
    rvtest::TempDir dir;
    const std::string bin = rvtest::binDir() + "/rv_sql";
    const std::string db = dir.file("t.mdb");
    ASSERT_EQ(rvtest::runProgram({bin, "--create", db}).exitCode, 0);
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::setenv("HOME", dir.file("").c_str(), 1);
        ::execl(bin.c_str(), bin.c_str(), db.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string seen;
    const auto type = [&](const std::string& line, const std::string& then) {
        EXPECT_TRUE(editorReading(terminal));
        EXPECT_EQ(::write(terminal, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        return readUntil(terminal, seen, then);
    };
    EXPECT_TRUE(readUntil(terminal, seen, "rv_sql> "));
    EXPECT_TRUE(type("select 1 AS X\r", "   ...> "));
    EXPECT_TRUE(type(";\r", "X\r\n1\r\nrv_sql> "));
    EXPECT_TRUE(type("select nope;\r", "rv_sql: statement 2 (line 3): "));
    EXPECT_TRUE(type(".tables\r", "rv_sql> "));
    EXPECT_TRUE(editorReading(terminal));
    EXPECT_EQ(::write(terminal, "\x04", 1), 1);  // Ctrl+D
    // The session ends at once; one that does not is ended after 10 s, never waited for.
    int status = -1;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
        if (waited == 10000) {
            ::kill(pid, SIGKILL);
        }
        ::poll(nullptr, 0, 1);
    }
    ::close(terminal);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << seen;
    std::stringstream history;
    history << std::ifstream(dir.file(".rv_sql_history")).rdbuf();
    EXPECT_NE(history.str().find("\n.tables\n"), std::string::npos) << history.str();
}

}  // namespace
