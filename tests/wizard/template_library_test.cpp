// The template library shipped as base.mdb, read back through the engine: its shape must
// suit the tree loading (one pass, parents first), the field editor's limits and the
// product database the fields end up in.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <stdlib.h>

#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/translator.h"

namespace {

struct Entry {
    std::int64_t no = 0;
    std::int64_t parent = 0;
    std::string kind;
    std::string id;
    std::string name;
    std::string attr;
    std::string size;
    std::optional<std::int64_t> sortBy;
    std::string ime;
    std::string fixed;
};

std::filesystem::path baseMdb() {
    const char* dir = std::getenv("RV_BIN_DIR");
    return std::filesystem::path(dir ? dir : ".") / "base.mdb";
}

// Characters, not bytes: the names are UTF-8.
std::size_t characters(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

class TemplateLibrary : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(std::filesystem::exists(baseMdb())) << baseMdb();
        jet::Connection conn;
        conn.open(jet::ConnectionString::build(baseMdb().string(), ""));
        // Folders and fields in the orders the tree reads them.
        for (const char* sql :
             {"select * from TEMP_FIELD where kind='F' ORDER BY P_FIELD_NO,FIELD_NO",
              "select * from TEMP_FIELD where kind='A' ORDER BY P_FIELD_NO,SORTBY,FIELD_NO"}) {
            for (jet::Recordset rs = conn.execute(sql); !rs.eof(); rs.moveNext()) {
                Entry e;
                e.no = rs.field("FIELD_NO").toInt().value_or(-1);
                e.parent = rs.field("P_FIELD_NO").toInt().value_or(-1);
                e.kind = rs.field("KIND").toString();
                e.id = rs.field("FIELD_ID").toString();
                e.name = rs.field("FIELD_NAME").toString();
                e.attr = rs.field("ATTR").toString();
                e.size = rs.field("FIELD_SIZE").toString();
                e.sortBy = rs.field("SORTBY").toInt();
                e.ime = rs.field("IME").toString();
                e.fixed = rs.field("DIS_ALT_FLG").toString();
                (e.kind == "F" ? s_folders : s_fields).push_back(e);
            }
        }
    }
    static void TearDownTestSuite() {
        s_folders.clear();
        s_fields.clear();
    }

    static inline std::vector<Entry> s_folders;
    static inline std::vector<Entry> s_fields;
};

TEST_F(TemplateLibrary, IsANestedTreeThatLoadsInOnePass) {
    EXPECT_GE(s_folders.size(), 8u);
    EXPECT_GE(s_fields.size(), 50u);

    // Walking the folders in the tree's order, every parent is already there.
    std::set<std::int64_t> loaded{0};
    bool nested = false;
    for (const Entry& f : s_folders) {
        EXPECT_GT(f.no, 0);
        EXPECT_TRUE(loaded.count(f.parent)) << f.name << " comes before its parent " << f.parent;
        EXPECT_FALSE(f.name.empty());
        EXPECT_LE(characters(f.name), 30u) << f.name;
        EXPECT_FALSE(f.sortBy.has_value()) << f.name;
        nested = nested || f.parent != 0;
        loaded.insert(f.no);
    }
    EXPECT_TRUE(nested);

    // Fields sit in folders only, at positions 1..n of their folder.
    std::map<std::int64_t, std::vector<std::int64_t>> positions;
    for (const Entry& a : s_fields) {
        EXPECT_TRUE(loaded.count(a.parent) && a.parent != 0) << a.id << " has no folder";
        EXPECT_FALSE(loaded.count(a.no)) << a.id << " reuses a folder's number";
        ASSERT_TRUE(a.sortBy.has_value()) << a.id;
        positions[a.parent].push_back(*a.sortBy);
    }
    for (const auto& [folder, list] : positions) {
        for (std::size_t i = 0; i < list.size(); ++i)
            EXPECT_EQ(list[i], static_cast<std::int64_t>(i + 1)) << "folder " << folder;
    }
}

TEST_F(TemplateLibrary, FieldsFitTheEditorAndTheProductDatabase) {
    // Words the field editor refuses as IDs; an ID also names an ADDRESS column.
    const std::array<std::string, 14> refused{"MEMO",   "YESNO", "TEXT", "INT", "DOUBLE",
                                              "FLOAT",  "CHAR",  "BYTE", "<>",  "MAX",
                                              "NUMBER", "DATE",  "TIME", "LONG"};
    std::set<std::string> ids;
    std::set<std::string> names;
    for (const Entry& a : s_fields) {
        SCOPED_TRACE(a.id);
        EXPECT_TRUE(!a.id.empty() && a.id.size() <= 31 &&
                    std::all_of(a.id.begin(), a.id.end(),
                                [](unsigned char c) { return std::isalnum(c) != 0; }));
        EXPECT_EQ(std::count(refused.begin(), refused.end(), upper(a.id)), 0);
        EXPECT_FALSE(jet::isReservedWord(a.id));
        EXPECT_TRUE(jet::isValidPlainName(a.id));
        EXPECT_TRUE(ids.insert(upper(a.id)).second) << "duplicate ID";

        EXPECT_TRUE(!a.name.empty() && characters(a.name) <= 31);
        EXPECT_EQ(a.name.find('\''), std::string::npos);
        EXPECT_TRUE(names.insert(a.name).second) << "duplicate name " << a.name;

        ASSERT_EQ(a.attr.size(), 1u);
        EXPECT_NE(std::string("TNDBM").find(a.attr), std::string::npos) << a.attr;
        if (a.attr == "T") {
            const int size = std::atoi(a.size.c_str());
            EXPECT_TRUE(size >= 1 && size <= 255 && std::to_string(size) == a.size) << a.size;
        } else {
            EXPECT_EQ(a.size, "");
        }
        EXPECT_TRUE(a.ime == "1" || a.ime == "0") << a.ime;
        EXPECT_TRUE(a.fixed == "1" || a.fixed == "0") << a.fixed;
    }
}

TEST_F(TemplateLibrary, MailAndFaxFieldsAreFixedAndWithoutInputMethod) {
    std::map<std::string, const Entry*> byId;
    for (const Entry& a : s_fields)
        byId[a.id] = &a;
    for (const char* id : {"MAIL1", "MAIL2", "MAIL3", "FAX1", "FAX2"}) {
        ASSERT_TRUE(byId.count(id)) << id;
        EXPECT_EQ(byId[id]->attr, "T") << id;
        EXPECT_EQ(byId[id]->ime, "0") << id;
    }
    EXPECT_EQ(byId["MAIL1"]->fixed, "1");
    EXPECT_EQ(byId["FAX1"]->fixed, "1");
}

TEST_F(TemplateLibrary, TakesANewFieldAsTheStoreWritesIt) {
    // The store inserts every value quoted, '' for a missing size or IME flag, leaves the
    // number to the database and reads back the largest one. Work on a copy.
    std::string dir = (std::filesystem::temp_directory_path() / "rv_base_XXXXXX").string();
    ASSERT_NE(::mkdtemp(dir.data()), nullptr);
    const std::filesystem::path copy = std::filesystem::path(dir) / "base.mdb";
    std::filesystem::copy_file(baseMdb(), copy);
    std::int64_t highest = 0;
    for (const Entry& e : s_folders)
        highest = std::max(highest, e.no);
    for (const Entry& e : s_fields)
        highest = std::max(highest, e.no);
    {
        jet::Connection conn;
        conn.open(jet::ConnectionString::build(copy.string(), ""));
        EXPECT_NO_THROW(conn.execute(
            "INSERT INTO "
            "TEMP_FIELD(P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,SORTBY,IME) "
            " VALUES( '1', 'A', 'Count9','件数9','N','','9','')"));
        jet::Recordset rs = conn.execute("select max(FIELD_NO) from TEMP_FIELD");
        EXPECT_GT(rs.field(0).toInt().value_or(0), highest);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
