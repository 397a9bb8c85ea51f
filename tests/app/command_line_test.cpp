// SPDX-License-Identifier: MIT
// The command lines of rv_makedb and rv_sql, parsed as values: each accepted form with the
// values it gives, each refusal with its message and status, the help and the version.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "command_line.h"
#include "password.h"
#include "rv_makedb_args.h"
#include "rv_sql_args.h"
#include "temp_dir.h"

namespace {

struct Case {
    std::vector<std::string> args;
    std::string expected;  // what outcome() gives
};

// A command line as `program` takes it: "key=value switch | positional..." for the values it
// gives (an empty value shows as a switch), or for a refusal its reason, which comes on
// standard error as "NAME: REASON" and the usage lines, with status 2.
std::string outcome(const cli::Program& program, const std::vector<std::string>& args,
                    const std::string& usage) {
    const auto parse =
        &program == &rv_sql::kProgram ? rv_sql::parseCommandLine : rv_makedb::parseCommandLine;
    const cli::Parsed p = parse(args);
    SCOPED_TRACE(::testing::PrintToString(args));
    const std::string name = std::string(program.name) + ": ";
    if (p.exit) {
        const std::string reason = p.err.substr(name.size(), p.err.find('\n') - name.size());
        EXPECT_EQ(p.exit, cli::kExitUsage);
        EXPECT_EQ(p.out + p.err, name + reason + "\n" + usage);
        return reason;
    }
    std::string text;
    for (const cli::Option& option : program.options) {
        const std::string names = option.names;
        const std::string key = names.substr(names.find(',') + 1);
        for (const std::string& value : p.args.values(key)) {
            text += key + (value.empty() ? "" : "=" + value) + " ";
        }
    }
    text += "|";
    for (const std::string& positional : p.args.positional()) {
        text += " " + positional;
    }
    return text;
}

TEST(CommandLine, RvMakedbFormsAndRefusals) {
    const Case cases[] = {
        {{"-p", "pw", "db"}, "password=pw | db"},
        {{"-ppw", "db"}, "password=pw | db"},
        {{"db", "--password", ""}, "password | db"},  // an empty password is no password
        {{"-t", "\x83\x41.mdb", "--", "\xff"}, "library=\x83\x41.mdb | \xff"},
        {{"--templates", "--library", "lib"}, "library=lib templates |"},
        {{"--fields=f", "--encoding", "CP932", "--dry-run", "--yes", "db"},
         "fields=f encoding=CP932 yes dry-run | db"},
        {{"--test-window"}, "test-window |"},
        {{"--bogus"}, "unknown option --bogus"},
        {{"db", "-x"}, "unknown option -x"},
        {{"-p"}, "missing value after '-p'"},
        {{"--yes=1", "--fields", "f", "db"}, "unexpected value after '--yes'"},
        {{"-t", "", "db"}, "empty value for -t/--library"},
        {{"--encoding=", "--fields", "f", "db"}, "empty value for --encoding"},
        {{"--yes", "db"}, "--yes goes with --fields"},
        {{"--dry-run", "db"}, "--dry-run goes with --fields"},
        {{"--fields", "f"}, "--fields needs a DATABASE"},
        {{"--list-fields"}, "--list-fields needs a DATABASE and no --fields"},
        {{"a", "b"}, "only one DATABASE may be given"},
        {{""}, "empty DATABASE"},
        {{"--templates", "db"},
         "--templates takes no other arguments than -t/--library or --where"},
        {{"--test-window", "-t", "lib"}, "--test-window takes no other arguments"},
        {{"--where"}, "--where goes with --templates"},
        {{"--skip-existing", "--export-templates", "f"},
         "--export-templates takes no other arguments than -t/--library"},
        {{"--into", "/a", "--yes", "db"}, "--into goes with --import-templates"},
        {{"--password-file=f", "-p", "x", "db"},
         "-p/--password and --password-file exclude each other"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(outcome(rv_makedb::kProgram, c.args,
                          "Usage: rv_makedb [OPTION]... [DATABASE]\nTry 'rv_makedb --help'.\n"),
                  c.expected);
    }
}

TEST(CommandLine, RvSqlFormsAndRefusals) {
    const Case cases[] = {
        {{"db", "select 1", "--", "--create", "-p"}, "| db select 1 --create -p"},
        {{"--create", "-ppw", "db", "--catalog"}, "password=pw create catalog | db"},
        {{"--allow-zero-length", "T.C", "db", "--allow-zero-length=U.D"},
         "allow-zero-length=T.C allow-zero-length=U.D | db"},
        {{"Data Source=a.mdb;"}, "| Data Source=a.mdb;"},
        {{"--csv", "--header", "db"}, "csv header | db"},
        {{}, "no DATABASE given"},
        {{"--create", ""}, "no DATABASE given"},
        {{"--allow-zero-length", "TC", "db"}, "--allow-zero-length wants TABLE.COLUMN, not \"TC\""},
        {{"-p", "", "Data Source=a.mdb;"},
         "a password goes with a file path, not with a connection string"},
        {{"-p", "pw", "postgresql://u@h/db?sslmode=require"},
         "password=pw | postgresql://u@h/db?sslmode=require"},
        {{"-p", "x", "--ask-password", "db"},
         "-p/--password and --ask-password exclude each other"},
        {{"--json", "--csv", "db"}, "--csv and --json exclude each other"},
        {{"--header", "db"}, "--header goes with --csv"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(outcome(rv_sql::kProgram, c.args,
                          "Usage: rv_sql [OPTION]... DATABASE [STATEMENT]...\n"
                          "Try 'rv_sql --help'.\n"),
                  c.expected);
    }
}

// --help and --version end the run with status 0 and their text on standard output, also
// among other arguments; the help fits 80 columns.
TEST(CommandLine, HelpAndVersion) {
    EXPECT_EQ(cli::displayWidth("文字 aｱ"), 7);  // half-width kana take one column
    for (const cli::Program* program : {&rv_makedb::kProgram, &rv_sql::kProgram}) {
        SCOPED_TRACE(program->name);
        const auto parse =
            program == &rv_sql::kProgram ? rv_sql::parseCommandLine : rv_makedb::parseCommandLine;
        cli::Parsed p = parse({"db", "--help", "-p", "x"});
        EXPECT_EQ(p.exit, cli::kExitOk);
        EXPECT_TRUE(p.help);
        std::istringstream lines(p.out);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(cli::displayWidth(line), 80) << line;
        }

        p = parse({"--version"});
        EXPECT_EQ(p.exit, cli::kExitOk);
        EXPECT_FALSE(p.help);
        EXPECT_TRUE(std::regex_match(
            p.out, std::regex(std::string(program->name) + " [0-9]+\\.[0-9]+(\\.[0-9]+)*\n")))
            << p.out;
    }
}

// Each source of the password, and what is refused: the first line of a file without its
// line feed (and one carriage return before it), standard input (left at the next line); a
// file that cannot be read, and a question without a terminal.
TEST(CommandLine, PasswordSources) {
    rvtest::TempDir dir;
    const auto file = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir.file(name), std::ios::binary) << text;
        return dir.file(name);
    };
    const int notATerminal = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const struct {
        std::vector<std::string> args;
        std::string password;  // or the reason
        std::string leftOnStdin = "typed\nnext\n";
        std::string stdinText = "typed\nnext\n";
    } cases[] = {
        {{"--password-file", file("a", "secret one\nsecond\n")}, "secret one"},
        {{"--password-file", file("b", "last")}, "last"},
        {{"--password-file", file("c", "crlf\r\n")}, "crlf"},
        {{"--password-file", file("d", "two\r\r\n")}, "two\r"},
        {{"--password-file", file("e", "\r")}, ""},
        {{"--password-file=-"}, "typed", "next\n"},
        {{"--password-file=-"}, "windows", "next\n", "windows\r\nnext\n"},
        {{"--password-file", dir.file("none")},
         "cannot read the password file " + dir.file("none")},
        {{"--password-file", dir.file(".")}, "cannot read the password file " + dir.file(".")},
        {{"--ask-password"}, "--ask-password needs a terminal on standard input"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        std::vector<std::string> args = c.args;
        args.push_back("db");
        const cli::Parsed p = rv_sql::parseCommandLine(args);
        ASSERT_FALSE(p.exit) << p.err;
        std::istringstream in(c.stdinText);
        std::string got;
        try {
            got = cli::passwordOf(p.args, in, notATerminal, cli::NewDatabase::kYes);
        } catch (const std::runtime_error& e) {
            got = e.what();
        }
        EXPECT_EQ(got, c.password);
        EXPECT_EQ(in.str().substr(static_cast<std::size_t>(in.tellg())), c.leftOnStdin);
    }
    ::close(notATerminal);
}

// A typed password is asked twice when it will protect a new database, and two that differ
// are refused; an existing database is opened with the first.
TEST(CommandLine, TypedPasswordIsConfirmedForANewDatabase) {
    using cli::NewDatabase;
    const struct {
        NewDatabase made;
        std::vector<std::string> typed;
        std::string outcome;  // the password, or the reason
        std::string prompts;
    } cases[] = {
        {NewDatabase::kNo, {"pw", "other"}, "pw", "Password: "},
        {NewDatabase::kYes, {"pw", "pw"}, "pw", "Password: Retype the password: "},
        {NewDatabase::kYes,
         {"pw", "pW"},
         "the passwords typed differ; nothing was made",
         "Password: Retype the password: "},
        {NewDatabase::kYes, {"", ""}, "", "Password: Retype the password: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.typed));
        std::string prompts;
        std::size_t next = 0;
        const auto ask = [&](const char* prompt) {
            prompts += prompt;
            return c.typed.at(next++);
        };
        std::string got;
        try {
            got = cli::askPassword(ask, c.made);
        } catch (const std::runtime_error& e) {
            got = e.what();
        }
        EXPECT_EQ(got, c.outcome);
        EXPECT_EQ(prompts, c.prompts);
    }
}

}  // namespace
