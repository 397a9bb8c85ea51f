// SPDX-License-Identifier: MIT
// rv_makedb as a user or a script runs it: batch mode, the whole wizard path without a
// screen, judged by exit code, messages and the file it leaves, and killed at any moment;
// the template browser alone, where only a process shows its exit code.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "databases.h"
#include "folder_watch.h"
#include "raw_db.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

class Batch : public ::testing::Test {
  protected:
    std::string fields(const std::string& text) {
        const std::string path = m_dir.file("fields" + std::to_string(++m_files) + ".txt");
        std::ofstream(path) << text;
        return path;
    }
    rvtest::ProgramResult batch(std::vector<std::string> args) {
        args.insert(args.begin(), m_bin);
        return rvtest::runProgram(args);
    }
    bool exists() const { return std::ifstream(m_db).good(); }

    const std::string m_bin = rvtest::binDir() + "/rv_makedb";
    rvtest::TempDir m_dir;
    std::string m_templates = rvtest::templateLibrary(m_dir.file("base.mdb"));
    std::string m_db = m_dir.file("p.mdb");
    int m_files = 0;
};

// Each run on a path of its own, which is not UTF-8 (the database lands on the very bytes
// of its path): its exit code, standard error (a prefix where it ends in "..."), and the
// fields it built ("-": no file at the path).
TEST_F(Batch, ExitCodesMessagesAndWhatIsBuilt) {
    const std::string ask =
        "ravLIN: メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。\n";
    // Written on Japanese Windows.
    const std::string cp932 = fields("MAIL1\t\x83\x81\x81\x5b\x83\x8b\t\x95\xb6\x8e\x9a\t100\n");
    const std::string typed = fields(
        "# address book\nMA-IL1\tメール\t文字\t1x00\tOFF\tPCメール\n\n"
        "NAME\t氏名\t文字\t40\nAGE\t年齢\t数字\t5\n");
    const std::string twice = fields("MAIL1\ta\t数字\n\nmail1\tb\t数字\n");
    // A library whose path is not UTF-8 either.
    const std::string library = m_dir.file("\x83\x41\xff.mdb");
    rvtest::templateLibrary(library);
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string err, built;
    } runs[] = {
        // Typed as at the window: a letter in a text field's size is refused key by key, a
        // size on a number field cannot be typed at all, and '-' is no ID character. Each
        // message names the line of the file it came from.
        {{"--fields", typed},
         0,
         "ravLIN: 使用不可の文字があるので､その文字が削除されます｡\n"
         "rv_makedb: " +
             typed +
             ":2: this line is row 1\n"
             "ravLIN: 数字を入力してください。\n"
             "rv_makedb: " +
             typed + ":2: this line is row 1\n",
         "MAIL1|メール|T|100|0|1 NAME|氏名|T|40|1|0 AGE|年齢|N|<null>|0|0"},
        {{"--fields", twice},
         1,
         "ravLIN: 項目ID あるいは項目名は重複しています。  行： 1　と  2　重複\n"
         "rv_makedb: " +
             twice + ":3: this line is row 2; row 1 is line 1\n",
         "-"},
        {{"--fields", fields("A\ta\tメモ\n")}, 1, ask, "-"},
        {{"--fields", fields("A\ta\tメモ\n"), "--yes", "-t", library}, 0, ask, "A|a|M|<null>|1|0"},
        {{"--fields", cp932}, 2, "rv_makedb: ...", "-"},
        {{"--fields", cp932, "--encoding", "CP932"}, 0, "", "MAIL1|メール|T|100|1|0"},
        {{"--fields", fields("A\ta\n"), "-t", m_dir.file("none.mdb")},
         3,
         "rv_makedb: template library: cannot open " + m_dir.file("none.mdb") + ": ...",
         "-"},
        // A field file is read no further than its limit.
        {{"--fields", "/dev/zero"},
         2,
         "rv_makedb: /dev/zero is larger than 1 MiB (a field file holds at most 1 MiB and 10000 "
         "field lines)\n",
         "-"},
        {{"--fields", m_dir.file("missing.txt")}, 2, "rv_makedb: ...", "-"},
        {{"--bogus"}, 2, "rv_makedb: unknown option --bogus\nUsage: ...", "-"},
    };
    for (const auto& run : runs) {
        const std::string db = m_dir.file("\x83\x41" + std::to_string(&run - runs) + ".mdb");
        std::vector<std::string> args = {"-p", "pw", "-t", m_templates};
        args.insert(args.end(), run.args.begin(), run.args.end());
        args.push_back(db);
        SCOPED_TRACE(::testing::PrintToString(args));
        const rvtest::ProgramResult r = batch(args);
        EXPECT_EQ(r.exitCode, run.exitCode) << r.err;
        if (run.err.ends_with("...")) {
            EXPECT_TRUE(r.err.starts_with(run.err.substr(0, run.err.size() - 3))) << r.err;
        } else {
            EXPECT_EQ(r.err, run.err);
        }
        std::string built = "-";
        if (std::ifstream(db).good()) {
            built.clear();
            for (const std::string& row : rvtest::RawDb(db, "pw").rows(
                     "SELECT FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG FROM FIELD "
                     "ORDER BY DISP_SEQNO")) {
                built += (built.empty() ? "" : " ") + row;
            }
        }
        EXPECT_EQ(built, run.built);
    }
    // Without a display the wizard says so in one line (batch mode needs none).
    const auto headless =
        rvtest::runProgram({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                            "QT_QPA_PLATFORM", m_bin, m_db});
    EXPECT_EQ(headless.exitCode, 2);
    EXPECT_EQ(headless.err,
              "rv_makedb: no display available (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n");
}

// A library the wizard would refuse: the same reason, and no window.
TEST_F(Batch, TheTemplateBrowserAloneStopsAtALibraryItCannotOpen) {
    rvtest::RawDb(m_dir.file("base.mdb"), "")
        .exec("UPDATE TEMP_FIELD SET P_FIELD_NO=99 WHERE FIELD_NO=5");
    const auto broken = batch({"--templates", "-t", m_templates});
    EXPECT_EQ(broken.exitCode, 3);
    EXPECT_NE(broken.err.find("rv_makedb: template library: entry 5 (自宅住所) under 99: no node "
                              "has the key '99'\n"),
              std::string::npos)
        << broken.err;
}

// Batch mode keeps the wizard's messages and adds what the engine said: here a file may not
// grow beyond 100 KiB, as on a full disk (enough for the empty database, not the build).
TEST_F(Batch, AFailedBuildAlsoTellsTheEnginesReason) {
    std::string text = "MAIL1\tm\t文字\t10\n";
    for (int i = 2; i <= 61; ++i) {
        text += "F" + std::to_string(i) + "\tf" + std::to_string(i) + "\t文字\t10\n";
    }
    const std::string list = fields(text);
    auto r =
        rvtest::runProgram({"/bin/bash", "-c", "trap '' XFSZ; ulimit -f 100; exec \"$@\"", "bash",
                            m_bin, "--fields", list, "-p", "pw", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 1);
    auto reason = r.err.rfind("rv_makedb: " + m_db + ": ");
    EXPECT_EQ(r.err.substr(0, reason),
              "ravLIN: 項目ＩＤが誤っています。行= 62　項目ＩＤ=F61\n"
              "rv_makedb: " +
                  list +
                  ": row 62 is after the last line of the file\n"
                  "ravLIN: データ作成エラーが発生しました。\n");
    EXPECT_NE(r.err.find("disk", reason), std::string::npos) << r.err;
    EXPECT_FALSE(exists()) << "the file this run made is gone again";
}

std::set<std::string> folderNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// --dry-run prints OK's statements and writes nothing: no file appears at a new path, not
// even for a while, and an existing database keeps its bytes.
TEST_F(Batch, ADryRunPrintsTheStatementsAndWritesNothing) {
    const std::string list = fields("MAIL1\tメール\t文字\t100\nAGE\t年齢\t数字\n");
    const std::string folder = m_dir.file("new");
    std::filesystem::create_directory(folder);
    const rvtest::FolderWatch watch(folder);
    auto r =
        batch({"--fields", list, "--dry-run", "-p", "pw", "-t", m_templates, folder + "/n.mdb"});
    pollfd created{watch.fd, POLLIN, 0};
    EXPECT_EQ(::poll(&created, 1, 0), 0) << "not even for a while";
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("CREATE TABLE PROJECT(")) << r.out;

    rvtest::productDatabase(m_db, "pw",
                            {"INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,DISP_SEQNO) "
                             "VALUES('E1','e1','M','1',1)"});
    const std::string before = rvtest::readBytes(m_db);
    r = batch({"--fields", list, "--dry-run", "-p", "pw", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Which statements they are is the builder's; here they are printed, each on its line.
    EXPECT_TRUE(r.out.starts_with("INSERT INTO FIELD(FIELD_ID,")) << r.out;
    EXPECT_TRUE(r.out.ends_with("\nUPDATE FIELD SET DISP_SEQNO=3 WHERE FIELD_ID='AGE'\n")) << r.out;
    EXPECT_EQ(rvtest::readBytes(m_db), before);

    // A refusal prints none; on a database that has fields, a row is a line of the file or
    // one of those fields. The password comes from standard input; a wrong one is named.
    const std::string again = fields("# new\nE1\tx\t数字\n");
    std::ofstream(m_dir.file("pw")) << "pw\n";
    r = rvtest::runProgram(
        {m_bin, "--fields", again, "--dry-run", "--password-file", "-", "-t", m_templates, m_db},
        m_dir.file("pw"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "ravLIN: 項目ID あるいは項目名は重複しています。  行： 1　と  2　重複\n"
              "rv_makedb: " +
                  again + ":2: this line is row 2; row 1 is an existing field of the database\n");
    r = batch({"--fields", list, "-p", "wrong", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "ravLIN: データベースがエラーです\nrv_makedb: " + m_db +
                         ": wrong password, or not a database\n");
    EXPECT_EQ(rvtest::readBytes(m_db), before);
}

// Killed at each step of making the empty file, a run may leave pieces of that work behind;
// the next run on the path removes them and builds. Nothing but the database stays.
TEST_F(Batch, AKillWhileTheFileIsMadeLeavesNothingTheNextRunDoesNotClearAway) {
    const std::string list = fields("MAIL1\tm\t文字\t10\n");
    const std::pair<uint32_t, std::string> steps[] = {
        {IN_CREATE, ".creating"},  // its name taken
        {IN_CREATE, "-journal"},   // being written
        {IN_DELETE, "-journal"},   // complete
        {IN_CREATE | IN_MOVED_TO, "k.mdb"},
    };
    int leftBehind = 0;
    for (const auto& [mask, ending] : steps) {
        const std::string folder = m_dir.file(std::to_string(mask) + ending);
        std::filesystem::create_directory(folder);
        const std::string db = folder + "/k.mdb";
        const std::vector<std::string> args{m_bin, "--fields", list,        "-p",
                                            "pw",  "-t",       m_templates, db};
        {
            const rvtest::FolderWatch watch(folder);
            rvtest::Child child(args);
            ASSERT_TRUE(watch.waitFor(mask, ending)) << ending;
        }
        const std::set<std::string> left = folderNames(folder);
        leftBehind += !left.empty() && left != std::set<std::string>{"k.mdb"};
        const auto again = rvtest::runProgram(args);
        EXPECT_EQ(again.exitCode, 0) << ending << ": " << again.err;
        EXPECT_EQ(folderNames(folder), std::set<std::string>{"k.mdb"}) << ending;
    }
    EXPECT_GT(leftBehind, 0) << "no kill came early enough to leave anything";
}

// SIGTERM and Ctrl+C close an open wizard as Cancel does: the empty file goes.
TEST_F(Batch, TerminationSignalsCloseTheWizardAsCancelDoes) {
    for (const auto& [sig, status] : {std::pair{SIGTERM, 143}, {SIGINT, 130}}) {
        const std::string folder = m_dir.file("signal" + std::to_string(sig));
        std::filesystem::create_directory(folder);
        const rvtest::FolderWatch watch(folder);
        rvtest::Child child({m_bin, "-t", m_templates, folder + "/w.mdb"});
        ASSERT_TRUE(watch.waitFor(IN_CREATE | IN_MOVED_TO, "w.mdb"));
        child.signal(sig);
        rvtest::ProgramResult r;
        ASSERT_TRUE(child.run(20000, r)) << "the wizard stays open";
        EXPECT_EQ(r.exitCode, status) << r.err;
        EXPECT_TRUE(folderNames(folder).empty());
    }
}

// A database's fields listed as a field file and built again from it: the same fields, mail
// and FAX kinds included, in display order; the listing refuses what it cannot read.
TEST_F(Batch, ListedFieldsBuildTheSameFieldsAgain) {
    const std::string list = fields(
        "MAIL1\tメール\t文字\t100\tOFF\tPCメール\n"
        "FAX1\tファクス\t文字\t20\tON\t\t私用FAX\n"
        "AGE\t年齢\t数字\n"
        "NOTE\t備考\tメモ\t\tOFF\tPCメール\t公用FAX\n");
    ASSERT_EQ(batch({"--fields", list, "-p", "pw", "-t", m_templates, m_db}).exitCode, 0);
    const auto listed = batch({"--list-fields", "-p", "pw", m_db});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out,
              "MAIL1\tメール\t文字\t100\tOFF\tPCメール\t\n"
              "FAX1\tファクス\t文字\t20\tON\t\t私用FAX\n"
              "AGE\t年齢\t数字\t\t\t\t\n"
              "NOTE\t備考\tメモ\t\tOFF\tPCメール\t公用FAX\n");
    const std::string copy = m_dir.file("copy.mdb");
    ASSERT_EQ(batch({"--fields", fields(listed.out), "-t", m_templates, copy}).exitCode, 0);
    EXPECT_EQ(batch({"--list-fields", copy}).out, listed.out);

    EXPECT_EQ(batch({"--list-fields", "-p", "wrong", m_db}).exitCode, 3);
}

}  // namespace
