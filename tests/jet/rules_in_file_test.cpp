// SPDX-License-Identifier: MIT
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
        c.execute("CREATE TABLE H(T TEXT(3), M MEMO, L LONG, N DOUBLE, D DATE, B YESNO)");
    }

    rvtest::RawDb raw(path, "pw");
    EXPECT_NE(raw.scalar("PRAGMA cipher_version"), "<none>") << "the process runs SQLCipher";
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID,ATTR) VALUES('A','TEXT')"),
              "CHECK constraint failed: FIELD.ATTR: at most 1 character");
    EXPECT_EQ(raw.exec("INSERT INTO FIELD(FIELD_ID,ATTR,FIELD_SIZE) VALUES('A','T','20')"), "ok");
    EXPECT_EQ(raw.scalar("SELECT typeof(FIELD_SIZE) FROM FIELD"), "integer");
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(NAIYOU) VALUES('')"), "ok");

    // A rule that could come out null would let the value pass.
    EXPECT_EQ(raw.exec("INSERT INTO H(D) VALUES('hello')"),
              "CHECK constraint failed: H.D: not a date (YYYY-MM-DD)");
    EXPECT_EQ(raw.exec("INSERT INTO H VALUES('abc','m',1,1.5,'2026-12-05',-1)"), "ok");
    EXPECT_EQ(raw.scalar("PRAGMA integrity_check"), "ok");

    // The stored text of the rules is part of the file format: files made by earlier
    // versions are read and edited by it.
    EXPECT_EQ(raw.scalar("SELECT sql FROM sqlite_master WHERE name='PRJ_DETAIL'"),
              "CREATE TABLE \"PRJ_DETAIL\"(\"SYURUI\" TEXT(20) COLLATE NOCASE CONSTRAINT "
              "\"PRJ_DETAIL.SYURUI: not a text\" CHECK(\"SYURUI\" IS NULL OR typeof(\"SYURUI\")"
              "<>'blob' AND instr(\"SYURUI\",char(0))=0) CONSTRAINT \"PRJ_DETAIL.SYURUI: at most "
              "20 characters\" CHECK(\"SYURUI\" IS NULL OR length(\"SYURUI\")<=20) CONSTRAINT "
              "\"PRJ_DETAIL.SYURUI: zero-length string not allowed\" CHECK(\"SYURUI\" IS NULL OR "
              "length(\"SYURUI\")>0), \"NAIYOU\" TEXT(100) COLLATE NOCASE CONSTRAINT "
              "\"PRJ_DETAIL.NAIYOU: not a text\" CHECK(\"NAIYOU\" IS NULL OR typeof(\"NAIYOU\")"
              "<>'blob' AND instr(\"NAIYOU\",char(0))=0) CONSTRAINT \"PRJ_DETAIL.NAIYOU: at most "
              "100 characters\" CHECK(\"NAIYOU\" IS NULL OR length(\"NAIYOU\")<=100))");
}

// A file made before the rules were null-proof: its zero-length rules have their
// earlier text, which is still read as the property and can still be set.
TEST(RulesInFile, EarlierRuleTextsKeepWorking) {
    rvtest::TempDir dir;
    const std::string path = dir.file("old.mdb");
    const std::string cs = jet::ConnectionString::build(path, "pw");
    jet::Catalog::create(cs);
    {
        rvtest::RawDb raw(path, "pw");
        ASSERT_EQ(raw.exec("CREATE TABLE \"PRJ_DETAIL\"(\"SYURUI\" TEXT(20) COLLATE NOCASE "
                           "CONSTRAINT \"PRJ_DETAIL.SYURUI: at most 20 characters\" "
                           "CHECK(length(\"SYURUI\")<=20) CONSTRAINT \"PRJ_DETAIL.SYURUI: "
                           "zero-length string not allowed\" CHECK(\"SYURUI\"<>''), \"NAIYOU\" "
                           "TEXT(100) COLLATE NOCASE CONSTRAINT \"PRJ_DETAIL.NAIYOU: at most 100 "
                           "characters\" CHECK(length(\"NAIYOU\")<=100) CONSTRAINT "
                           "\"PRJ_DETAIL.NAIYOU: zero-length string not allowed\" "
                           "CHECK(\"NAIYOU\"<>''))"),
                  "ok");
        ASSERT_EQ(raw.exec("INSERT INTO PRJ_DETAIL VALUES('a','b')"), "ok");
    }
    jet::Connection c;
    c.open(cs);
    jet::Catalog catalog(c);
    EXPECT_EQ(catalog.property("PRJ_DETAIL", "SYURUI", jet::kAllowZeroLength), "False");
    EXPECT_EQ(catalog.property("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength), "False");
    catalog.setProperty("PRJ_DETAIL", "NAIYOU", jet::kAllowZeroLength, true);
    catalog.setProperty("PRJ_DETAIL", "SYURUI", jet::kAllowZeroLength, true);
    catalog.setProperty("PRJ_DETAIL", "SYURUI", jet::kAllowZeroLength, false);
    c.execute("ALTER TABLE PRJ_DETAIL ADD COLUMN  D DATE");
    c.close();

    rvtest::RawDb raw(path, "pw");
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(SYURUI,NAIYOU) VALUES('x','')"), "ok");
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(SYURUI) VALUES('')"),
              "CHECK constraint failed: PRJ_DETAIL.SYURUI: zero-length string not allowed");
    EXPECT_EQ(raw.exec("INSERT INTO PRJ_DETAIL(D) VALUES('2026-13-45')"),
              "CHECK constraint failed: PRJ_DETAIL.D: not a date (YYYY-MM-DD)");
    EXPECT_EQ(raw.scalar("SELECT count(*) FROM PRJ_DETAIL"), "2");
    EXPECT_EQ(raw.scalar("PRAGMA integrity_check"), "ok");
}

}  // namespace
