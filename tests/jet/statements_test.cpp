// The product's own statement texts, run as they stand on a fresh database.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/placeholders.h"
#include "temp_dir.h"
#include "productdb/schema.h"

namespace {

using jet::fill;

TEST(Placeholders, FillIsOnePassLeftToRight) {
    EXPECT_EQ(fill("%1=%2", {"A%2B", "x"}), "A%2B=x");
    EXPECT_EQ(fill("%2-%1-%2", {"a", "b"}), "b-a-b");
    EXPECT_EQ(fill("100% %3 %", {"x"}), "100% %3 %");
}

class ProductDb : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string connStr = jet::ConnectionString::build(m_dir.file("db.mdb"), "pw");
        jet::Catalog::create(connStr);
        m_conn.open(connStr);
        for (std::string_view create : productdb::kCreateTables) {
            m_conn.execute(create);
        }
        m_conn.execute(fill(productdb::kInsertInfo, {"2024-05-17"}));
        m_conn.execute(productdb::kInsertSeqno);
    }

    rvtest::TempDir m_dir;
    jet::Connection m_conn;
};

TEST_F(ProductDb, TwentyTablesWithTheirDeclaredColumns) {
    // "NAME TYPE FLAGS, ..." per table; flags 1 fixed length, 2 nullable.
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
    ASSERT_EQ(catalog.tables().size(), std::size(expected));
    for (const auto& [name, columns] : expected) {
        std::string described;
        for (const jet::ColumnInfo& c : catalog.table(name).columns) {
            described += (described.empty() ? "" : ", ") + c.name + " " + c.type + " " +
                         std::to_string(c.attributes);
        }
        EXPECT_EQ(described, columns) << name;
    }
}

TEST_F(ProductDb, FieldStatementsTheEngineRefuses) {
    m_conn.execute(productdb::insertFieldWithSize("NAME", "氏名", "T", "20", "1", "0", "0"));
    m_conn.execute(fill(productdb::kAddAddressColumnWithWidth, {"NAME", "TEXT", "20"}));
    const std::string refused[] = {
        productdb::insertFieldWithSize("SIZE", "x", "T", "abc", "1", "0", "0"),  // not a number
        productdb::insertField("KIND", "x", "TEXT", "1", "0", "0"),     // type word for a code
        productdb::insertField("NAME", "x2", "T", "1", "0", "0"),       // ID taken
        productdb::insertField("QUOTE", "O'Neil", "T", "1", "0", "0"),  // malformed
        fill(productdb::kAddAddressColumn, {"NAME", "TEXT"}),           // column exists
        fill(productdb::kAddAddressColumn, {"name", "MEMO"}),           // in any letter case
        fill(productdb::kAddAddressColumn, {"SELECT", "TEXT"}),         // reserved word
        fill(productdb::kAddAddressColumn, {"", "TEXT"}),               // not a name
        fill(productdb::kAddAddressColumn, {"A-B", "TEXT"}),
        fill(productdb::kAddAddressColumn, {"1A", "TEXT"}),
        fill(productdb::kAddAddressColumn, {"TWO WORDS", "TEXT"}),
        fill(productdb::kAddAddressColumnWithWidth, {"WIDE", "TEXT", "256"}),
        fill(productdb::kAddAddressColumnWithWidth, {"NARROW", "TEXT", "0"}),
        fill(productdb::kAddAddressColumnWithWidth, {"SIZEX", "TEXT", "x"}),
    };
    for (const std::string& sql : refused) {
        EXPECT_THROW(m_conn.execute(sql), jet::Error) << sql;
    }
    EXPECT_EQ(jet::Catalog(m_conn).table("ADDRESS").columns.size(), 2u);
    EXPECT_EQ(m_conn.execute(productdb::kCountFields).field(0).toString(), "1");

    // Field IDs are typed by Japanese users; a Japanese column name is a valid one.
    EXPECT_NO_THROW(m_conn.execute(fill(productdb::kAddAddressColumn, {"電話番号", "TEXT"})));
}

// Every nullable text and memo column of every table takes "", as the builder sets it.
void allowZeroLength(jet::Connection& c) {
    jet::Catalog catalog(c);
    for (const jet::TableInfo& t : catalog.tables()) {
        for (const jet::ColumnInfo& col : t.columns) {
            if (col.attributes == jet::kColNullable) {
                catalog.setProperty(t.name, col.name, jet::kAllowZeroLength, true);
            }
        }
    }
}

// Fields `from` to `to` (of every attribute in turn) registered and added as the
// builder does it, then the display order of all of them.
void addFields(jet::Connection& c, int from, int to) {
    static constexpr std::array<std::pair<const char*, const char*>, 6> kKinds = {{{"T", "TEXT"},
                                                                                   {"T", "TEXT"},
                                                                                   {"N", "DOUBLE"},
                                                                                   {"D", "DATE"},
                                                                                   {"B", "YESNO"},
                                                                                   {"M", "MEMO"}}};
    for (int i = from; i <= to; ++i) {
        const std::string id = "F" + std::to_string(i);
        const auto [attr, type] = kKinds[i % kKinds.size()];
        if (i % kKinds.size() == 0) {
            c.execute(productdb::insertFieldWithSize(id, "名" + id, attr, "20", "1", "0", "0"));
            c.execute(fill(productdb::kAddAddressColumnWithWidth, {id, type, "20"}));
        } else {
            c.execute(productdb::insertField(id, "名" + id, attr, "1", "0", "0"));
            c.execute(fill(productdb::kAddAddressColumn, {id, type}));
        }
    }
    allowZeroLength(c);
    for (int i = 1; i <= to; ++i) {
        c.execute(fill(productdb::kUpdateDispSeqno, {std::to_string(i), "F" + std::to_string(i)}));
    }
}

// A new file with twelve fields, then extended by six: each build in one transaction,
// as the builder sends it, or statement by statement. The stored definitions.
std::vector<std::string> build(const std::string& path, bool inTransactions,
                               jet::Connection::Observer trace = {}) {
    const std::string cs = jet::ConnectionString::build(path, "pw");
    jet::Catalog::create(cs);
    for (const auto& [from, to] : {std::pair{1, 12}, std::pair{13, 18}}) {
        jet::Connection c;
        c.open(cs);
        c.setEngineTrace(trace);
        if (inTransactions) {
            c.beginTrans();
        }
        if (from == 1) {
            for (std::string_view create : productdb::kCreateTables) {
                c.execute(create);
            }
            c.execute(fill(productdb::kInsertInfo, {"2024-05-17"}));
            c.execute(productdb::kInsertSeqno);
            allowZeroLength(c);
        }
        addFields(c, from, to);
        if (inTransactions) {
            c.commitTrans();
        }
    }
    jet::Connection c;
    c.open(cs);
    std::vector<std::string> definitions;
    for (auto rs = c.execute("select type, name, tbl_name, sql from sqlite_master"); !rs.eof();
         rs.moveNext()) {
        definitions.push_back(rs.field(0).toString() + " " + rs.field(1).toString() + " " +
                              rs.field(2).toString() + " " + rs.field(3).toString());
    }
    return definitions;
}

// Inside the builder's transaction each table's definition is written once, however
// many columns are added, and the file holds what it holds when every statement runs
// on its own.
TEST(ProductBuild, EachDefinitionWrittenOncePerTransactionAsIfAtOnce) {
    rvtest::TempDir dir;
    int addressWrites = 0;
    const auto trace = [&](std::string_view sql) {
        const bool alter = sql.starts_with("ALTER TABLE \"ADDRESS\" ADD COLUMN");
        const bool rewrite = sql.starts_with("UPDATE sqlite_master") &&
                             (sql.find("TABLE \"ADDRESS\"(") != std::string_view::npos ||
                              sql.find("TABLE \"ADDRESS jet_reload\"(") != std::string_view::npos);
        addressWrites += alter || rewrite ? 1 : 0;
    };
    const std::vector<std::string> together = build(dir.file("a.mdb"), true, trace);
    EXPECT_EQ(addressWrites, 2);
    EXPECT_EQ(together, build(dir.file("b.mdb"), false));
    EXPECT_EQ(together.size(), 35u);
}

}  // namespace
