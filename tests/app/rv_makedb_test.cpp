// SPDX-License-Identifier: MIT
// rv_makedb as a user or a script runs it: batch mode, the whole wizard path without a
// screen, judged by exit code, messages and the file it leaves, and killed at any moment;
// the template browser alone, where only a process shows its exit code; the template
// library commands, with the library exactly as before after every failure (a refusal, a
// full disk, a kill).
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "databases.h"
#include "folder_watch.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "pg_server.h"
#include "raw_db.h"
#include "run_program.h"
#include "temp_dir.h"
#include "terminal.h"

namespace {

const std::string kHeader = "folder\tid\tname\tattribute\tsize\time\tfixed\tposition\n";
// Before the program: a file may not grow beyond 100 KiB, as on a full disk.
const std::vector<std::string> kFullDisk = {"/bin/bash", "-c",
                                            "trap '' XFSZ; ulimit -f 100; exec \"$@\"", "bash"};

class RvMakedb : public ::testing::Test {
  protected:
    // A file of the test holding `text`.
    std::string file(const std::string& text) {
        const std::string path = m_dir.file("file" + std::to_string(++m_files) + ".txt");
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    rvtest::ProgramResult run(std::vector<std::string> args) {
        args.insert(args.begin(), m_bin);
        return rvtest::runProgram(args);
    }
    // The library's export, which shows everything an import could change.
    std::string exported(const std::string& library) {
        return run({"--export-templates", "-", "-t", library}).out;
    }

    const std::string m_bin = rvtest::binDir() + "/rv_makedb";
    rvtest::TempDir m_dir;
    const std::string m_library = m_dir.file("base.mdb");
    const std::string m_templates = rvtest::templateLibrary(m_library);  // its connection
    const std::string m_db = m_dir.file("p.mdb");
    int m_files = 0;
};

// The fields a run built, as "ID|name|attribute|size|IME|mail flag"; kNone: no file.
const std::string kBuilt =
    "SELECT FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG FROM FIELD ORDER BY "
    "DISP_SEQNO";
const std::vector<std::string> kNone = {"no file"};

// Each run on a path of its own, which is not UTF-8 (the database lands on the very bytes
// of its path): its exit code, standard error (a prefix where it ends in "..."), and the
// fields it built. A build that fails on a full disk (enough for the empty database, not
// the build) keeps the wizard's messages, adds what the engine said, and leaves no file.
TEST_F(RvMakedb, ExitCodesMessagesAndWhatIsBuilt) {
    const std::string ask =
        "ravLIN: メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。\n";
    // Written on Japanese Windows.
    const std::string cp932 = file("MAIL1\t\x83\x81\x81\x5b\x83\x8b\t\x95\xb6\x8e\x9a\t100\n");
    const std::string typed = file(
        "# address book\nMA-IL1\tメール\t文字\t1x00\tOFF\tPCメール\n\n"
        "NAME\t氏名\t文字\t40\nAGE\t年齢\t数字\t5\n");
    const std::string twice = file("MAIL1\ta\t数字\n\nmail1\tb\t数字\n");
    std::string text = "MAIL1\tm\t文字\t10\n";
    for (int i = 2; i <= 61; ++i) {
        text += "F" + std::to_string(i) + "\tf" + std::to_string(i) + "\t文字\t10\n";
    }
    const std::string many = file(text);
    // A library whose path is not UTF-8 either.
    const std::string library = m_dir.file("\x83\x41\xff.mdb");
    rvtest::templateLibrary(library);
    // A library with an entry whose parent is nowhere.
    const std::string orphaned = m_dir.file("orphaned.mdb");
    rvtest::templateLibrary(
        orphaned, {"5,0,'F','','親','','',NULL,'',''", "971,960,'F','','Gamma','','',NULL,'',''"});
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
        std::vector<std::string> built = kNone;
        bool fullDisk = false;
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
         {"MAIL1|メール|T|100|0|1", "NAME|氏名|T|40|1|0", "AGE|年齢|N|<null>|0|0"}},
        {{"--fields", twice},
         1,
         "ravLIN: 項目ID あるいは項目名は重複しています。  行： 1　と  2　重複\n"
         "rv_makedb: " +
             twice + ":3: this line is row 2; row 1 is line 1\n"},
        // Declined without --yes, and told so.
        {{"--fields", file("A\ta\tメモ\n")},
         1,
         ask + "rv_makedb: answered Cancel, as without --yes (--yes answers OK)\n"},
        {{"--fields", file("A\ta\tメモ\n"), "--yes", "-t", library}, 0, ask, {"A|a|M|<null>|1|0"}},
        {{"--fields", cp932, "--encoding", "CP932"}, 0, "", {"MAIL1|メール|T|100|1|0"}},
        // Entries the tree cannot place: one warning line, and the run goes on.
        {{"--fields", cp932, "--encoding", "CP932", "-t", orphaned},
         0,
         "ravLIN: 表示できない項目が1件あります。最初の項目は「Gamma」（番号 971）です。\n",
         {"MAIL1|メール|T|100|1|0"}},
        {{"--fields", file("A\ta\n"), "-t", m_dir.file("none.mdb")},
         3,
         "rv_makedb: template library: cannot open " + m_dir.file("none.mdb") + ": ..."},
        // A field file is read no further than its limit.
        {{"--fields", "/dev/zero"},
         2,
         "rv_makedb: /dev/zero is larger than 1 MiB (a field file holds at most 1 MiB and 10000 "
         "field lines)\n"},
        {{"--bogus"}, 2, "rv_makedb: unknown option --bogus\nUsage: ..."},
        {{"--fields", many},
         1,
         "ravLIN: 項目ＩＤが誤っています。行= 62　項目ＩＤ=F61\n"
         "rv_makedb: " +
             many +
             ": row 62 is after the last line of the file\n"
             "ravLIN: データ作成エラーが発生しました。\nrv_makedb: ...",
         kNone,
         true},
    };
    for (const auto& want : runs) {
        const std::string db = m_dir.file("\x83\x41" + std::to_string(&want - runs) + ".mdb");
        std::vector<std::string> args = want.fullDisk ? kFullDisk : std::vector<std::string>{};
        args.insert(args.end(), {m_bin, "-p", "pw", "-t", m_templates});
        args.insert(args.end(), want.args.begin(), want.args.end());
        args.push_back(db);
        SCOPED_TRACE(::testing::PrintToString(args));
        const rvtest::ProgramResult r = rvtest::runProgram(args);
        EXPECT_EQ(r.exitCode, want.exitCode) << r.err;
        const std::size_t exact =
            want.err.ends_with("...") ? want.err.size() - 3 : std::string::npos;
        EXPECT_EQ(r.err.substr(0, exact), want.err.substr(0, exact));
        EXPECT_EQ(std::ifstream(db).good() ? rvtest::RawDb(db, "pw").rows(kBuilt) : kNone,
                  want.built);
    }
    // Without a display the wizard says so in one line (batch mode needs none).
    const auto headless =
        rvtest::runProgram({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                            "QT_QPA_PLATFORM", m_bin, m_db});
    EXPECT_EQ(headless.exitCode, 2);
    EXPECT_EQ(headless.err,
              "rv_makedb: no display available (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n");
}

std::set<std::string> folderNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Killed at each step of making the empty file, a run may leave pieces of that work behind;
// the next run on the path removes them and builds. Nothing but the database stays.
TEST_F(RvMakedb, AKillWhileTheFileIsMadeLeavesNothingTheNextRunDoesNotClearAway) {
    const std::string list = file("MAIL1\tm\t文字\t10\n");
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
TEST_F(RvMakedb, TerminationSignalsCloseTheWizardAsCancelDoes) {
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
// and FAX kinds included, in display order. On it, --dry-run prints OK's statements and
// writes nothing, as it writes no file at a new path, not even for a while; a refusal prints
// none, a row being a line of the file or one of the fields; a wrong password is named.
TEST_F(RvMakedb, ListedFieldsBuildTheSameFieldsAgainAndADryRunWritesNothing) {
    const std::string list = file(
        "MAIL1\tメール\t文字\t100\tOFF\tPCメール\n"
        "FAX1\tファクス\t文字\t20\tON\t\t私用FAX\n"
        "AGE\t年齢\t数字\n"
        "NOTE\t備考\tメモ\t\tOFF\tPCメール\t公用FAX\n");
    ASSERT_EQ(run({"--fields", list, "-p", "pw", "-t", m_templates, m_db}).exitCode, 0);
    const auto listed = run({"--list-fields", "-p", "pw", m_db});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out,
              "MAIL1\tメール\t文字\t100\tOFF\tPCメール\t\n"
              "FAX1\tファクス\t文字\t20\tON\t\t私用FAX\n"
              "AGE\t年齢\t数字\t\t\t\t\n"
              "NOTE\t備考\tメモ\t\tOFF\tPCメール\t公用FAX\n");
    const std::string copy = m_dir.file("copy.mdb");
    ASSERT_EQ(run({"--fields", file(listed.out), "-t", m_templates, copy}).exitCode, 0);
    EXPECT_EQ(run({"--list-fields", copy}).out, listed.out);

    const std::string more = file("NEW\t新\t数字\n");
    const std::string folder = m_dir.file("new");
    std::filesystem::create_directory(folder);
    const rvtest::FolderWatch watch(folder);
    auto r = run({"--fields", list, "--dry-run", "-p", "pw", "-t", m_templates, folder + "/n.mdb"});
    pollfd created{watch.fd, POLLIN, 0};
    EXPECT_EQ(::poll(&created, 1, 0), 0) << "not even for a while";
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("CREATE TABLE PROJECT(")) << r.out;
    const std::string before = rvtest::readBytes(m_db);
    r = run({"--fields", more, "--dry-run", "-p", "pw", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Which statements they are is the builder's; here they are printed, each on its line.
    EXPECT_TRUE(r.out.ends_with("\nUPDATE FIELD SET DISP_SEQNO=5 WHERE FIELD_ID='NEW'\n")) << r.out;
    EXPECT_EQ(rvtest::readBytes(m_db), before);

    // The password from standard input.
    const std::string again = file("# new\nNOTE\tx\t数字\n");
    std::ofstream(m_dir.file("pw")) << "pw\n";
    r = rvtest::runProgram(
        {m_bin, "--fields", again, "--dry-run", "--password-file", "-", "-t", m_templates, m_db},
        m_dir.file("pw"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "ravLIN: 項目ID あるいは項目名は重複しています。  行： 4　と  5　重複\n"
              "rv_makedb: " +
                  again + ":2: this line is row 5; row 4 is an existing field of the database\n");
    r = run({"--fields", more, "-p", "wrong", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "ravLIN: データベースがエラーです\nrv_makedb: " + m_db +
                         ": wrong password, or not a database\n");
    EXPECT_EQ(rvtest::readBytes(m_db), before);
}

// A list cell's text is trimmed of blanks, then must be an entry of its list: each line that
// holds another is named with the row it made and the allowed entries, and nothing is built
// or written, not even by --dry-run. A duplicate of the heading row is named as such.
TEST_F(RvMakedb, EachRefusedLineIsNamedAndNothingIsWritten) {
    const std::string attr =
        "行目の属性は「文字、数字、日付、YESNO、メモ」のいずれかでなければなりません｡\n";
    const std::string trimmed = file("MAIL1\tm\t文字 \t20\n");
    const std::string foo = file("# fields\nA\ta\t文字\t10\n\nX\tx\tfoo\t20\nY\ty\t数字\t\tzz\n");
    const std::string heading = file("MAIL1\t項目名\t文字\t10\n");
    ASSERT_EQ(run({"--fields", trimmed, "-p", "pw", "-t", m_templates, m_db}).exitCode, 0);
    EXPECT_EQ(rvtest::RawDb(m_db, "pw").rows(kBuilt), std::vector<std::string>{"MAIL1|m|T|20|1|0"});
    const std::string before = rvtest::readBytes(m_db);
    const std::string fresh = m_dir.file("fresh.mdb");
    for (const std::string& db : {m_db, fresh}) {
        for (const bool dry : {false, true}) {
            std::vector<std::string> args{"--fields", foo, "-p", "pw", "-t", m_templates};
            if (dry) {
                args.push_back("--dry-run");
            }
            args.push_back(db);
            const rvtest::ProgramResult r = run(args);
            const int first = db == m_db ? 2 : 1;  // below the database's own field
            SCOPED_TRACE(db + (dry ? " --dry-run" : ""));
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err, "ravLIN: " + std::to_string(first + 1) + attr + "rv_makedb: " + foo +
                                 ":4: this line is row " + std::to_string(first + 1) +
                                 "\nravLIN: " + std::to_string(first + 2) +
                                 "行目のIMEは「ON、OFF」のいずれかでなければなりません｡\n"
                                 "rv_makedb: " +
                                 foo + ":5: this line is row " + std::to_string(first + 2) + "\n");
        }
    }
    EXPECT_EQ(rvtest::readBytes(m_db), before);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    const rvtest::ProgramResult r =
        run({"--fields", heading, "-p", "pw", "-t", m_templates, fresh});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "ravLIN: 項目ID あるいは項目名は重複しています。  行： 0　と  1　重複\n"
              "rv_makedb: " +
                  heading +
                  ":1: this line is row 1; row 0 is the heading row (フィールドID, 項目名, "
                  "...)\n");
}

// Whatever a name holds, the listing of a database reads back with --fields to the same
// fields, and no name is stored with a control character: those typed in are dropped, and
// a field stored with one before is listed without it.
TEST_F(RvMakedb, ListedFieldsReadBackToTheSameFieldsWhateverTheirNames) {
    const std::string hostile = file(
        "MAIL1\tna\rme\t文字\t10\n"
        "B\x7f"
        "\x01"
        "C\tx\u2028y\u2029z\t文字\t10\n"
        "Q\tq\"uote\"\t数字\n"
        "H\t#hash %1 back\\slash\tメモ\n"
        "S\t  blanks\u3000\u3000 \t日付\n");
    const rvtest::ProgramResult built =
        run({"--fields", hostile, "-p", "pw", "-t", m_templates, m_db});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(rvtest::RawDb(m_db, "pw")
                  .rows("SELECT FIELD_ID||'|'||FIELD_NAME FROM FIELD ORDER "
                        "BY DISP_SEQNO"),
              (std::vector<std::string>{"MAIL1|name", "BC|xyz", "Q|q\"uote\"",
                                        "H|#hash %1 back\\slash", "S|  blanks\u3000\u3000 "}));
    // Stored before names were kept clean.
    rvtest::RawDb(m_db, "pw")
        .rows(
            "UPDATE FIELD SET FIELD_NAME='t'||char(9)||'a'||char(10)||'b'||char(13) WHERE "
            "FIELD_ID='Q'");
    const rvtest::ProgramResult listed = run({"--list-fields", "-p", "pw", m_db});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const std::string copy = m_dir.file("copy.mdb");
    const rvtest::ProgramResult again =
        run({"--fields", file(listed.out), "-p", "pw", "-t", m_templates, copy});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.err, "");
    EXPECT_EQ(run({"--list-fields", "-p", "pw", copy}).out, listed.out);
    EXPECT_EQ(rvtest::RawDb(copy, "pw").rows("SELECT FIELD_NAME FROM FIELD WHERE FIELD_ID='Q'"),
              std::vector<std::string>{"tab"});
}

// One run for each way out, each with its message. What a library file may hold is the
// library's to say; here the lines it refuses for the file and those the library refuses
// come in line order, each naming its line.
TEST_F(RvMakedb, TemplateCommandsExitStatusesAndMessagesLeaveTheLibraryAsItWas) {
    const std::string before = exported(m_library);
    ASSERT_EQ(before.substr(0, kHeader.size()), kHeader);
    const std::string refused = file(kHeader +
                                     "\tNEW1\t新1\t数字\t\t\t\t1\n\tCUSTNO\t新2\t数字\t\t\t\t2\n"
                                     "/x\tNEW3\t新3\t数字\n\tdate\t新4\t日付\t\t\t\t4\n");
    const std::string none = m_dir.file("none.txt"), cp932 = file("\x95\xb6\x8e\x9a\n");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string err;  // a prefix where it ends in "..."
    } runs[] = {
        {{"--import-templates", refused},
         1,
         "rv_makedb: " + refused +
             ":3: 項目ID あるいは項目名は重複しています。 (the same ID as the library's field "
             "CUSTNO 「顧客番号」)\n" +
             "rv_makedb: " + refused +
             ":4: 4 cells; a folder line has 1, a field line 8 (separated by tabs)\n" +
             "rv_makedb: " + refused + ":5: この項目ＩＤは使用できません\n"},
        {{"--import-templates", none}, 2, "rv_makedb: " + none + ": cannot read it\n"},
        {{"--import-templates", cp932},
         2,
         "rv_makedb: " + cp932 + ":1: not valid UTF-8 (name its encoding with --encoding)\n"},
        {{"--import-templates", refused, "--into", "基本情報"},
         2,
         "rv_makedb: --into 基本情報: ..."},
        {{"--export-templates", m_dir.file("no/such/folder.txt")},
         2,
         "rv_makedb: cannot write ..."},
        {{"--import-templates", refused, "-t", m_dir.file("none.mdb")},
         3,
         "rv_makedb: template library: ..."},
        // The template browser alone opens no window on a library the wizard would refuse.
        {{"--templates", "-t", m_dir.file("none.mdb")}, 3, "rv_makedb: template library: ..."},
    };
    for (const auto& r : runs) {
        std::vector<std::string> args = r.args;
        if (std::find(args.begin(), args.end(), "-t") == args.end()) {
            args.insert(args.end(), {"-t", m_library});
        }
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto result = run(args);
        EXPECT_EQ(result.exitCode, r.exitCode) << result.err;
        const std::size_t exact = r.err.ends_with("...") ? r.err.size() - 3 : std::string::npos;
        // What Qt may say first, when there are windows, is not ours.
        const std::string err =
            result.err.substr(std::min(result.err.find("rv_makedb: "), result.err.size()));
        EXPECT_EQ(err.substr(0, exact), r.err.substr(0, exact));
        EXPECT_EQ(exported(m_library), before);
    }
}

// Out to a file and into an empty library: the same bytes again. Then a file in the encoding
// it was written in, into a folder, a known ID skipped.
TEST_F(RvMakedb, ATemplateRoundTripGivesTheSameBytesAndAnImportTakesItsOptions) {
    const std::string out = m_dir.file("out.txt");
    ASSERT_EQ(run({"--export-templates", out, "-t", m_library}).exitCode, 0);
    const std::string empty = m_dir.file("empty.mdb");
    rvtest::templateLibrary(empty, {});
    const auto imported = run({"--import-templates", out, "-t", empty});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(exported(empty), rvtest::readBytes(out));

    const std::string cp932 = file(kHeader + "\tCUSTNO\tx\t\x95\xb6\x8e\x9a\t10\tON\t\t1\n" +
                                   "\tNEWID\t\x90\x56\x8b\x4b\t\x95\xb6\x8e\x9a\t10\tON\t\t2\n");
    const auto r = run({"--import-templates", cp932, "--encoding", "CP932", "--into", "/新",
                        "--skip-existing", "-t", m_library});
    EXPECT_EQ(r.out, "rv_makedb: imported 1 folder and 1 field into " + m_library +
                         "; 1 skipped (ID already in the library)\n")
        << r.err;
}

// A full disk (a file may not grow beyond 100 KiB) and a kill while the import writes: the
// library is as it was.
TEST_F(RvMakedb, AFullDiskOrAKillInTheMiddleOfAnImportChangesNothing) {
    std::string text = kHeader + "/大量\n";
    for (int i = 0; i < 3000; ++i) {
        text += "/大量\tBULK" + std::to_string(i) + "\t大量" + std::to_string(i) +
                "\t文字\t100\tON\t\t" + std::to_string(i + 1) + "\n";
    }
    const std::string bulk = file(text);
    const std::string before = exported(m_library);

    std::vector<std::string> args = kFullDisk;
    args.insert(args.end(), {m_bin, "--import-templates", bulk, "-t", m_library});
    const auto full = rvtest::runProgram(args);
    EXPECT_EQ(full.exitCode, 3) << full.err;
    EXPECT_TRUE(full.err.starts_with("rv_makedb: template library: ")) << full.err;
    EXPECT_EQ(exported(m_library), before);

    {
        const rvtest::FolderWatch watch(m_dir.file(""));
        rvtest::Child child({m_bin, "--import-templates", bulk, "-t", m_library});
        ASSERT_TRUE(watch.waitFor(IN_CREATE, "-journal"));
    }  // killed
    EXPECT_EQ(exported(m_library), before);
}

// Moving from the Windows system: --import-jet makes NEW once, refuses what it cannot
// import leaving nothing, and what it made is a product database the wizard extends; the
// wizard (here batch mode) names the conversion for the old file and leaves it alone.
TEST_F(RvMakedb, ImportJetMakesAProductDatabaseTheWizardExtends) {
    const std::string old = rvtest::jetFixture("product-v2003.mdb");
    const std::string before = rvtest::readBytes(old);
    const std::string made = m_dir.file("new.db");
    rvtest::ProgramResult r = run({"--import-jet", old, "-p", "pw", made});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, made + ": 20 tables, 12 fields, 115 rows imported from " + old + "\n");
    r = run({"--import-jet", old, "-p", "pw", made});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "rv_makedb: " + made +
                         " exists already: --import-jet makes a new product database\n");
    const std::string library = rvtest::jetFixture("product-library.mdb");
    const std::string refused = m_dir.file("refused.db");
    r = run({"--import-jet", library, refused});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.starts_with("rv_makedb: " + library +
                                  " is not a product database: it lacks table PROJECT, "))
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(refused));
    EXPECT_EQ(run({"--import-jet", old}).exitCode, 2);

    // Into a server's database: named without the password written into its URI, and
    // turned away while a wizard holds it.
    const std::string uri = rvtest::sharedPgServer().createDatabase();
    const std::string withPassword = "postgresql://rv:" + std::string(rvtest::PgServer::kPassword) +
                                     "@" + uri.substr(uri.find("@") + 1);
    {
        jet::Connection wizard;
        wizard.open(jet::ConnectionString::build(uri, rvtest::PgServer::kPassword));
        ASSERT_TRUE(wizard.tryLock("rv_makeDB product database"));
        r = run({"--import-jet", old, withPassword});
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_EQ(r.err, "rv_makedb: " + uri + ": a wizard has it open\n");
    }
    r = run({"--import-jet", old, withPassword});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, uri + ": 20 tables, 12 fields, 115 rows imported from " + old + "\n");

    // The old file in the wizard: the message, exit 3, the file untouched.
    const std::string more = file("NEW1\t新しい項目\t文字\t20\n");
    r = run({"--fields", more, "-t", m_templates, old});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err,
              "ravLIN: このファイルは以前のバージョンのデータベースです。 "
              "次のコマンドで新しいデータベースに変換してからお使いください。 "
              "rv_makedb --import-jet \"" +
                  old + "\" 新しいファイル名\n");
    EXPECT_EQ(rvtest::readBytes(old), before);

    // The new file: its fields are fixed rows, OK adds the new one after them.
    r = run({"--fields", more, "-p", "pw", "-t", m_templates, made});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    rvtest::RawDb db(made, "pw");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM FIELD"), "13");
    EXPECT_EQ(db.scalar("SELECT DISP_SEQNO FROM FIELD WHERE FIELD_ID='NEW1'"), "13");
    EXPECT_EQ(db.scalar("SELECT count(NEW1) FROM ADDRESS"), "0");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM ADDRESS"), "50");
}

// A server's password is a login: asked once, never retyped as for a new file.
TEST_F(RvMakedb, AServersPasswordIsAskedOnce) {
    rvtest::Terminal t(m_bin,
                       {"--fields", file("MAIL1\tメール\t文字\t100\n"), "--yes", "--ask-password",
                        "-t", m_templates, rvtest::sharedPgServer().createDatabase()},
                       m_dir.file(""));
    ASSERT_TRUE(t.waitForPasswordPrompt("Password: "));
    t.type(std::string(rvtest::PgServer::kPassword) + "\n");
    ASSERT_FALSE(t.waitFor("Retype", 5)) << t.shown();  // it ends instead
    EXPECT_EQ(t.exitCode(), 0) << t.shown();
}

// Stopped in the middle (its working file made, NEW not yet), the import leaves no file.
TEST_F(RvMakedb, ImportJetStoppedLeavesNothing) {
    const std::string folder = m_dir.file("stop");
    std::filesystem::create_directory(folder);
    const rvtest::FolderWatch watch(folder);
    rvtest::Child child(
        {m_bin, "--import-jet", rvtest::jetFixture("product.mdb"), folder + "/new.db"});
    ASSERT_TRUE(watch.waitFor(IN_CREATE, ".importing"));
    child.signal(SIGTERM);
    rvtest::ProgramResult r;
    ASSERT_TRUE(child.run(20000, r));
    EXPECT_EQ(r.exitCode, 143) << r.err;
    EXPECT_TRUE(folderNames(folder).empty());
}

}  // namespace
