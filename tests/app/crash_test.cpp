// A build killed at any moment leaves the file gone, without tables, or complete, and
// never damaged.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>

#include "databases.h"
#include "raw_db.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

constexpr int kFields = 120;

TEST(CrashSafety, KilledBatchBuildsLeaveAConsistentFile) {
    rvtest::TempDir dir;
    const std::string templates = rvtest::templateLibrary(dir.file("base.mdb"));
    const std::string fieldsFile = dir.file("fields.txt");
    {
        std::ofstream out(fieldsFile);
        out << "MAIL1\tmail\t文字\t100\n";
        for (int i = 2; i <= kFields; ++i) {
            out << "F" << i << "\tfield " << i << "\t文字\t20\n";
        }
    }
    auto args = [&](const std::string& db) {
        return std::vector<std::string>{rvtest::binDir() + "/rv_makedb",
                                        "--fields",
                                        fieldsFile,
                                        "-p",
                                        "pw",
                                        "-t",
                                        templates,
                                        db};
    };

    // How long a whole run takes here, so that the kills spread over all of it.
    const auto start = std::chrono::steady_clock::now();
    {
        rvtest::ProgramResult r = rvtest::runProgram(args(dir.file("full.mdb")));
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    const int fullMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());

    std::mt19937 random(20261205);
    std::uniform_int_distribution<int> when(0, fullMs);
    int gone = 0, empty = 0, complete = 0;
    for (int run = 0; run < 12; ++run) {
        const std::string db = dir.file("crash" + std::to_string(run) + ".mdb");
        rvtest::Child child(args(db));
        rvtest::ProgramResult r;
        if (!child.run(when(random), r)) {
            child.kill();
        }
        if (!std::ifstream(db).good()) {
            ++gone;
            continue;
        }
        rvtest::RawDb raw(db, "pw");
        EXPECT_EQ(raw.scalar("PRAGMA integrity_check"), "ok") << db;
        const std::string tables = raw.scalar(
            "SELECT count(*) FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%'");
        if (tables == "0") {
            ++empty;
        } else {
            ++complete;
            EXPECT_EQ(tables, "20") << db;
            EXPECT_EQ(raw.scalar("SELECT count(*) FROM FIELD"), std::to_string(kFields)) << db;
        }
    }
    RecordProperty("gone", gone);
    RecordProperty("without_tables", empty);
    RecordProperty("complete", complete);
}

}  // namespace
