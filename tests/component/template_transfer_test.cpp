// SPDX-License-Identifier: MIT
// An import into a library that must not be written (a shared one): checked there, written
// to the user's copy, which a refused import never makes, and read from there afterwards.
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
    const std::string copy = dir.file("user/rv_makedb/base.mdb");
    templates::DataFolders folders;
    folders.dataHome = QString::fromStdString(dir.file("user"));
    folders.installed = QString::fromStdString(shared);
    const auto target = templates::LibraryOwner::named(QString::fromStdString(shared), folders);
    const std::string header = "folder\tid\tname\tattribute\tsize\time\tfixed\tposition\n";
    auto import = [&](const std::string& line) {
        const std::string file = dir.file("import.tsv");
        std::ofstream(file) << header << line;
        std::ostringstream out, err;
        return component::importTemplates(target, {file, {}, {}, false}, out, err);
    };

    EXPECT_EQ(import("\tCUSTNO\t顧客\t数字\t\t\t\t1\n"), component::TransferStatus::kRefused);
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(import("/mine\tONE\t一\t数字\t\t\t\t1\n"), component::TransferStatus::kDone);
    EXPECT_EQ(rvtest::readBytes(shared), shipped);
    std::ostringstream exported, err;
    component::exportTemplates(target, "-", exported, err);
    EXPECT_NE(exported.str().find("/mine\tONE\t一"), std::string::npos);
}

}  // namespace
