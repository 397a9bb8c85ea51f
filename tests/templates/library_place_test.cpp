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
#include "jet/connection.h"
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

TEST_F(LibraryPlaceTest, TheBuildTreeThenTheUsersThenEachSharedFolderThenTheInstalledOne) {
    struct Case {
        QStringList files;  // made before the search
        QString dataHome, dataDirs, home;
        QString found;  // relative to the temporary folder
        Source source;
    };
    const QString lib = u"/rv_makedb/base.mdb"_s;
    const Case cases[] = {
        {{u"beside/base.mdb"_s, u"user"_s + lib, u"site"_s + lib},
         u"user"_s,
         u"site"_s,
         u"h"_s,
         u"beside/base.mdb"_s,
         Source::kBuildTree},
        {{u"user"_s + lib, u"site"_s + lib, u"usr"_s + lib},
         u"user"_s,
         u"site:usr"_s,
         u"h"_s,
         u"user"_s + lib,
         Source::kUserData},
        // Without XDG_DATA_HOME, and with a relative one, the user's is ~/.local/share.
        {{u"h/.local/share"_s + lib, u"usr"_s + lib},
         {},
         u"usr"_s,
         u"h"_s,
         u"h/.local/share"_s + lib,
         Source::kUserData},
        {{u"h/.local/share"_s + lib, u"usr"_s + lib},
         u"relative"_s,
         u"usr"_s,
         u"h"_s,
         u"h/.local/share"_s + lib,
         Source::kUserData},
        {{u"usr"_s + lib}, u"user"_s, u"site:usr"_s, u"h"_s, u"usr"_s + lib, Source::kSharedData},
        // Relative and empty entries of XDG_DATA_DIRS are passed over.
        {{u"usr"_s + lib, u"site"_s + lib},
         u"user"_s,
         u"relative::usr:site"_s,
         u"h"_s,
         u"usr"_s + lib,
         Source::kSharedData},
        {{u"installed/base.mdb"_s},
         u"user"_s,
         u"site"_s,
         u"h"_s,
         u"installed/base.mdb"_s,
         Source::kInstalled},
        // A folder of that name is not a library.
        {{u"user"_s + lib + u"/inside"_s},
         u"user"_s,
         u"site"_s,
         u"h"_s,
         u"user"_s + lib,
         Source::kMissing},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(at({}).toStdString());
        std::filesystem::create_directories(at({}).toStdString());
        for (const QString& file : c.files) {
            put(file);
        }
        // Absolute paths for the names the test gives, as the environment holds them.
        auto absolute = [&](const QString& value) {
            QStringList out;
            for (const QString& part : value.split(u':')) {
                out << (part.isEmpty() || part == u"relative" ? part : at(part));
            }
            return out.join(u':');
        };
        const DataFolders folders{absolute(c.dataHome), absolute(c.dataDirs), absolute(c.home),
                                  at(u"beside/base.mdb"_s), at(u"installed/base.mdb"_s)};
        const LibraryPlace place = findLibrary(folders);
        EXPECT_EQ(place.path, at(c.found)) << c.files.join(u' ').toStdString();
        EXPECT_EQ(place.source, c.source) << c.files.join(u' ').toStdString();
    }
}

TEST_F(LibraryPlaceTest, ChangesToASharedOrInstalledLibraryGoToTheUsersCopy) {
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

TEST_F(LibraryPlaceTest, TheCopyIsMadeOnceWholeAndPrivateLeavingTheSourceAsItWas) {
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
    EXPECT_EQ(rvtest::readBytes(source), before);
    EXPECT_EQ(QDir(at(u"data/new/rv_makedb"_s)).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"base.mdb"_s});
}

TEST_F(LibraryPlaceTest, AWindowSwitchesToTheCopyBeforeItsFirstChangeOnly) {
    QDir().mkpath(at(u"site/rv_makedb"_s));
    const std::string site = at(u"site/rv_makedb/base.mdb"_s).toStdString();
    const QString siteConnection = QString::fromStdString(rvtest::templateLibrary(site));
    const std::string shipped = rvtest::readBytes(site);
    const DataFolders folders{at(u"user"_s), at(u"site"_s), at(u"h"_s), {}, {}};
    EXPECT_TRUE(
        libraryCopyFor(QString::fromStdString(rvtest::connectionString(m_dir.file("own.mdb"))),
                       folders)
            .to.isEmpty());

    LibraryCopy copy = libraryCopyFor(siteConnection, folders);
    const QString user = at(u"user/rv_makedb/base.mdb"_s);
    ASSERT_EQ(copy.to, user);
    const QString userConnection = copy.connection;
    jet::Connection connection;
    connection.open(siteConnection.toStdString());
    EXPECT_EQ(switchToCopy(copy, connection), userConnection);
    connection.execute("delete * from TEMP_FIELD where FIELD_NO=104");
    EXPECT_TRUE(switchToCopy(copy, connection).isEmpty()) << "once only";
    connection.close();
    EXPECT_EQ(rvtest::readBytes(site), shipped);
    EXPECT_NE(rvtest::readBytes(user.toStdString()), shipped);
}

TEST_F(LibraryPlaceTest, AFolderThatCannotBeWrittenIsReportedAndLeftAsItWas) {
    const QString source = put(u"site/base.mdb"_s);
    put(u"file"_s);
    // A path through a file, and a file system nobody writes (root included).
    for (const QString& copy :
         {at(u"file/rv_makedb/base.mdb"_s), u"/proc/rv_makedb_test/rv_makedb/base.mdb"_s}) {
        EXPECT_THROW(copyLibraryOnce(source, copy), std::runtime_error) << copy.toStdString();
        EXPECT_FALSE(QFile::exists(copy));
    }
    EXPECT_EQ(rvtest::readBytes(source.toStdString()), "library");
    EXPECT_EQ(QDir(at({})).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u"file"_s, u"site"_s}));
}

}  // namespace
