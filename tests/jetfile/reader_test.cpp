// SPDX-License-Identifier: MIT
// The reader in its child process: what arrives from a good file, and that a reader which
// crashes, hangs, fails or talks nonsense is a ReadError of the caller, nothing more.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <string>

#include "databases.h"
#include "jet/jetfile/jet_file.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

std::string reader() {
    return rvtest::binDir() + "/rv_jetread";
}

TEST(JetReader, ReadsEveryRowOfAFile) {
    jetfile::JetFileReader r(rvtest::jetFixture("product-library.mdb"), {reader()});
    ASSERT_EQ(r.catalog().tables.size(), 1u);
    const jetfile::Table& t = r.catalog().tables[0];
    EXPECT_EQ(t.name, "TEMP_FIELD");
    std::size_t table = 9;
    std::vector<jet::Value> values;
    std::size_t rows = 0;
    while (r.next(table, values)) {
        EXPECT_EQ(table, 0u);
        EXPECT_EQ(values.size(), t.columns.size());
        ++rows;
    }
    EXPECT_EQ(rows, 84u);
    EXPECT_FALSE(r.next(table, values));
}

TEST(JetReader, HeaderTellsAJetFile) {
    EXPECT_TRUE(jetfile::isJetFile(rvtest::jetFixture("product.mdb")));
    EXPECT_FALSE(jetfile::isJetFile(rvtest::jetFixture("README.md")));
    EXPECT_FALSE(jetfile::isJetFile(rvtest::jetFixture("no such file")));
    EXPECT_FALSE(jetfile::hasJetHeader(std::string("\0\1\0\0Standard ACE DB", 19)));
}

// Stand-ins for a reader gone wrong: each is a ReadError with its reason, soon.
TEST(JetReader, AReaderGoneWrongIsARefusal) {
    rvtest::TempDir dir;
    const struct {
        const char* name;
        const char* script;
        const char* reason;
    } cases[] = {
        {"crash", "kill -SEGV $$", "crashed (SIGSEGV)"},
        {"hang", "exec sleep 30", "sent nothing for 300 ms"},
        {"fail", "echo 'cannot cope' >&2; exit 4", "status 4: cannot cope"},
        {"noise", R"(printf 'H\010\000\000\000\004\000\000\000abcd')",
         "a greeting of another kind"},
        {"silence", "exit 0", "ended before the file's tables"},
    };
    for (const auto& c : cases) {
        const std::string program = dir.file(c.name);
        std::ofstream(program) << "#!/bin/sh\n" << c.script << "\n";
        ::chmod(program.c_str(), 0755);
        const auto start = std::chrono::steady_clock::now();
        try {
            jetfile::JetFileReader r(rvtest::jetFixture("product.mdb"),
                                     {program, std::chrono::milliseconds(300)});
            ADD_FAILURE() << c.name;
        } catch (const jetfile::ReadError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos)
                << c.name << ": " << e.what();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << c.name;
    }
}

}  // namespace
