// SPDX-License-Identifier: MIT
// The library's owner over real files: each way of naming the library, in each place, under
// every write the windows make: the file written is the file read afterwards, by every
// reader, and a shared library stays byte for byte as shipped. A write that fails leaves no
// copy behind.
#include "templates/library_owner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "databases.h"
#include "jet/error.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "templates/library.h"
#include "templates/library_import.h"

namespace {

using namespace Qt::StringLiterals;
using namespace templates;

enum class Naming { kHost, kPath, kLookup };
enum class Place { kSharedWithoutCopy, kSharedWithCopy, kOwn };

// A shared library in the data folder site/, the user's data folder user/, and a library of
// the user's own (for the lookup: the one beside the program, which is written where it is).
struct Fixture {
    Fixture(Naming naming, Place place) {
        std::filesystem::create_directories(m_dir.file("site/rv_makedb"));
        rvtest::templateLibrary(shared);
        folders.dataHome = QString::fromStdString(m_dir.file("user"));
        folders.dataDirs = QString::fromStdString(m_dir.file("site"));
        folders.home = QString::fromStdString(m_dir.file("home"));
        std::string named = shared;
        if (place == Place::kSharedWithCopy) {
            std::filesystem::create_directories(m_dir.file("user/rv_makedb"));
            std::filesystem::copy_file(shared, copy);
            // The copy shows that it is the one read.
            rvtest::RawDb(copy, "").exec(
                "UPDATE TEMP_FIELD SET FIELD_NAME='写し' WHERE FIELD_NO=1");
        }
        if (place == Place::kOwn) {
            named = m_dir.file("own.mdb");
            rvtest::templateLibrary(named);
            folders.besideProgram = QString::fromStdString(named);
        }
        written = place == Place::kOwn ? named : copy;
        shipped = rvtest::readBytes(shared);
        switch (naming) {
            case Naming::kHost:
                owner = LibraryOwner::named(QString::fromStdString(rvtest::connectionString(named)),
                                            folders);
                break;
            case Naming::kPath:
                owner = LibraryOwner::named(QString::fromStdString(named), folders);
                break;
            case Naming::kLookup:
                owner = LibraryOwner::found(folders);
                break;
        }
    }

    // The library file as every reader sees it now, through a connection of its own.
    QString read() {
        LibraryConnection reader(owner);
        return exportLibrary(reader.connection());
    }
    // The file at `path`, opened directly.
    static QString readFile(const std::string& path) {
        LibraryConnection reader{LibraryOwner(QString::fromStdString(path))};
        return exportLibrary(reader.connection());
    }

    rvtest::TempDir m_dir;
    std::string shared = m_dir.file("site/rv_makedb/base.mdb");
    std::string copy = m_dir.file("user/rv_makedb/base.mdb");
    std::string written;
    std::string shipped;
    DataFolders folders;
    LibraryOwner owner;
};

const FieldDraft kDraft{u"NEWID"_s, u"新項目"_s, u"T"_s, u"10"_s, u"1"_s};

// Every write of the browser and its dialogs, of the tree's moves and of an import.
const std::pair<const char*, std::function<void(LibraryConnection&)>> kWrites[] = {
    {"add a field", [](LibraryConnection& c) { Library(c).addField(u"1"_s, kDraft); }},
    {"edit a field", [](LibraryConnection& c) { Library(c).editField(u"101"_s, kDraft); }},
    {"copy a field",
     [](LibraryConnection& c) {
         FieldDraft copied = kDraft;
         copied.name = Library(c).entry(u"101"_s).name + u"2"_s;
         Library(c).addField(Library(c).parentFolder(u"101"_s), copied);
     }},
    {"delete a field", [](LibraryConnection& c) { Library(c).deleteEntry(u"101"_s); }},
    {"delete a folder", [](LibraryConnection& c) { Library(c).deleteFolder(u"5"_s); }},
    {"add a folder", [](LibraryConnection& c) { Library(c).addFolder(u"1"_s, u"新"_s); }},
    {"rename a folder", [](LibraryConnection& c) { Library(c).renameFolder(u"5"_s, u"改"_s); }},
    {"rename in place", [](LibraryConnection& c) { Library(c).rename(u"101"_s, u"改"_s); }},
    {"a drop",
     [](LibraryConnection& c) {
         Library(c).move(u"101"_s, DropTarget{u"5"_s, {}});
     }},
    {"an import",
     [](LibraryConnection& c) {
         const ParsedLibrary file = parseLibraryText(kLibraryFileHeader.toString() +
                                                     u"\n/取込\tIMP1\t取込一\t数字\t\t\t\t1\n"_s);
         ASSERT_TRUE(importLibrary(c, file.lines).refusals.empty());
     }},
};

TEST(LibraryOwner, EveryWriteGoesToTheFileEveryReaderReadsAndTheSharedOneStaysAsShipped) {
    for (const Naming naming : {Naming::kHost, Naming::kPath, Naming::kLookup}) {
        for (const Place place : {Place::kSharedWithoutCopy, Place::kSharedWithCopy, Place::kOwn}) {
            for (const auto& [what, write] : kWrites) {
                const std::string at = std::string(what) + ", naming " +
                                       std::to_string(int(naming)) + ", place " +
                                       std::to_string(int(place));
                Fixture f(naming, place);
                const QString before = f.read();
                EXPECT_EQ(before.contains(u"/写し"_s), place == Place::kSharedWithCopy) << at;
                LibraryConnection window(f.owner);  // as a window holds it
                write(window);
                // The window goes on reading what it wrote, and so does every new reader.
                const QString after = exportLibrary(window.connection());
                EXPECT_NE(after, before) << at;
                EXPECT_EQ(f.read(), after) << at;
                EXPECT_EQ(Fixture::readFile(f.written), after) << at;
                EXPECT_EQ(f.owner.path().toStdString(), f.written) << at;
                EXPECT_EQ(rvtest::readBytes(f.shared), f.shipped) << at;
                EXPECT_EQ(std::filesystem::exists(f.copy), place != Place::kOwn) << at;
            }
        }
    }
}

// The shared library holds folder G, fixed field FX at the top and field Y. FX is dropped
// into G (the first change: the user's copy), then the library is named as before and
// opened again: it shows the copy, so deleting G is refused for FX and nothing is lost.
TEST(LibraryOwner, AFixedFieldMovedInTheUsersCopyStillRefusesItsFoldersDeletion) {
    rvtest::TempDir dir;
    std::filesystem::create_directories(dir.file("share/rv_makedb"));
    const std::string shared = dir.file("share/rv_makedb/base.mdb");
    const QString named = QString::fromStdString(rvtest::templateLibrary(
        shared, {"1,0,'F','','G','','',NULL,'',''", "2,0,'A','FX','FX','T','8',1,'0','1'",
                 "3,0,'A','Y','Y','T','8',2,'0','0'"}));
    const std::string shipped = rvtest::readBytes(shared);
    DataFolders folders;
    folders.dataHome = QString::fromStdString(dir.file("home"));
    folders.dataDirs = QString::fromStdString(dir.file("share"));
    {
        LibraryConnection first(LibraryOwner::named(named, folders));
        Library(first).move(u"2"_s, DropTarget{u"1"_s, {}});
    }
    LibraryConnection again(LibraryOwner::named(named, folders));
    EXPECT_EQ(Library(again).entry(u"2"_s).parent, u"1"_s);
    EXPECT_TRUE(Library(again).holdsFixedField(u"1"_s));
    EXPECT_EQ(rvtest::readBytes(shared), shipped);
}

// The first change of a shared library fails (an entry gone meanwhile, a row the file
// refuses): the copy it made goes again, and the reads stay on the shared library.
TEST(LibraryOwner, AFirstChangeThatFailsLeavesNoCopy) {
    const std::pair<const char*, std::function<void(LibraryConnection&)>> failing[] = {
        {"an entry gone", [](LibraryConnection& c) { Library(c).addField(u"999"_s, kDraft); }},
        {"an import the file refuses",
         [](LibraryConnection& c) {
             const ParsedLibrary file = parseLibraryText(kLibraryFileHeader.toString() +
                                                         u"\n/新\tOK1\t一\t数字\t\t\t\t1\n"
                                                         u"/新\tBOOM\t二\t数字\t\t\t\t2\n"_s);
             importLibrary(c, file.lines);
         }},
    };
    for (const auto& [what, write] : failing) {
        Fixture f(Naming::kPath, Place::kSharedWithoutCopy);
        rvtest::RawDb(f.shared, "")
            .exec(
                "CREATE TRIGGER boom BEFORE INSERT ON TEMP_FIELD WHEN NEW.FIELD_ID='BOOM' "
                "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        f.shipped = rvtest::readBytes(f.shared);
        const QString before = f.read();
        LibraryConnection window(f.owner);
        EXPECT_ANY_THROW(write(window)) << what;
        EXPECT_FALSE(std::filesystem::exists(f.copy)) << what;
        EXPECT_FALSE(window.connection().inTransaction()) << what;
        EXPECT_EQ(exportLibrary(window.connection()), before) << what;
        EXPECT_EQ(f.owner.path().toStdString(), f.shared) << what;
        EXPECT_EQ(rvtest::readBytes(f.shared), f.shipped) << what;
    }
}

}  // namespace
