// SPDX-License-Identifier: MIT
// Where the template library is found, where changes to it go, and the copy the first
// change makes, over real files in a temporary folder.
#include "templates/library_place.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "databases.h"
#include "temp_dir.h"

namespace {

using namespace Qt::StringLiterals;
using namespace templates;
using Source = LibraryPlace::Source;

class LibraryPlaceTest : public ::testing::Test {
  protected:
    // `name` below the temporary folder.
    QString at(const QString& name) const {
        return QString::fromStdString(m_dir.file(name.toStdString()));
    }
    // A file at `name` holding `text`, its folders made.
    QString put(const QString& name, const std::string& text = "library") const {
        const QString path = at(name);
        std::filesystem::create_directories(
            std::filesystem::path(path.toStdString()).parent_path());
        std::ofstream(path.toStdString()) << text;
        return path;
    }

    rvtest::TempDir m_dir;
};

// Each case: the files made before the search ('%' stands for /rv_makedb/base.mdb below a
// data folder), XDG_DATA_HOME, XDG_DATA_DIRS, the library found and where it came from. HOME
// is h; "relative" stands for a relative path.
TEST_F(LibraryPlaceTest, TheBuildTreeThenTheUsersThenEachSharedFolderThenTheInstalledOne) {
    const struct {
        const char *files, *dataHome, *dataDirs, *found;
        Source source;
    } cases[] = {
        {"beside/base.mdb user% site%", "user", "site", "beside/base.mdb", Source::kBuildTree},
        {"user% site% usr%", "user", "site:usr", "user%", Source::kUserData},
        // Without XDG_DATA_HOME, and with a relative one, the user's is ~/.local/share.
        {"h/.local/share% usr%", "", "usr", "h/.local/share%", Source::kUserData},
        {"h/.local/share% usr%", "relative", "usr", "h/.local/share%", Source::kUserData},
        {"usr%", "user", "site:usr", "usr%", Source::kSharedData},
        // Relative and empty entries of XDG_DATA_DIRS are passed over.
        {"usr% site%", "user", "relative::usr:site", "usr%", Source::kSharedData},
        {"installed/base.mdb", "user", "site", "installed/base.mdb", Source::kInstalled},
        {"user%/inside", "user", "site", "user%", Source::kMissing},  // a folder is no library
    };
    auto expand = [](const char* text) {
        return QString::fromUtf8(text).replace(u'%', kLibraryInDataFolder.toString().prepend(u'/'));
    };
    // Absolute paths for the names the test gives, as the environment holds them.
    auto absolute = [&](const char* value) {
        QStringList out;
        for (const QString& part : QString::fromUtf8(value).split(u':')) {
            out << (part.isEmpty() || part == u"relative" ? part : at(part));
        }
        return out.join(u':');
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(at({}).toStdString());
        for (const QString& file : expand(c.files).split(u' ')) {
            put(file);
        }
        const DataFolders folders{absolute(c.dataHome), absolute(c.dataDirs), at(u"h"_s),
                                  at(u"beside/base.mdb"_s), at(u"installed/base.mdb"_s)};
        const LibraryPlace place = findLibrary(folders);
        EXPECT_EQ(place.path, at(expand(c.found))) << c.files;
        EXPECT_EQ(place.source, c.source) << c.files;
    }
}

TEST_F(LibraryPlaceTest, TheCopyIsMadeOnceWholeAndPrivateOrReportedLeavingTheSourceAsItWas) {
    rvtest::TempDir shipped;
    const std::string source = shipped.file("base.mdb");
    rvtest::templateLibrary(source);
    const std::string before = rvtest::readBytes(source);
    const QString copy = at(u"data/new/rv_makedb/base.mdb"_s);

    EXPECT_TRUE(copyLibraryOnce(QString::fromStdString(source), copy));
    EXPECT_EQ(rvtest::readBytes(copy.toStdString()), before);
    struct stat st {};
    ASSERT_EQ(::stat(copy.toStdString().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600U);
    for (const QString& folder : {u"data/new/rv_makedb"_s, u"data/new"_s, u"data"_s}) {
        ASSERT_EQ(::stat(at(folder).toStdString().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700U) << folder.toStdString();
    }

    // Once made, the copy is the user's: a later call leaves it alone.
    std::ofstream(copy.toStdString(), std::ios::app) << "changed";
    EXPECT_FALSE(copyLibraryOnce(QString::fromStdString(source), copy));
    EXPECT_EQ(rvtest::readBytes(copy.toStdString()), before + "changed");
    EXPECT_EQ(QDir(at(u"data/new/rv_makedb"_s)).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"base.mdb"_s});

    // A path through a file, and a file system nobody writes (root included): reported, and
    // nothing made.
    put(u"file"_s);
    for (const QString& refused :
         {at(u"file/rv_makedb/base.mdb"_s), u"/proc/rv_makedb_test/rv_makedb/base.mdb"_s}) {
        EXPECT_THROW(copyLibraryOnce(QString::fromStdString(source), refused), std::runtime_error)
            << refused.toStdString();
        EXPECT_FALSE(QFile::exists(refused));
    }
    EXPECT_EQ(rvtest::readBytes(source), before);
    EXPECT_EQ(QDir(at({})).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u"data"_s, u"file"_s}));
}

// Changes to a shared or installed library go to the user's copy. (Which file each write and
// read then reaches: the owner's test.)
TEST_F(LibraryPlaceTest, ChangesToASharedOrInstalledLibraryGoToTheUsersCopyOnce) {
    const QString site = put(u"site/rv_makedb/base.mdb"_s);
    const QString installed = put(u"installed/base.mdb"_s);
    const QString beside = put(u"beside/base.mdb"_s);
    const QString own = put(u"own.mdb"_s);
    QDir().mkpath(at(u"link"_s));
    QFile::link(at(u"site"_s), at(u"link/site"_s));
    const DataFolders folders{at(u"user"_s), at(u"site"_s), at(u"h"_s), beside, installed};
    const QString user = at(u"user/rv_makedb/base.mdb"_s);
    for (const auto& [path, changes] : {std::pair{site, user},
                                        {installed, user},
                                        {at(u"link/site/rv_makedb/base.mdb"_s), user},
                                        {beside, beside},
                                        {own, own},
                                        {user, user}}) {
        EXPECT_EQ(libraryForChanges(path, folders), changes) << path.toStdString();
    }
}

}  // namespace
