// SPDX-License-Identifier: MIT
// An import into a library that must not be written (a shared one): checked there, written
// to the user's copy, which a refused import never makes.
#include "component/template_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "databases.h"
#include "temp_dir.h"

namespace {

TEST(TemplateTransfer, ASharedLibraryIsReadAndTheUsersCopyWrittenOnlyWhenTheImportPasses) {
    rvtest::TempDir dir;
    const std::string shared = dir.file("base.mdb");
    rvtest::templateLibrary(shared);
    const std::string shipped = rvtest::readBytes(shared);
    const component::TemplateTarget target{shared, dir.file("user/rv_makedb/base.mdb")};
    const std::string header = "folder\tid\tname\tattribute\tsize\time\tfixed\tposition\n";
    auto import = [&](const std::string& line) {
        const std::string file = dir.file("import.tsv");
        std::ofstream(file) << header << line;
        std::ostringstream out, err;
        return component::importTemplates(target, {file, {}, {}, false}, out, err);
    };

    EXPECT_EQ(import("\tCUSTNO\t顧客\t数字\t\t\t\t1\n"), component::TransferStatus::kRefused);
    EXPECT_FALSE(std::filesystem::exists(target.changes));
    EXPECT_EQ(import("/mine\tONE\t一\t数字\t\t\t\t1\n"), component::TransferStatus::kDone);
    EXPECT_EQ(rvtest::readBytes(shared), shipped);
    std::ostringstream exported, err;
    component::exportTemplates({target.changes, {}}, "-", exported, err);
    EXPECT_NE(exported.str().find("/mine\tONE\t一"), std::string::npos);
}

}  // namespace
