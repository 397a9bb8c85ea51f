// rv_makedb as a user or a script runs it: batch mode, the whole wizard path without a
// screen, judged by exit code, messages and the file it leaves, and killed at any moment;
// the template browser alone, where only a process shows its exit code.
#include <gtest/gtest.h>

#include <dirent.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "databases.h"
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
        args.insert(args.begin(), rvtest::binDir() + "/rv_makedb");
        return rvtest::runProgram(args);
    }
    bool exists() const { return std::ifstream(m_db).good(); }

    rvtest::TempDir m_dir;
    std::string m_templates = rvtest::templateLibrary(m_dir.file("base.mdb"));
    std::string m_db = m_dir.file("p.mdb");
    int m_files = 0;
};

TEST_F(Batch, BuildsANewDatabaseAsIfTypedAndExtendsIt) {
    // A letter in a text field's size is refused key by key, a size on a number field cannot
    // be typed at all, and '-' is no ID character.
    auto r = batch({"--fields",
                    fields("# address book\nMA-IL1\tメール\t文字\t1x00\tOFF\tPCメール\n\n"
                           "NAME\t氏名\t文字\t40\nAGE\t年齢\t数字\t5\n"),
                    "-p", "pw", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err,
              "ravLIN: 使用不可の文字があるので､その文字が削除されます｡\n"
              "ravLIN: 数字を入力してください。\n");
    {
        rvtest::RawDb raw(m_db, "pw");
        EXPECT_EQ(raw.rows("SELECT FIELD_ID,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG,DISP_SEQNO FROM "
                           "FIELD ORDER BY DISP_SEQNO"),
                  (std::vector<std::string>{"MAIL1|T|100|0|1|1", "NAME|T|40|1|0|2",
                                            "AGE|N|<null>|0|0|3"}));
    }
    r = batch(
        {"--fields", fields("ZIP\t郵便番号\t文字\t8\tOFF\n"), "-p", "pw", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(
        rvtest::RawDb(m_db, "pw").rows("SELECT FIELD_ID,DISP_SEQNO FROM FIELD ORDER BY DISP_SEQNO"),
        (std::vector<std::string>{"MAIL1|1", "NAME|2", "AGE|3", "ZIP|4"}));
}

TEST_F(Batch, RefusalsPrintTheMessageAndLeaveNothing) {
    auto r =
        batch({"--fields", fields("MAIL1\ta\t数字\nmail1\tb\t数字\n"), "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "ravLIN: 項目ID あるいは項目名は重複しています。  行： 1　と  2　重複\n");
    EXPECT_FALSE(exists());

    r = batch({"--fields", fields("A\ta\tメモ\n"), "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        r.err,
        "ravLIN: メール項目が存在しないため、メールを送信することが出来ません。よろしいですか。\n");
    EXPECT_FALSE(exists());

    r = batch({"--fields", fields("A\ta\tメモ\n"), "--yes", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(exists());
}

TEST_F(Batch, OpeningFailuresAndUsage) {
    rvtest::productDatabase(m_db, "right", {});
    const std::string before = rvtest::readBytes(m_db);
    auto r = batch({"--fields", fields("MAIL1\ta\n"), "-p", "wrong", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "ravLIN: データベースがエラーです\n");
    EXPECT_EQ(rvtest::readBytes(m_db), before);

    r = batch(
        {"--fields", fields("MAIL1\ta\n"), "-t", m_dir.file("none.mdb"), m_dir.file("q.mdb")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("none.mdb"), std::string::npos) << r.err;

    EXPECT_EQ(batch({"--fields", fields("MAIL1\ta\n")}).exitCode, 2) << "no DATABASE";
    EXPECT_EQ(batch({"--fields", m_dir.file("missing.txt"), m_db}).exitCode, 2);
    EXPECT_EQ(batch({"--yes", m_db}).exitCode, 2) << "--yes needs --fields";
    EXPECT_EQ(batch({"--encoding", "CP932", m_db}).exitCode, 2) << "--encoding needs --fields";
    EXPECT_EQ(batch({"--bogus"}).exitCode, 2);
    // A field file is read no further than its limit.
    r = batch({"--fields", "/dev/zero", "-t", m_templates, m_dir.file("q.mdb")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err,
              "rv_makedb: /dev/zero is larger than 1 MiB (a field file holds at most 1 MiB and "
              "10000 field lines)\n");
    EXPECT_FALSE(std::ifstream(m_dir.file("q.mdb")).good());

    // Without a display the wizard says so in one line; batch mode needs none.
    const auto headless =
        rvtest::runProgram({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u",
                            "QT_QPA_PLATFORM", rvtest::binDir() + "/rv_makedb", m_db});
    EXPECT_EQ(headless.exitCode, 2);
    EXPECT_EQ(headless.err,
              "rv_makedb: no display available (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n");
}

TEST_F(Batch, TheTemplateBrowserAloneStopsAtALibraryItCannotOpen) {
    const auto r = batch({"--templates", "-t", m_dir.file("none.mdb")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("none.mdb"), std::string::npos) << r.err;
    EXPECT_EQ(batch({"--templates", m_db}).exitCode, 2) << "it takes no DATABASE";
}

// A list written on Japanese Windows (CP932), built with its encoding named; the database
// lands on the very bytes of its path.
TEST_F(Batch, AFieldFileInAnotherEncodingAndAPathThatIsNotUtf8) {
    const std::string list = fields("MAIL1\t\x83\x81\x81\x5b\x83\x8b\t\x95\xb6\x8e\x9a\t100\n");
    const std::string db = m_dir.file("\x83\x41.mdb");  // "ア" in Shift_JIS
    auto r = batch({"--fields", list, "-p", "pw", "-t", m_templates, db});
    EXPECT_EQ(r.exitCode, 2) << "not UTF-8";
    r = batch({"--fields", list, "--encoding", "CP932", "-p", "pw", "-t", m_templates, db});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(rvtest::RawDb(db, "pw").scalar("SELECT FIELD_ID||FIELD_NAME||ATTR FROM FIELD"),
              "MAIL1メールT");
}

// Batch mode keeps the wizard's messages and adds what the engine said: here a file may not
// grow beyond 100 KiB, as on a full disk (enough for the empty database, not the build), and
// another program holds a lock on an existing database.
TEST_F(Batch, AFailedBuildAlsoTellsTheEnginesReason) {
    std::string text = "MAIL1\tm\t文字\t10\n";
    for (int i = 2; i <= 61; ++i) {
        text += "F" + std::to_string(i) + "\tf" + std::to_string(i) + "\t文字\t10\n";
    }
    auto r = rvtest::runProgram({"/bin/bash", "-c", "trap '' XFSZ; ulimit -f 100; exec \"$@\"",
                                 "bash", rvtest::binDir() + "/rv_makedb", "--fields", fields(text),
                                 "-p", "pw", "-t", m_templates, m_db});
    EXPECT_EQ(r.exitCode, 1);
    auto reason = r.err.rfind("rv_makedb: ");
    EXPECT_EQ(r.err.substr(0, reason),
              "ravLIN: 項目ＩＤが誤っています。行= 62　項目ＩＤ=F61\n"
              "ravLIN: データ作成エラーが発生しました。\n");
    EXPECT_NE(r.err.find("disk", reason), std::string::npos) << r.err;
    EXPECT_FALSE(exists()) << "the file this run made is gone again";

    rvtest::productDatabase(m_db, "pw", {});
    rvtest::RawDb holder(m_db, "pw");
    ASSERT_EQ(holder.exec("BEGIN IMMEDIATE"), "ok");
    r = batch({"--fields", fields("MAIL1\tm\t文字\t10\n"), "-p", "pw", "-t", m_templates, m_db});
    reason = r.err.rfind("rv_makedb: ");
    EXPECT_EQ(r.err.substr(0, reason),
              "ravLIN: 項目ＩＤが誤っています。行= 1　項目ＩＤ=MAIL1\n"
              "ravLIN: データ作成エラーが発生しました。\n");
    EXPECT_NE(r.err.find("locked", reason), std::string::npos) << r.err;
}

// Watches a folder for the first event of a kind on a name with a given ending.
struct FolderWatch {
    explicit FolderWatch(const std::string& folder) {
        inotify_add_watch(fd, folder.c_str(), IN_CREATE | IN_DELETE | IN_MOVED_TO);
    }
    ~FolderWatch() { ::close(fd); }
    bool waitFor(uint32_t mask, const std::string& ending) const {
        alignas(inotify_event) char buf[4096];
        for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, 20000) == 1;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            for (ssize_t at = 0; at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
                const std::string name = e->len > 0 ? e->name : "";
                if ((e->mask & mask) && name.size() >= ending.size() &&
                    name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
                    return true;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        return false;
    }
    const int fd = inotify_init1(IN_CLOEXEC);
};

std::set<std::string> folderNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
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
        const std::vector<std::string> args{rvtest::binDir() + "/rv_makedb",
                                            "--fields",
                                            list,
                                            "-p",
                                            "pw",
                                            "-t",
                                            m_templates,
                                            folder + "/k.mdb"};
        {
            const FolderWatch watch(folder);
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
        const FolderWatch watch(folder);
        rvtest::Child child(
            {rvtest::binDir() + "/rv_makedb", "-t", m_templates, folder + "/w.mdb"});
        ASSERT_TRUE(watch.waitFor(IN_CREATE | IN_MOVED_TO, "w.mdb"));
        child.signal(sig);
        rvtest::ProgramResult r;
        ASSERT_TRUE(child.run(20000, r)) << "the wizard stays open";
        EXPECT_EQ(r.exitCode, status) << r.err;
        EXPECT_TRUE(folderNames(folder).empty());
    }
}

TEST_F(Batch, AKilledBuildLeavesTheFileGoneWithoutTablesOrCompleteNeverDamaged) {
    constexpr int kFields = 120;
    std::string text = "MAIL1\tmail\t文字\t100\n";
    for (int i = 2; i <= kFields; ++i) {
        text += "F" + std::to_string(i) + "\tfield" + std::to_string(i) + "\t文字\t20\n";
    }
    const std::string list = fields(text);
    const auto args = [&](const std::string& db) {
        return std::vector<std::string>{
            rvtest::binDir() + "/rv_makedb", "--fields", list, "-p", "pw", "-t", m_templates, db};
    };
    // How long a whole run takes here, so that the kills spread over all of it.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(rvtest::runProgram(args(m_dir.file("full.mdb"))).exitCode, 0);
    const auto fullMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
    std::mt19937 random(20261205);
    std::uniform_int_distribution<int> when(0, static_cast<int>(fullMs));
    for (int run = 0; run < 12; ++run) {
        const std::string db = m_dir.file("crash" + std::to_string(run) + ".mdb");
        rvtest::Child child(args(db));
        rvtest::ProgramResult r;
        if (!child.run(when(random), r)) {
            child.kill();
        }
        if (!std::ifstream(db).good()) {
            continue;  // gone
        }
        rvtest::RawDb raw(db, "pw");  // else without tables or complete, never damaged
        EXPECT_EQ(raw.scalar("PRAGMA integrity_check"), "ok") << db;
        const std::string tables = raw.scalar(
            "SELECT count(*) FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%'");
        if (tables != "0") {
            EXPECT_EQ(tables, "20") << db;
            EXPECT_EQ(raw.scalar("SELECT count(*) FROM FIELD"), std::to_string(kFields)) << db;
        }
    }
}

}  // namespace
