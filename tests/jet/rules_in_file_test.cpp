// The rules live in the file: a client that is not this engine, holding only the
// password, is held to them too.
#include <gtest/gtest.h>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "raw_db.h"
#include "temp_dir.h"

namespace {

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
        c.execute("CREATE TABLE PRJ_DETAIL(SYURUI TEXT(20), NAIYOU           TEXT(100))");
        jet::Catalog(c).setProperty("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength, true);
    }

    rvtest::RawDb raw(path, "pw");
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
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(NAIYOU) VALUES('')"), "ok");
    EXPECT_EQ(raw.scalar("SELECT count(*) FROM FIELD WHERE field_id='a'"), "1");
    EXPECT_EQ(raw.scalar("PRAGMA integrity_check"), "ok");

    // The stored text of the rules is part of the file format: files made by earlier
    // versions are read and edited by it.
    EXPECT_EQ(raw.scalar("SELECT sql FROM sqlite_master WHERE name='PRJ_DETAIL'"),
              "CREATE TABLE \"PRJ_DETAIL\"(\"SYURUI\" TEXT(20) COLLATE NOCASE CONSTRAINT "
              "\"PRJ_DETAIL.SYURUI: at most 20 characters\" CHECK(length(\"SYURUI\")<=20) "
              "CONSTRAINT \"PRJ_DETAIL.SYURUI: zero-length string not allowed\" "
              "CHECK(\"SYURUI\"<>''), \"NAIYOU\" TEXT(100) COLLATE NOCASE CONSTRAINT "
              "\"PRJ_DETAIL.NAIYOU: at most 100 characters\" CHECK(length(\"NAIYOU\")<=100))");
}

TEST(RulesInFile, AWrongKeyReadsNothing) {
    rvtest::TempDir dir;
    const std::string path = dir.file("k.mdb");
    jet::Catalog::create(jet::ConnectionString::build(path, "pw"));
    rvtest::RawDb raw(path, "other");
    EXPECT_NE(raw.exec("SELECT count(*) FROM sqlite_master"), "ok");
}

}  // namespace
