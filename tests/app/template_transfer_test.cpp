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
    std::string m_library = m_dir.file("base.mdb");
    int m_files = 0;

    void SetUp() override { rvtest::templateLibrary(m_library); }
};

TEST_F(TemplateTransfer, ExitStatusesAndMessagesLeaveTheLibraryAsItWas) {
    const std::string before = exported(m_library);
    ASSERT_EQ(before.substr(0, kHeader.size()), kHeader);
    const std::string cp932 =
        file(kHeader + "\tNEWID\t\x90\x56\x8b\x4b\t\x95\xb6\x8e\x9a\t10\tON\t\t1\n");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string err;  // a prefix where it ends in "..."
    } runs[] = {
        {{"--import-templates",
          file(kHeader + "\tNEW1\t新1\t数字\t\t\t\t1\n\tCUSTNO\t新2\t数字\t\t\t\t2\n"
                         "/x\tNEW3\t新3\t数字\n\tdate\t新4\t日付\t\t\t\t4\n")},
         1,
         "rv_makedb: FILE:3: 項目ID あるいは項目名は重複しています。 \n"
         "rv_makedb: FILE:4: 4 cells; a folder line has 1, a field line 8 (separated by tabs)\n"
         "rv_makedb: FILE:5: この項目ＩＤは使用できません\n"},
        {{"--import-templates", file("id\tname\nA\tB\n")},
         2,
         "rv_makedb: FILE:1: not a library file..."},
        {{"--import-templates", file(std::string("\x89PNG\r\n\x1a\n\0\0", 10))},
         2,
         "rv_makedb: FILE: not a library file: it is not text (binary)\n"},
        {{"--import-templates", cp932},
         2,
         "rv_makedb: FILE:2: not valid UTF-8 (name its encoding with --encoding)\n"},
        {{"--import-templates", m_dir.file("none.txt")}, 2, "rv_makedb: FILE: cannot read it\n"},
        {{"--import-templates", file(kHeader), "--into", "基本情報"},
         2,
         "rv_makedb: --into 基本情報: ..."},
        {{"--export-templates", m_dir.file("no/such/folder.txt")},
         2,
         "rv_makedb: cannot write ..."},
        {{"--import-templates", file(kHeader), "-t", m_dir.file("none.mdb")},
         3,
         "rv_makedb: template library: ..."},
    };
    for (const auto& r : runs) {
        std::vector<std::string> args = r.args;
        if (std::find(args.begin(), args.end(), "-t") == args.end()) {
            args.insert(args.end(), {"-t", m_library});
        }
        const auto result = run(args);
        std::string err = r.err;
        if (const auto at = err.find("FILE"); at != std::string::npos) {
            err.replace(at, 4, args[1]);
            for (auto again = err.find("FILE"); again != std::string::npos;
                 again = err.find("FILE")) {
                err.replace(again, 4, args[1]);
            }
        }
        EXPECT_EQ(result.exitCode, r.exitCode) << args[1] << "\n" << result.err;
        if (err.ends_with("...")) {
            EXPECT_EQ(result.err.substr(0, err.size() - 3), err.substr(0, err.size() - 3))
                << args[1];
        } else {
            EXPECT_EQ(result.err, err) << args[1];
        }
        EXPECT_EQ(exported(m_library), before) << args[1];
    }
    // The same file in the encoding it was written in; then its ID is known.
    const auto imported =
        run({"--import-templates", cp932, "--encoding", "CP932", "-t", m_library});
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    const auto skipped = run(
        {"--import-templates", cp932, "--encoding", "CP932", "--skip-existing", "-t", m_library});
    EXPECT_EQ(skipped.exitCode, 0) << skipped.err;
    EXPECT_EQ(skipped.out, "rv_makedb: imported 0 folders and 0 fields into " + m_library +
                               "; 1 skipped (ID already in the library)\n");
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
