// SPDX-License-Identifier: MIT
// Export and import over real libraries: a database as the source, the editor's
// refusals listed by line with nothing written, --skip-existing, placement, and a write
// the library refuses halfway through.
#include "templates/library_import.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "databases.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "templates/library_owner.h"
#include "templates/texts.h"

namespace {

using namespace Qt::StringLiterals;
using namespace templates;

const QString kHeader = kLibraryFileHeader.toString() + u"\n"_s;

class LibraryImportTest : public ::testing::Test {
  protected:
    LibraryImportTest() { m_library.open(owner(rvtest::templateLibrary(m_dir.file("base.mdb")))); }

    static LibraryOwner owner(const std::string& connection) {
        return LibraryOwner(QString::fromStdString(connection));
    }

    ImportResult import(const QString& text, const ImportOptions& options = {}) {
        const ParsedLibrary parsed = parseLibraryText(text);
        EXPECT_TRUE(parsed.refusals.empty()) << parsed.refusals[0].message.toStdString();
        return importLibrary(m_library, parsed.lines, options);
    }

    rvtest::TempDir m_dir;
    LibraryConnection m_library;
};

// The shipped library as the source, into an empty library: every field fits the editor and
// the export is the same. (The round trip through a file: rv_makedb's test.)
TEST_F(LibraryImportTest, ADatabaseImportedIntoAnEmptyLibraryExportsTheSameBytes) {
    LibraryConnection empty(owner(rvtest::templateLibrary(m_dir.file("empty.mdb"), {})));
    const ImportResult result = importLibrary(
        empty, libraryFromDatabase(QString::fromStdString(m_dir.file("base.mdb"))).lines);
    EXPECT_TRUE(result.refusals.empty());
    const QString exported = exportLibrary(empty.connection());
    EXPECT_EQ(exported, exportLibrary(m_library.connection()));
    // The addresses a product database must have are fixed.
    EXPECT_TRUE(exported.contains(u"\tMAIL1\tPCメール\t文字\t100\tOFF\t1\t"_s) &&
                exported.contains(u"\tFAX1\t公用FAX\t文字\t20\tOFF\t1\t"_s));
}

// The Windows system's library (a Jet file) into an empty library: the tree it holds,
// the folder moved into a newer folder (a child before its parent in the table) where it
// is there, with what was added below it afterwards. A file cut short is refused whole.
TEST_F(LibraryImportTest, AJetLibraryArrivesWithTheTreeItHolds) {
    const QString source = QString::fromStdString(rvtest::jetFixture(""));
    QFile json(source + u"product-library.expected.json"_s);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    std::vector<TemplateEntry> expected;
    for (const QJsonValue& v : QJsonDocument::fromJson(json.readAll())[u"TEMP_FIELD"_s].toArray()) {
        const QJsonObject o = v.toObject();
        auto cell = [&](const char* name) {
            const QJsonValue c = o[QString::fromUtf8(name)];
            return c.isDouble() ? QString::number(c.toInt()) : c.toString();
        };
        expected.push_back({cell("FIELD_NO"), cell("P_FIELD_NO"), cell("KIND"), cell("FIELD_ID"),
                            cell("FIELD_NAME"), cell("ATTR"), cell("FIELD_SIZE"), cell("SORTBY"),
                            cell("IME"), cell("DIS_ALT_FLG")});
    }
    LibraryConnection empty(owner(rvtest::templateLibrary(m_dir.file("empty.mdb"), {})));
    const ParsedLibrary parsed = readLibraryFile(source + u"product-library.mdb"_s);
    ASSERT_TRUE(parsed.refusals.empty()) << parsed.refusals[0].message.toStdString();
    const ImportResult result = importLibrary(empty, parsed.lines);
    EXPECT_TRUE(result.refusals.empty());
    const QString exported = exportLibrary(empty.connection());
    EXPECT_EQ(exported, libraryText(libraryLines(expected)));
    EXPECT_TRUE(exported.contains(u"/移動先/移動した/後から追加\tMOVED1\t"_s))
        << exported.toStdString();

    QFile whole(source + u"product-library.mdb"_s);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile cut(QString::fromStdString(m_dir.file("cut.mdb")));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.readAll().left(3 * 4096));
    cut.close();
    const ParsedLibrary refused = readLibraryFile(cut.fileName());
    EXPECT_TRUE(refused.refusedWhole);
    EXPECT_TRUE(refused.lines.empty());
}

TEST_F(LibraryImportTest, EveryRefusedLineIsListedAndNothingIsWritten) {
    const QString before = exportLibrary(m_library.connection());
    const QString file = kHeader +
                         u"/新しい\n"                                  // 2 fine
                         u"/新しい\tNEW1\t新1\t文字\t10\tON\t\t1\n"    // 3 fine
                         u"/新しい\tCUSTNO\t新2\t文字\t10\tON\t\t2\n"  // 4 ID in library
                         u"/新しい\tNEW3\t顧客番号\t数字\t\t\t\t3\n"   // 5 name in library
                         u"/新しい\tNEW1\t新4\t数字\t\t\t\t4\n"        // 6 ID in file
                         u"/新しい\tdate\t新5\t日付\t\t\t\t5\n"        // 7 reserved
                         u"/新しい\tNEW-6\t新6\t文字\t1\tON\t\t6\n"    // 8 ID characters
                         u"/新しい\tNEW7\t新7\t文字\t256\tON\t\t7\n"   // 9 size
                         u"/新しい\tNEW8\t新8\t数字\t5\t\t\t8\n"       // 10 size, no text
                         u"/新しい\tNEW9\t\t数字\t\t\t\t9\n"           // 11 no name
                         u"/新しい\tNEW10\tit's\t数字\t\t\t\t10\n"     // 12 apostrophe
                         u"/基本情報/顧客番号/下\n"                    // 13 through a field
                         u"/1234567890123456789012345678901\n"         // 14 folder name
                         u"\tABCDEFGHIJABCDEFGHIJABCDEFGHIJAB\t長\tメモ\t\tON\t\t1\n"_s;  // 15 ID
    const ImportResult result = import(file);
    const std::vector<LibraryRefusal> expected = {
        // Each duplicate names the entry it clashes with.
        {4, kMsgDuplicateField.toString() +
                u"(the same ID as the library's field CUSTNO 「顧客番号」)"_s},
        {5, kMsgDuplicateField.toString() +
                u"(the same name as the library's field CUSTNO 「顧客番号」)"_s},
        {6, kMsgDuplicateField.toString() + u"(the same ID as line 3: NEW1 「新1」)"_s},
        {7, kMsgReservedFieldId.toString()},
        // Nothing is removed from an ID: the file is refused.
        {8,
         u"the field ID \"NEW-6\" holds \"-\": a field ID is made of the letters A-Z, "
         u"a-z and the digits 0-9 only"_s},
        {9, kMsgSizeOutOfRange.toString()},
        {10, kImportSizeOnlyText.toString()},
        {11, kMsgEnterText.toString()},
        {12, kImportApostrophe.toString()},
        {13, u"the path /基本情報/顧客番号/下 goes through a field"_s},
        {14, kImportFolderNameTooLong.toString()},
        {15, kImportIdTooLong.toString()},
    };
    EXPECT_EQ(result.refusals, expected);
    EXPECT_EQ(exportLibrary(m_library.connection()), before);
}

TEST_F(LibraryImportTest, FieldsGoAfterTheirFolderInPositionOrderIntoReusedOrNewFolders) {
    // 基本情報 holds four fields; its folder 氏名 is reused, /其の他/下 made below --into.
    const ImportResult result = import(kHeader +
                                           u"/基本情報\tSECOND\t二番\t数字\t\t\t\t2\n"
                                           u"/基本情報\tFIRST\t一番\t文字\t5\tOFF\t1\t1\n"
                                           u"/基本情報/氏名\n"
                                           u"/其の他/下\tDEEP\t深い\tYESNO\t\t\t\t1\n"_s,
                                       {});
    EXPECT_TRUE(result.refusals.empty());
    EXPECT_EQ(result.folders, 2);
    EXPECT_EQ(result.fields, 3);
    EXPECT_EQ(result.firstFolder, u"1"_s);  // 基本情報
    rvtest::RawDb raw(m_dir.file("base.mdb"), "");
    EXPECT_EQ(raw.rows("select FIELD_ID, P_FIELD_NO, SORTBY, IME, DIS_ALT_FLG from TEMP_FIELD "
                       "where FIELD_ID in ('FIRST','SECOND') order by SORTBY"),
              (std::vector<std::string>{"FIRST|1|5|0|1", "SECOND|1|6||<null>"}));
    EXPECT_EQ(raw.scalar("select count(*) from TEMP_FIELD where KIND='F' and FIELD_NAME='氏名'"),
              "1");

    const ImportResult into =
        import(kHeader + u"\tTOP\t上\t日付\t\t\t\t1\n"_s, ImportOptions{{u"其の他"_s, u"新"_s}});
    EXPECT_EQ(into.folders, 1);
    EXPECT_EQ(raw.scalar("select f.FIELD_NAME from TEMP_FIELD f, TEMP_FIELD a where "
                         "a.FIELD_ID='TOP' and a.P_FIELD_NO=f.FIELD_NO and f.FIELD_NO=" +
                         into.firstFolder.toStdString()),
              "新");
}

// A known ID is passed over whatever its name; a known name under a new ID is still refused.
// (The count of those skipped: rv_makedb's test.)
TEST_F(LibraryImportTest, SkipExistingPassesOverKnownIdsOnly) {
    ImportOptions skip;
    skip.skipExisting = true;
    const ImportResult result =
        import(kHeader + u"\tCUSTNO\tx\t数字\t\t\t\t1\n\tOTHER\t顧客番号\t数字\t\t\t\t2\n"_s, skip);
    EXPECT_EQ(result.refusals,
              (std::vector<LibraryRefusal>{{3, kMsgDuplicateField.toString() +
                                                   u"(the same name as the library's field CUSTNO "
                                                   u"「顧客番号」)"_s}}));
}

TEST_F(LibraryImportTest, AWriteTheLibraryRefusesLeavesItAsItWas) {
    const QString before = exportLibrary(m_library.connection());
    rvtest::RawDb(m_dir.file("base.mdb"), "")
        .exec(
            "CREATE TRIGGER boom BEFORE INSERT ON TEMP_FIELD WHEN NEW.FIELD_ID='BOOM' "
            "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    LibraryConnection fresh(owner(rvtest::connectionString(m_dir.file("base.mdb"))));
    const ParsedLibrary parsed = parseLibraryText(kHeader +
                                                  u"/新\n/新/下\tOK1\t一\t数字\t\t\t1\t1\n"
                                                  u"/新/下\tBOOM\t二\t数字\t\t\t\t2\n"_s);
    EXPECT_THROW(importLibrary(fresh, parsed.lines), jet::Error);
    EXPECT_EQ(exportLibrary(fresh.connection()), before);
}

}  // namespace
