// Every statement text the system sends, run as it stands on a fresh database, with
// the effects the system relies on.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/placeholders.h"
#include "jet/temp_dir.h"
#include "productdb/schema.h"
#include "templates/statements.h"

namespace {

using jet::fill;
using Rows = std::vector<std::vector<std::string>>;

std::string text(const jet::Value& v) {
    return v.isNull() ? "\\N" : v.toString();
}

Rows query(jet::Connection& c, std::string_view sql) {
    jet::Recordset rs = c.execute(sql);
    Rows out;
    for (; !rs.eof(); rs.moveNext()) {
        std::vector<std::string> row;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            row.push_back(text(rs.field(i)));
        }
        out.push_back(std::move(row));
    }
    return out;
}

std::vector<std::string> firstColumn(jet::Connection& c, std::string_view sql) {
    std::vector<std::string> out;
    for (const auto& row : query(c, sql)) {
        out.push_back(row.at(0));
    }
    return out;
}

std::string single(jet::Connection& c, std::string_view sql) {
    const Rows rows = query(c, sql);
    return rows.empty() ? "<no row>" : rows.front().at(0);
}

// The builder's zero-length pass: every column whose attributes are exactly "nullable".
// The builder ignores what the engine's own tables refuse; here they are left out.
void allowZeroLength(jet::Connection& c) {
    jet::Catalog catalog(c);
    for (const jet::TableInfo& t : catalog.tables()) {
        if (t.system) {
            continue;
        }
        for (const jet::ColumnInfo& col : t.columns) {
            if (col.attributes == jet::kColNullable) {
                catalog.setProperty(t.name, col.name, jet::kAllowZeroLength, true);
            }
        }
    }
}

// "NAME TYPE FLAGS, ..." for one table, in column order.
std::string describe(const jet::TableInfo& t) {
    std::string out;
    for (const jet::ColumnInfo& col : t.columns) {
        out += (out.empty() ? "" : ", ") + col.name + " " + col.type + " " +
               std::to_string(col.attributes);
    }
    return out;
}

class Database : public ::testing::Test {
  protected:
    void SetUp() override {
        m_connStr = jet::ConnectionString::build(m_dir.file("db.mdb"), "pw");
        jet::Catalog::create(m_connStr);
        m_conn.open(m_connStr);
    }

    rvtest::TempDir m_dir;
    std::string m_connStr;
    jet::Connection m_conn;
};

// ---------------------------------------------------------------------------
// Placeholders and joined texts

TEST(Placeholders, FillIsOnePassLeftToRight) {
    EXPECT_EQ(fill(productdb::kUpdateDispSeqno, {"3", "A%1B%2"}),
              "UPDATE FIELD SET DISP_SEQNO=3 WHERE FIELD_ID='A%1B%2'");
    EXPECT_EQ(fill("%2-%1-%2", {"a", "b"}), "b-a-b");
    EXPECT_EQ(fill("100% %3 %", {"x"}), "100% %3 %");
    EXPECT_EQ(fill(productdb::kAddAddressColumnWithWidth, {"TEL", "TEXT", "20"}),
              "ALTER TABLE ADDRESS ADD COLUMN  TEL TEXT(20)");
}

TEST(StatementTexts, JoinedPiecesGiveTheExactTexts) {
    const std::pair<std::string, std::string_view> cases[] = {
        {productdb::insertFieldWithSize("NAME", "氏名", "T", "20", "1", "0", "0"),
         "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,"
         "DISP_SEQNO) VALUES('NAME','氏名','T','20','1','0','0','-1')"},
        {productdb::insertField("BIRTH", "誕生日", "D", "0", "0", "0"),
         "INSERT INTO FIELD(FIELD_ID,FIELD_NAME,ATTR,IME,MAIL_ADDRESS_FLG,FAX_NO_FLG,DISP_SEQNO) "
         "VALUES('BIRTH','誕生日','D','0','0','0','-1')"},
        {productdb::deleteField("TEL"), "delete * from field where field_id='TEL'"},
        {templates::insertField("3", "TEL", "電話", "T", "20", "4", "0"),
         "INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,SORTBY,IME)"
         "  VALUES( '3', 'A', 'TEL','電話','T','20','4','0')"},
        {templates::updateField("TEL", "電話", "T", "20", "0", "7"),
         "UPDATE TEMP_FIELD SET FIELD_ID='TEL', FIELD_NAME = '電話', ATTR = 'T', "
         "FIELD_SIZE = '20', IME = '0'where FIELD_NO= 7"},
        {templates::insertFolder("0", "住所"),
         "INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_NAME) VALUES( 0 ,'F','住所')"},
        {templates::rename("x", "7"), "UPDATE TEMP_FIELD SET FIELD_NAME='x' WHERE FIELD_NO=7"},
        {templates::selectPositions("3"),
         "SELECT SORTBY FROM TEMP_FIELD WHERE P_FIELD_NO = 3 ORDER BY SORTBY DESC"},
        {templates::selectPosition("7"), "SELECT SORTBY FROM TEMP_FIELD WHERE FIELD_NO = 7"},
        {templates::shiftPositions("3", "2"),
         "UPDATE TEMP_FIELD SET SORTBY= SORTBY+1 WHERE P_FIELD_NO= 3 AND SORTBY >= 2"},
        {templates::setPosition("2", "7"), "UPDATE TEMP_FIELD SET SORTBY= 2 WHERE FIELD_NO= 7"},
        {templates::setFirstPosition("7"), "UPDATE TEMP_FIELD SET SORTBY= 1 WHERE FIELD_NO= 7"},
        {templates::setParent("3", "7"), "UPDATE TEMP_FIELD SET P_FIELD_NO= 3 WHERE FIELD_NO= 7"},
    };
    for (const auto& [joined, expected] : cases) {
        EXPECT_EQ(joined, expected);
    }
}

// ---------------------------------------------------------------------------
// Product database

class ProductDb : public Database {
  protected:
    void createSchema() {
        for (std::string_view create : productdb::kCreateTables) {
            ASSERT_NO_THROW(m_conn.execute(create)) << create;
        }
        ASSERT_NO_THROW(m_conn.execute(fill(productdb::kInsertInfo, {"2024-05-17"})));
        ASSERT_NO_THROW(m_conn.execute(productdb::kInsertSeqno));
    }
};

TEST_F(ProductDb, TwentyTablesWithTheirDeclaredColumns) {
    createSchema();
    // Flags: 1 fixed length, 2 nullable. A key column is never nullable.
    const std::pair<std::string_view, std::string_view> expected[] = {
        {"PROJECT", "PRJ_NO LONG 1, P_PRJNO LONG 1, KIND TEXT(1) 0, NAME TEXT(20) 0"},
        {"PRJ_DETAIL",
         "PRJ_NO LONG 1, SYORI_NO LONG 1, SYORI TEXT(10) 0, SYURUI TEXT(20) 0, NAIYOU_NO LONG 3, "
         "NAIYOU TEXT(100) 2"},
        {"ADDRESS", "ADDRESS_NO LONG 1"},
        {"ADDRESS_INFO",
         "ADDRESS_NO LONG 1, MARK YESNO 1, CREATE_DATE DATE 1, UPDATE_DATE DATE 3, STATUS TEXT(1) "
         "2"},
        {"C_FOLDER",
         "C_FOLDER_NO LONG 1, P_C_FOLDER_NO LONG 1, KIND TEXT(1) 0, C_FOLDER_NAME TEXT(100) 0, "
         "CONTENT_NO LONG 1"},
        {"CONTENT",
         "CONTENT_NO LONG 1, NAME TEXT(100) 2, SUBJECT TEXT(200) 2, TEXT_CONTENT MEMO 2, "
         "HTML_CONTENT MEMO 2, DOC_FILENAME TEXT(255) 2, EZM_FILENAME TEXT(255) 2, ATTACH_NO LONG "
         "3, CREATE_DATE DATE 1, UPDATE_DATE DATE 3"},
        {"FIELD",
         "FIELD_ID TEXT(32) 0, FIELD_NAME TEXT(100) 0, ATTR TEXT(1) 0, FIELD_SIZE LONG 3, IME "
         "TEXT(1) 0, MAIL_ADDRESS_FLG TEXT(1) 2, FAX_NO_FLG TEXT(1) 2, DISP_SEQNO LONG 1, HIDDEN "
         "YESNO 3, COLSIZE LONG 3"},
        {"FOLDER",
         "FOLDER_NO LONG 1, P_FOLDER_NO LONG 1, FOLDER_NAME TEXT(100) 0, COMMENT MEMO 2, "
         "SELECT_NO LONG 1, SELECT_MODE TEXT(8) 2"},
        {"INFO",
         "DB_CODE TEXT(16) 0, VERSION LONG 1, REV LONG 1, PSWD TEXT(16) 2, CREATEDB_DATE DATE 1, "
         "UPDATEDB_DATE DATE 3"},
        {"LABELSETTING", "SETID TEXT(32) 0, FIELD_ID TEXT(32) 2, PRN_ATTR TEXT(16) 2"},
        {"MAPPING",
         "PROFILE_NO LONG 1, FIELD_ID TEXT(32) 0, SEQNO LONG 1, FROM_FIELD_ID TEXT(32) 0, IS_KEY "
         "YESNO 1, SET_METHOD TEXT(1) 0"},
        {"PROFILE", "PROFILE_NO LONG 1, NAME TEXT(100) 0, APP_ID TEXT(16) 0, USE_TYPE TEXT(1) 0"},
        {"REPLACE",
         "REPLACE_NO LONG 1, P_REPLACE_NO LONG 1, KIND TEXT(1) 0, TITLE TEXT(100) 0, COMMENT MEMO "
         "2, REPLACE_M_NO LONG 1"},
        {"REPLACE_COND",
         "REPLACE_COND_NO LONG 1, SNO LONG 1, USE_TYPE TEXT(1) 0, S_METHOD TEXT(1) 2, S_VAL "
         "TEXT(100) 2, D_F_METHOD TEXT(1) 2, D_F_VAL DATE 3, D_T_METHOD TEXT(1) 2, D_T_VAL DATE 3, "
         "N_F_METHOD TEXT(1) 2, N_F_VAL DOUBLE 3, N_T_METHOD TEXT(1) 2, N_T_VAL DOUBLE 3, B_VAL "
         "YESNO 3, REPLACE_NO LONG 3"},
        {"REPLACE_M",
         "REPLACE_M_NO LONG 1, P_REPLACE_M_NO LONG 1, USE_TYPE TEXT(1) 0, FIELD_ID TEXT(32) 2, "
         "REPLACE_COND_TYPE TEXT(1) 2, REPLACE_COND_NO LONG 3, REPLACE_TITLE TEXT(100) 2, "
         "REPLACE_TYPE TEXT(1) 2, R_FIELD_ID TEXT(32) 2, R_TEXT MEMO 2, R_TEXT_FILENAME TEXT(255) "
         "2, R_IMAGE_FILENAME TEXT(255) 2, R_MMEDIA_FILENAME TEXT(255) 2, REPLACE_NO LONG 1"},
        {"SELECT_COND",
         "SELECT_NO LONG 1, SNO LONG 1, FIELD_ID TEXT(32) 0, USE_TYPE TEXT(1) 0, S_METHOD TEXT(1) "
         "2, S_VAL TEXT(100) 2, D_F_METHOD TEXT(1) 2, D_F_VAL DATE 3, D_T_METHOD TEXT(1) 2, "
         "D_T_VAL DATE 3, N_F_METHOD TEXT(1) 2, N_F_VAL DOUBLE 3, N_T_METHOD TEXT(1) 2, N_T_VAL "
         "DOUBLE 3, B_VAL YESNO 3"},
        {"SENDBOX",
         "SENDBOX_NO LONG 1, CONTENT_TYPE TEXT(1) 0, SUBJECT TEXT(200) 0, SEND_DATE DATE 1, "
         "ALL_COUNT LONG 1, ERR_COUNT LONG 1, CONTENT_NO LONG 1, USE_CONTENT TEXT(8) 0, "
         "ACCOUNT_NO LONG 1"},
        {"SENDLOG",
         "SENDBOX_NO LONG 1, ADDRESS_NO LONG 1, SEND_DATE DATE 1, TO_NAME TEXT(100) 2, TO_ADDRESS "
         "TEXT(100) 2, STATUS TEXT(1) 2, RETRYABLE TEXT(1) 2, DETAIL_CODE TEXT(8) 2, "
         "FAX_REQUESTNO LONG 3"},
        {"SEQNO",
         "SEQNO_ID TEXT(9) 0, ADDRESS LONG 1, FOLDER LONG 1, SELECT_COND LONG 1, REPLACE LONG 1, "
         "REPLACE_M LONG 1, REPLACE_COND LONG 1, PROFILE LONG 1, MAPPING LONG 1, C_FOLDER LONG 1, "
         "CONTENT LONG 1, PRJ_NO LONG 1, SENDBOX LONG 1, SENDLOG LONG 1"},
        {"ATTACH", "ATTACH_NO LONG 1, SEQNO LONG 1, FILENAME TEXT(255) 0"},
    };
    const jet::Catalog catalog(m_conn);
    int userTables = 0;
    for (const jet::TableInfo& t : catalog.tables()) {
        userTables += t.system ? 0 : 1;
    }
    EXPECT_EQ(userTables, 20);
    for (const auto& [name, columns] : expected) {
        EXPECT_EQ(describe(catalog.table(name)), columns) << name;
    }
}

TEST_F(ProductDb, RegistrationsAndColumnsTheEngineRefuses) {
    createSchema();
    allowZeroLength(m_conn);
    ASSERT_NO_THROW(
        m_conn.execute(productdb::insertFieldWithSize("NAME", "氏名", "T", "20", "1", "0", "0")));
    ASSERT_NO_THROW(
        m_conn.execute(fill(productdb::kAddAddressColumnWithWidth, {"NAME", "TEXT", "20"})));

    const std::string refused[] = {
        productdb::insertFieldWithSize("SIZE", "x", "T", "abc", "1", "0", "0"),  // not a number
        productdb::insertField("KIND", "x", "TEXT", "1", "0", "0"),     // type word for a code
        productdb::insertField("NAME", "x2", "T", "1", "0", "0"),       // ID taken
        productdb::insertField("QUOTE", "O'Neil", "T", "1", "0", "0"),  // malformed
        fill(productdb::kAddAddressColumn, {"NAME", "TEXT"}),           // column exists
        fill(productdb::kAddAddressColumn, {"name", "MEMO"}),           // in any letter case
        fill(productdb::kAddAddressColumn, {"SELECT", "TEXT"}),         // reserved word
        fill(productdb::kAddAddressColumn, {"", "TEXT"}),               // blank ID
        fill(productdb::kAddAddressColumn, {"A-B", "TEXT"}),            // symbol
        fill(productdb::kAddAddressColumn, {"TWO WORDS", "TEXT"}),
        fill(productdb::kAddAddressColumnWithWidth, {"WIDE", "TEXT", "256"}),
        fill(productdb::kAddAddressColumnWithWidth, {"NARROW", "TEXT", "0"}),
        fill(productdb::kAddAddressColumnWithWidth, {"SIZEX", "TEXT", "x"}),
    };
    for (const std::string& sql : refused) {
        EXPECT_THROW(m_conn.execute(sql), jet::Error) << sql;
    }
    EXPECT_EQ(jet::Catalog(m_conn).table("ADDRESS").columns.size(), 2u);
    EXPECT_EQ(single(m_conn, productdb::kCountFields), "1");

    // Field IDs are typed by Japanese users; a Japanese column name is a valid one.
    EXPECT_NO_THROW(m_conn.execute(fill(productdb::kAddAddressColumn, {"電話番号", "TEXT"})));
}

// ---------------------------------------------------------------------------
// Template store

class TemplateStore : public Database {
  protected:
    void SetUp() override {
        Database::SetUp();
        m_conn.execute(
            "CREATE TABLE TEMP_FIELD(FIELD_NO COUNTER, P_FIELD_NO LONG, KIND TEXT(1), "
            "FIELD_ID TEXT(32), FIELD_NAME TEXT(100), ATTR TEXT(1), FIELD_SIZE TEXT(10), "
            "SORTBY LONG, IME TEXT(1), DIS_ALT_FLG TEXT(1))");
        // A field without a size is written with FIELD_SIZE ''.
        allowZeroLength(m_conn);
    }

    // The dialogs' sequence: insert, then read the new number back.
    std::string newFolder(std::string_view parent, std::string_view name) {
        m_conn.execute(templates::insertFolder(parent, name));
        return single(m_conn, templates::kSelectMaxFieldNo);
    }
    std::string newField(std::string_view parent, std::string_view id, std::string_view position,
                         std::string_view size = "20") {
        m_conn.execute(templates::insertField(parent, id, id, "T", size, position, "1"));
        return single(m_conn, templates::kSelectMaxFieldNo);
    }
    // A field as the library may hold it, without a position.
    std::string unpositionedField(std::string_view parent, std::string_view id) {
        m_conn.execute(fill(
            "INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME) VALUES(%1,'A','%2','%2')",
            {parent, id}));
        return single(m_conn, templates::kSelectMaxFieldNo);
    }
    std::string sortby(std::string_view entry) {
        return single(m_conn, templates::selectPosition(entry));
    }
};

TEST_F(TemplateStore, NumbersGrowAndQuotedNumbersAreNumbers) {
    const std::string folder = newFolder("0", "基本");
    const std::string first = newField(folder, "TEL", "1");
    EXPECT_GT(std::stoi(first), std::stoi(folder));
    m_conn.execute(fill(templates::kDeleteEntry, {first}));
    const std::string second = newField(folder, "FAX", "1", "");
    EXPECT_GT(std::stoi(second), std::stoi(first)) << "a number was reused";

    jet::Recordset rs = m_conn.execute(fill(templates::kSelectEntry, {second}));
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.field("KIND").toString(), "A");
    EXPECT_TRUE(rs.field("P_FIELD_NO").isInteger());
    EXPECT_EQ(rs.field("P_FIELD_NO").toString(), folder);
    EXPECT_TRUE(rs.field("SORTBY").isInteger());
    EXPECT_EQ(rs.field("FIELD_SIZE").toString(), "");
    EXPECT_FALSE(rs.field("FIELD_SIZE").isNull());
    EXPECT_TRUE(rs.field("DIS_ALT_FLG").isNull());
    rs.moveNext();
    EXPECT_TRUE(rs.eof());

    EXPECT_THROW(m_conn.execute(templates::insertField("x", "BAD", "bad", "T", "1", "1", "1")),
                 jet::Error);
    EXPECT_THROW(m_conn.execute(templates::insertField(folder, "BAD", "bad", "T", "1", "one", "1")),
                 jet::Error);
}

TEST_F(TemplateStore, LibraryOrderWithNullsFirstAndKindIgnoringCase) {
    const std::string a = newFolder("0", "A");
    const std::string b = newFolder("0", "B");
    m_conn.execute("INSERT INTO TEMP_FIELD(P_FIELD_NO,KIND,FIELD_NAME) VALUES(0,'f','lower')");
    const std::string lower = single(m_conn, templates::kSelectMaxFieldNo);
    const std::string c = newFolder(a, "C");

    const std::string top = newField("0", "TOP", "1");
    const std::string second = newField(a, "SECOND", "2");
    const std::string firstOld = newField(a, "FIRST_OLD", "1");
    const std::string unplaced = unpositionedField(a, "UNPLACED");
    const std::string firstNew = newField(a, "FIRST_NEW", "1");

    EXPECT_EQ(firstColumn(m_conn, templates::kSelectFolders),
              (std::vector<std::string>{a, b, lower, c}));
    EXPECT_EQ(firstColumn(m_conn, templates::kSelectFields),
              (std::vector<std::string>{top, unplaced, firstOld, firstNew, second}));

    const std::vector<std::string> imported = firstColumn(m_conn, templates::kSelectFieldNumbers);
    ASSERT_EQ(imported.size(), 5u);
    EXPECT_EQ(imported[0], top);
    EXPECT_EQ(imported[1], unplaced);
    EXPECT_EQ(imported[4], second);

    EXPECT_EQ(query(m_conn, templates::kSelectFieldIdsAndNames).size(), 5u);
}

TEST_F(TemplateStore, ChildrenOfAFolderWithTheirFixedMark) {
    const std::string a = newFolder("0", "A");
    const std::string sub = newFolder(a, "sub");
    const std::string freeEntry = newField(a, "FREE", "1");
    const std::string fixed = newField(a, "FIXED", "2");
    newField(sub, "DEEP", "1");
    m_conn.execute("UPDATE TEMP_FIELD SET DIS_ALT_FLG='1' WHERE FIELD_NO=" + fixed);

    EXPECT_EQ(query(m_conn, fill(templates::kSelectChildren, {a})).size(), 3u);
    std::map<std::string, std::string> mark;
    for (const auto& row : query(m_conn, fill(templates::kSelectChildrenWithFixedMark, {a}))) {
        EXPECT_EQ(row.at(1), a);
        mark[row.at(0)] = row.at(2);
    }
    EXPECT_EQ(mark,
              (std::map<std::string, std::string>{{sub, "\\N"}, {freeEntry, "\\N"}, {fixed, "1"}}));
    EXPECT_EQ(query(m_conn, fill(templates::kSelectChildren, {"0"})).size(), 1u);
}

TEST_F(TemplateStore, PositionsAndMoves) {
    const std::string x = newFolder("0", "X");
    const std::string y = newFolder("0", "Y");
    const std::string onlySubfolders = newFolder("0", "only subfolders");
    newFolder(onlySubfolders, "inner");
    const std::string empty = newFolder("0", "empty");
    newFolder(x, "sub of X");
    const std::string p1 = newField(x, "P1", "1");
    const std::string p2 = newField(x, "P2", "2");
    const std::string p3 = newField(x, "P3", "3");
    const std::string other = newField(y, "OTHER", "2");

    // Last position of a folder: highest first, empty positions last.
    EXPECT_EQ(single(m_conn, templates::selectPositions(x)), "3");
    EXPECT_EQ(single(m_conn, templates::selectPositions(onlySubfolders)), "\\N");
    EXPECT_TRUE(query(m_conn, templates::selectPositions(empty)).empty());
    EXPECT_EQ(sortby(p2), "2");

    // Move OTHER in front of P2: make room, then place it.
    m_conn.execute(templates::shiftPositions(x, sortby(p2)));
    EXPECT_EQ(sortby(p1), "1");
    EXPECT_EQ(sortby(p2), "3");
    EXPECT_EQ(sortby(p3), "4");
    EXPECT_EQ(sortby(other), "2") << "an entry of another folder moved";
    m_conn.execute(templates::setPosition("2", other));
    m_conn.execute(templates::setParent(x, other));
    EXPECT_EQ(firstColumn(m_conn, fill("select FIELD_NO from TEMP_FIELD where kind='A' and "
                                       "P_FIELD_NO=%1 ORDER BY SORTBY",
                                       {x})),
              (std::vector<std::string>{p1, other, p2, p3}));

    // Into an empty folder.
    m_conn.execute(templates::setFirstPosition(p3));
    m_conn.execute(templates::setParent(empty, p3));
    EXPECT_EQ(single(m_conn, templates::selectPositions(empty)), "1");
}

TEST_F(TemplateStore, EditsRenamesAndDeletion) {
    const std::string folder = newFolder("0", "folder");
    const std::string entry = newField(folder, "TEL", "1");

    m_conn.execute(templates::updateField("FAX", "ファックス", "N", "30", "0", entry));
    EXPECT_EQ(query(m_conn, fill("select FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,IME,P_FIELD_NO from "
                                 "TEMP_FIELD where FIELD_NO= %1",
                                 {entry})),
              (Rows{{"FAX", "ファックス", "N", "30", "0", folder}}));

    // The folder editor's name goes in unchanged, placeholders and all.
    m_conn.execute(fill(templates::kUpdateFolderName, {"A%2B", folder}));
    EXPECT_EQ(single(m_conn, "select FIELD_NAME from TEMP_FIELD where FIELD_NO=" + folder), "A%2B");

    m_conn.execute(templates::rename("新しい名前", folder));
    EXPECT_EQ(single(m_conn, "select FIELD_NAME from TEMP_FIELD where FIELD_NO=" + folder),
              "新しい名前");
    // The rename in place does not remove apostrophes: the statement breaks, nothing changes.
    EXPECT_THROW(m_conn.execute(templates::rename("it's", folder)), jet::Error);
    EXPECT_EQ(single(m_conn, "select FIELD_NAME from TEMP_FIELD where FIELD_NO=" + folder),
              "新しい名前");

    m_conn.execute(fill(templates::kDeleteEntry, {entry}));
    EXPECT_TRUE(query(m_conn, fill(templates::kSelectEntry, {entry})).empty());
    EXPECT_EQ(single(m_conn, "select count(*) from TEMP_FIELD"), "1");
}

}  // namespace
