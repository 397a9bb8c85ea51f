// The rules live in the file: a client that is not this engine, holding only the
// password, is held to them too.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "temp_dir.h"

namespace {

class RawClient {
  public:
    RawClient(const std::string& path, const std::string& password) {
        EXPECT_EQ(sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        sqlite3_key(m_db, password.data(), static_cast<int>(password.size()));
    }
    ~RawClient() { sqlite3_close(m_db); }
    std::string exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK) {
            return "ok";
        }
        std::string msg = err ? err : "?";
        sqlite3_free(err);
        return msg;
    }
    std::string scalar(const std::string& sql) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(m_db, sql.c_str(), -1, &s, nullptr);
        std::string out = "<none>";
        if (sqlite3_step(s) == SQLITE_ROW) {
            auto* t = sqlite3_column_text(s, 0);
            out = t ? reinterpret_cast<const char*>(t) : "<null>";
        }
        sqlite3_finalize(s);
        return out;
    }

  private:
    sqlite3* m_db = nullptr;
};

TEST(RulesInFile, HoldForARawSqlcipherClient) {
    rvtest::TempDir dir;
    const std::string path = dir.file("r.mdb");
    const std::string cs = jet::ConnectionString::build(path, "pw");
    jet::Catalog::create(cs);
    {
        jet::Connection c;
        c.open(cs);
        c.execute(
            "CREATE TABLE FIELD(FIELD_ID  TEXT(32)  NOT NULL, ATTR         TEXT(1)   NOT NULL, "
            "FIELD_SIZE             LONG, MAIL_ADDRESS_FLG TEXT(1), PRIMARY KEY(FIELD_ID))");
        c.execute("CREATE TABLE PRJ_DETAIL(NAIYOU           TEXT(100))");
        jet::Catalog(c).setProperty("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength, true);
    }

    RawClient raw(path, "pw");
    EXPECT_EQ(raw.scalar("PRAGMA cipher_version").empty(), false);
    EXPECT_NE(raw.scalar("PRAGMA cipher_version"), "<none>") << "the process runs SQLCipher";
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID,ATTR) VALUES('A','TEXT')"),
              "CHECK constraint failed: FIELD.ATTR: at most 1 character");
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID) VALUES('A')"),
              "NOT NULL constraint failed: FIELD.ATTR");
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID,ATTR) VALUES('','T')"),
              "CHECK constraint failed: FIELD.FIELD_ID: zero-length string not allowed");
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID,ATTR,MAIL_ADDRESS_FLG) VALUES('A','T','')"),
              "CHECK constraint failed: FIELD.MAIL_ADDRESS_FLG: zero-length string not allowed");
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID,ATTR,FIELD_SIZE) VALUES('A','T','x')"),
              "CHECK constraint failed: FIELD.FIELD_SIZE: not a whole number from -2147483648 "
              "to 2147483647");
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID,ATTR,FIELD_SIZE) VALUES('A','T','20')"), "ok");
    EXPECT_EQ(raw.scalar("SELECT typeof(FIELD_SIZE) FROM FIELD"), "integer");
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL VALUES('')"), "ok");
    EXPECT_EQ(raw.scalar("SELECT count(*) FROM FIELD WHERE field_id='a'"), "1");
    EXPECT_EQ(raw.scalar("PRAGMA integrity_check"), "ok");
}

TEST(RulesInFile, AWrongKeyReadsNothing) {
    rvtest::TempDir dir;
    const std::string path = dir.file("k.mdb");
    jet::Catalog::create(jet::ConnectionString::build(path, "pw"));
    RawClient raw(path, "other");
    EXPECT_NE(raw.exec("SELECT count(*) FROM sqlite_master"), "ok");
}

}  // namespace
