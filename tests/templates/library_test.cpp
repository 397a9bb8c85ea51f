// SPDX-License-Identifier: MIT
// The template library's operations over a copy of the shipped library: what each leaves in
// the table (read raw), the walks over broken links, the editor's refusals per mode, the
// positions of an addition and every row of the drop table.
#include <gtest/gtest.h>

#include <functional>

#include "databases.h"
#include "jet/error.h"
#include "jet/placeholders.h"
#include "raw_db.h"
#include "temp_dir.h"
#include "templates/library.h"
#include "templates/statements.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using templates::DropTarget;
using templates::DropVerdict;
using templates::EditorMode;
using templates::FieldDraft;
using templates::FieldRefusal;
using templates::Library;

// The shipped library: folder 1 holds fields 101-104 at 1-4 and folder 2 (fixed 105);
// folder 4 holds folders 5 (120-125) and 6 (126-130) and no field; 7 holds 8, 9 (fixed 137)
// and 10 (fixed 141).
struct Shipped : ::testing::Test {
    Shipped() {
        db.open(templates::LibraryOwner(QString::fromStdString(rvtest::templateLibrary(path))));
    }
    std::string raw(const std::string& sql) { return rvtest::RawDb(path, "").scalar(sql); }
    std::string count() { return raw("SELECT count(*) FROM TEMP_FIELD"); }
    // "parent:position" of an entry.
    std::string place(int entry) {
        return raw("SELECT P_FIELD_NO||':'||ifnull(SORTBY,'') FROM TEMP_FIELD WHERE FIELD_NO=" +
                   std::to_string(entry));
    }
    void exec(const std::string& sql) { rvtest::RawDb(path, "").exec(sql); }

    rvtest::TempDir dir;
    std::string path = dir.file("base.mdb");
    templates::LibraryConnection db;
    Library library{db};
};

// Fixed fields in 1 (two levels down), 2 and 7, and one added three levels below 4.
TEST_F(Shipped, AFolderHoldsAFixedFieldAtAnyDepthBelowIt) {
    exec("INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME) VALUES(168,5,'F','下')");
    exec("UPDATE TEMP_FIELD SET P_FIELD_NO=168, DIS_ALT_FLG='1' WHERE FIELD_NO=125");
    for (const auto& [folder, fixed] :
         {std::pair{"1", true}, {"2", true}, {"7", true}, {"4", true}, {"6", false}}) {
        EXPECT_EQ(library.holdsFixedField(QString::fromLatin1(folder)), fixed) << folder;
    }
}

TEST_F(Shipped, DeletingAFolderDeletesEverythingBelowItInOneTransaction) {
    // Refused halfway through by a rule of the file: nothing of it stays.
    exec(
        "CREATE TRIGGER keep123 BEFORE DELETE ON TEMP_FIELD WHEN old.FIELD_NO=123 "
        "BEGIN SELECT RAISE(ABORT,'entry 123 is kept'); END");
    EXPECT_THROW(library.deleteFolder(u"4"_s), jet::Error);
    EXPECT_FALSE(db.connection().inTransaction());
    EXPECT_EQ(count(), "80");
    exec("DROP TRIGGER keep123");
    library.deleteFolder(u"4"_s);
    EXPECT_EQ(count() + raw("SELECT count(*) FROM TEMP_FIELD WHERE FIELD_NO BETWEEN 4 AND 6 OR "
                            "FIELD_NO BETWEEN 120 AND 125"),
              "660");
}

// An entry numbered 0 is not walked into (its "children" are the top level), and a parent
// link that leads back up is walked once.
TEST_F(Shipped, TheWalksBelowAFolderEndOnEntryZeroAndOnLinksThatLeadBackUp) {
    exec("INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME) VALUES(0,3,'F','零')");
    exec("UPDATE TEMP_FIELD SET P_FIELD_NO=13 WHERE FIELD_NO=12");
    exec("UPDATE TEMP_FIELD SET P_FIELD_NO=12 WHERE FIELD_NO=13");  // 12 and 13 in a ring
    EXPECT_FALSE(library.holdsFixedField(u"3"_s));
    EXPECT_FALSE(library.holdsFixedField(u"12"_s));
    library.deleteFolder(u"3"_s);
    library.deleteFolder(u"12"_s);
    EXPECT_EQ(count(), "53");  // 81 less 3, 0 and 113-119, and 12, 13, 151-167
    EXPECT_EQ(raw("SELECT count(*) FROM TEMP_FIELD WHERE P_FIELD_NO=0"), "4");
}

TEST_F(Shipped, TheFieldEditorRefusesPerMode) {
    const QString own = u"CUSTNO"_s;
    const struct {
        FieldDraft draft;
        EditorMode mode;
        std::optional<FieldRefusal> refusal;
    } cases[] = {
        {{u""_s, u"名"_s, u"T"_s, {}, {}}, EditorMode::kAdd, FieldRefusal::kIncomplete},
        {{u"X"_s, u""_s, u"T"_s, {}, {}}, EditorMode::kEdit, FieldRefusal::kIncomplete},
        {{u"CUSTNO"_s, u"名"_s, u"T"_s, {}, {}}, EditorMode::kAdd, FieldRefusal::kDuplicate},
        {{u"NEW"_s, u"顧客番号"_s, u"T"_s, {}, {}}, EditorMode::kCopy, FieldRefusal::kDuplicate},
        {{u"CUSTNO"_s, u"顧客番号"_s, u"N"_s, {}, {}}, EditorMode::kEdit, std::nullopt},
        {{u"CUSTNO"_s, u"分類"_s, u"T"_s, {}, {}}, EditorMode::kEdit, FieldRefusal::kDuplicate},
        {{u"TEL"_s, u"顧客番号"_s, u"T"_s, {}, {}}, EditorMode::kEdit, FieldRefusal::kDuplicate},
        {{u"custno"_s, u"新"_s, u"T"_s, {}, {}}, EditorMode::kAdd, std::nullopt},  // case counts
    };
    for (const auto& c : cases) {
        EXPECT_EQ(library.refusal(c.draft, c.mode, own), c.refusal)
            << c.draft.fieldId.toStdString();
    }
}

// Another program deleted folder 13 and field 158 meanwhile: every write that names one of
// them (as its parent, its target or itself) writes nothing.
TEST_F(Shipped, AWriteThatNamesAnEntryThatIsGoneWritesNothing) {
    exec("DELETE FROM TEMP_FIELD WHERE FIELD_NO IN (13, 158)");
    const std::string before = count();
    const FieldDraft draft{u"N"_s, u"新"_s, u"T"_s, u"9"_s, u"1"_s};
    auto move = [&](const char* moved, DropTarget target) {
        return [&, moved, target] { library.move(QString::fromLatin1(moved), target); };
    };
    const std::pair<const char*, std::function<void()>> writes[] = {
        {"folder into 13", [&] { library.addFolder(u"13"_s, u"新"_s); }},
        {"field into 13", [&] { library.addField(u"13"_s, draft); }},
        {"edit 158", [&] { library.editField(u"158"_s, draft); }},
        {"rename 13", [&] { library.renameFolder(u"13"_s, u"新"_s); }},
        {"rename 158 in place", [&] { library.rename(u"158"_s, u"新"_s); }},
        {"move 158", move("158", {u"1"_s, u"0"_s, false})},
        {"move into 13", move("101", {u"13"_s, u"0"_s, false})},
        {"move before 159 in 13", move("101", {u"159"_s, u"13"_s, true})},
    };
    for (const auto& [what, write] : writes) {
        EXPECT_THROW(write(), templates::EntryGone) << what;
        EXPECT_FALSE(db.connection().inTransaction()) << what;
    }
    EXPECT_EQ(count(), before);
    EXPECT_EQ(place(101), "1:1");
    EXPECT_EQ(raw("SELECT count(*) FROM TEMP_FIELD WHERE FIELD_NAME='新'"), "0");
}

// The shipped library has the index its statements by parent need, so that a walk
// through a folder costs a lookup per entry, not a reading of the whole table.
TEST_F(Shipped, TheWalksLookUpChildrenThroughAnIndex) {
    for (const std::string& statement :
         {jet::fill(templates::kSelectChildren, {"13"}),
          jet::fill(templates::kSelectChildrenWithFixedMark, {"13"}),
          templates::selectPositions("13"), templates::shiftPositions("13", "2")}) {
        EXPECT_NE(raw("EXPLAIN QUERY PLAN " + statement).find("INDEX TEMP_FIELD_PARENT"),
                  std::string::npos)
            << statement;
    }
}

TEST(DropTable, ADropIsJudgedByTheTextsOfTheNodes) {
    const struct {
        const char *moved, *target;
        QStringList above;
        DropVerdict verdict;
    } cases[] = {
        {"3:A", "5:B", {}, DropVerdict::kMove},
        {"3:A", "5:A", {}, DropVerdict::kNothing},  // the same text, the node itself included
        {"0:R", "5:B", {}, DropVerdict::kNothing},  // the root stays
        {"3:A", "9:C", {u"B"_s, u"A"_s}, DropVerdict::kRefused},  // its own subtree
        {"3:A", "9:C", {u"B"_s}, DropVerdict::kMove},
        {"3:A", "0:R", {u"A"_s}, DropVerdict::kMove},  // nothing lies above the root
    };
    for (const auto& c : cases) {
        auto node = [](const char* text) {
            const QStringList parts = QString::fromLatin1(text).split(u':');
            return templates::DropNode{parts[0], parts[1]};
        };
        EXPECT_EQ(Library::judgeDrop(node(c.moved), node(c.target), c.above), c.verdict)
            << c.moved << " on " << c.target;
    }
}

TEST_F(Shipped, EachMoveLeavesItsPositionsAndParent) {
    exec("INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_NAME) VALUES(168,0,'F','空')");
    const struct {
        int moved;
        DropTarget target;
        const char* places;  // of the moved entry and of 101-104
    } cases[] = {
        {101, {u"103"_s, u"1"_s, true}, "1:3 1:3 1:2 1:4 1:5"},
        {104, {u"102"_s, u"1"_s, true}, "1:2 1:1 1:3 1:4 1:2"},
        {101, {u"1"_s, {}, false}, "1:5 1:5 1:2 1:3 1:4"},            // its own folder: the end
        {101, {u"120"_s, u"5"_s, true}, "5:1 5:1 1:2 1:3 1:4"},       // a gap stays behind
        {101, {u"168"_s, u"0"_s, false}, "168:1 168:1 1:2 1:3 1:4"},  // an empty folder
        {101, {u"4"_s, u"0"_s, false}, "1:1 1:1 1:2 1:3 1:4"},        // only subfolders: nothing
        {5, {u"0"_s, {}, false}, "4: 1:1 1:2 1:3 1:4"},  // the top level holds only folders
    };
    for (const auto& c : cases) {
        library.move(QString::number(c.moved), c.target);
        std::string places = place(c.moved);
        for (int field = 101; field <= 104; ++field) {
            places += " " + place(field);
        }
        EXPECT_EQ(places, c.places) << c.moved << " on " << c.target.key.toStdString();
        // Back to the shipped positions for the next row.
        exec(
            "UPDATE TEMP_FIELD SET P_FIELD_NO=1, SORTBY=FIELD_NO-100 WHERE FIELD_NO<=104 AND "
            "FIELD_NO>=101");
        exec("UPDATE TEMP_FIELD SET SORTBY=FIELD_NO-119 WHERE P_FIELD_NO=5");
        exec("UPDATE TEMP_FIELD SET P_FIELD_NO=4, SORTBY=NULL WHERE FIELD_NO=5");
    }
    exec(
        "CREATE TRIGGER keep101 BEFORE UPDATE OF SORTBY ON TEMP_FIELD WHEN new.FIELD_NO=101 "
        "BEGIN SELECT RAISE(ABORT,'entry 101 stays'); END");
    EXPECT_THROW(library.move(u"101"_s, {u"103"_s, u"1"_s, true}), jet::Error);
    EXPECT_FALSE(db.connection().inTransaction());
    EXPECT_EQ(place(103) + place(104), "1:31:4") << "the shift is undone with the move";
}

}  // namespace
