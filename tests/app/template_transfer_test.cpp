// SPDX-License-Identifier: MIT
// rv_makedb's template library commands as a user or a script runs them: exit statuses and
// messages, and the library exactly as before after every failure (a refusal, a full disk,
// a kill).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "databases.h"
#include "folder_watch.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

const std::string kHeader = "folder\tid\tname\tattribute\tsize\time\tfixed\tposition\n";

class TemplateTransfer : public ::testing::Test {
  protected:
    std::string file(const std::string& text) {
        const std::string path = m_dir.file("file" + std::to_string(++m_files) + ".txt");
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // A run on the library of the test unless -t names another.
    rvtest::ProgramResult run(std::vector<std::string> args) {
        if (std::find(args.begin(), args.end(), "-t") == args.end()) {
            args.insert(args.end(), {"-t", m_library});
        }
        args.insert(args.begin(), m_bin);
        return rvtest::runProgram(args);
    }
    // The library's export, which shows everything an import could change.
    std::string exported(const std::string& library) {
        return run({"--export-templates", "-", "-t", library}).out;
    }

    const std::string m_bin = rvtest::binDir() + "/rv_makedb";
    rvtest::TempDir m_dir;
    std::string m_library = m_dir.file("base.mdb");
    int m_files = 0;

    void SetUp() override { rvtest::templateLibrary(m_library); }
};

// One run for each way out, each with its message. What a library file may hold is the
// library's to say; here the lines it refuses for the file and those the library refuses
// come in line order, each naming its line.
TEST_F(TemplateTransfer, ExitStatusesAndMessagesLeaveTheLibraryAsItWas) {
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
         "rv_makedb: " + refused + ":3: 項目ID あるいは項目名は重複しています。 \n" +
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
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(::testing::PrintToString(r.args));
        const auto result = run(r.args);
        EXPECT_EQ(result.exitCode, r.exitCode) << result.err;
        const std::size_t exact = r.err.ends_with("...") ? r.err.size() - 3 : std::string::npos;
        EXPECT_EQ(result.err.substr(0, exact), r.err.substr(0, exact));
        EXPECT_EQ(exported(m_library), before);
    }
}

// Out to a file and into an empty library: the same bytes again. Then a file in the encoding
// it was written in, into a folder, a known ID skipped.
TEST_F(TemplateTransfer, ARoundTripGivesTheSameBytesAndAnImportTakesItsOptions) {
    const std::string out = m_dir.file("out.txt");
    ASSERT_EQ(run({"--export-templates", out}).exitCode, 0);
    const std::string empty = m_dir.file("empty.mdb");
    rvtest::templateLibrary(empty, {});
    const auto imported = run({"--import-templates", out, "-t", empty});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(exported(empty), rvtest::readBytes(out));

    const std::string cp932 = file(kHeader + "\tCUSTNO\tx\t\x95\xb6\x8e\x9a\t10\tON\t\t1\n" +
                                   "\tNEWID\t\x90\x56\x8b\x4b\t\x95\xb6\x8e\x9a\t10\tON\t\t2\n");
    const auto r = run(
        {"--import-templates", cp932, "--encoding", "CP932", "--into", "/新", "--skip-existing"});
    EXPECT_EQ(r.out, "rv_makedb: imported 1 folder and 1 field into " + m_library +
                         "; 1 skipped (ID already in the library)\n")
        << r.err;
}

// A full disk (a file may not grow beyond 100 KiB) and a kill while the import writes: the
// library is as it was.
TEST_F(TemplateTransfer, AFullDiskOrAKillInTheMiddleChangesNothing) {
    std::string text = kHeader + "/大量\n";
    for (int i = 0; i < 3000; ++i) {
        text += "/大量\tBULK" + std::to_string(i) + "\t大量" + std::to_string(i) +
                "\t文字\t100\tON\t\t" + std::to_string(i + 1) + "\n";
    }
    const std::string bulk = file(text);
    const std::string before = exported(m_library);

    const auto full =
        rvtest::runProgram({"/bin/bash", "-c", "trap '' XFSZ; ulimit -f 100; exec \"$@\"", "bash",
                            m_bin, "--import-templates", bulk, "-t", m_library});
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

}  // namespace
