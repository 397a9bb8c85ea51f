// SPDX-License-Identifier: MIT
// The builder on a PostgreSQL server: the same product as in a file, and nothing half-built
// when the building process dies or the server goes away under a build.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "pg_server.h"
#include "productdb/builder.h"
#include "temp_dir.h"

namespace {

using productdb::NewField;

NewField field(const char* id, const char* attr, const char* size, const char* mail = "") {
    return {QString::fromUtf8(id),
            QString::fromUtf8(id) + QStringLiteral("名"),
            QString::fromUtf8(attr),
            QString::fromUtf8(size),
            QStringLiteral("ON"),
            QString::fromUtf8(mail),
            QString(),
            false};
}

const std::vector<NewField> kFields = {field("MAIL1", "文字", "100", "PCメール"),
                                       field("tel", "文字", "20"),
                                       field("AGE", "数字", "3"),
                                       field("BIRTH", "日付", ""),
                                       field("OK", "YESNO", ""),
                                       field("NOTE", "メモ", "")};

// Everything a database holds as the product sees it: each table with its columns (type,
// flags, zero-length setting) and its rows in a fixed order.
std::string contents(const std::string& connStr) {
    jet::Connection c;
    c.open(connStr);
    std::string out;
    for (const jet::TableInfo& t : jet::Catalog(c).tables()) {
        if (t.system) {
            continue;
        }
        out += t.name + ":";
        std::string order;
        for (const jet::ColumnInfo& col : t.columns) {
            out += " " + col.name + " " + col.type + " " + std::to_string(col.attributes) +
                   (col.allowZeroLength ? "z" : "");
            order += (order.empty() ? "" : ",") + col.name;
        }
        out += "\n";
        for (jet::Recordset rs = c.execute("select * from " + t.name + " ORDER BY " + order);
             !rs.eof(); rs.moveNext()) {
            out += " |";
            for (int i = 0; i < rs.fieldCount(); ++i) {
                const jet::Value v = rs.field(i);
                out += " " + (v.isNull() ? std::string("null") : v.toString());
            }
            out += "\n";
        }
    }
    return out;
}

std::string serverDatabase() {
    return rvtest::sharedPgServer().createDatabase();
}

std::string connStr(const std::string& uri) {
    return jet::ConnectionString::build(uri, rvtest::PgServer::kPassword);
}

TEST(ServerBuild, TheSameProductInAFileAndOnAServer) {
    rvtest::TempDir dir;
    const std::string file = dir.file("p.mdb");
    jet::Catalog::create(jet::ConnectionString::build(file, "pw"));
    productdb::BuildState inFile;
    ASSERT_TRUE(productdb::buildDB(kFields, {file, "pw"}, inFile).built);

    const std::string uri = serverDatabase();
    productdb::BuildState onServer;
    ASSERT_TRUE(productdb::buildDB(kFields, {uri, rvtest::PgServer::kPassword}, onServer).built);
    const std::string built = contents(connStr(uri));
    EXPECT_EQ(built, contents(jet::ConnectionString::build(file, "pw")));
    EXPECT_NE(built.find("ADDRESS: ADDRESS_NO LONG 1 MAIL1 TEXT(100) 2z tel TEXT(20) 2z AGE "
                         "DOUBLE 3 BIRTH DATE 3 OK YESNO 3 NOTE MEMO 2z\n"),
              std::string::npos)
        << built;

    // Extended: only the new field, and every field renumbered.
    std::vector<NewField> more = kFields;
    for (NewField& f : more) {
        f.existing = true;
    }
    more.insert(more.begin() + 1, field("FAX1", "文字", "20"));
    EXPECT_TRUE(productdb::buildDB(more, {file, "pw"}, inFile).built);
    EXPECT_TRUE(productdb::buildDB(more, {uri, rvtest::PgServer::kPassword}, onServer).built);
    EXPECT_EQ(contents(connStr(uri)), contents(jet::ConnectionString::build(file, "pw")));
}

// A build that fails, or whose process dies, or whose server goes away, leaves the
// database exactly as it was: here without a single table.
TEST(ServerBuild, NothingHalfBuilt) {
    rvtest::PgServer& server = rvtest::sharedPgServer();
    {
        const std::string uri = serverDatabase();
        std::vector<NewField> fields = kFields;
        fields.push_back(field("AGE", "数字", ""));  // a column already there
        productdb::BuildState state;
        const productdb::BuildResult result =
            productdb::buildDB(fields, {uri, rvtest::PgServer::kPassword}, state);
        EXPECT_FALSE(result.built);
        EXPECT_EQ(result.row, 7);
        EXPECT_EQ(contents(connStr(uri)), "");
    }
    {
        const std::string uri = serverDatabase();
        const pid_t child = ::fork();
        if (child == 0) {
            int statements = 0;
            productdb::BuildState state;
            productdb::buildDB(kFields, {uri, rvtest::PgServer::kPassword}, state,
                               [&](std::string_view) {
                                   if (++statements == 25) {
                                       ::kill(::getpid(), SIGKILL);
                                   }
                               });
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(contents(connStr(uri)), "");
    }
    {
        const std::string uri = serverDatabase();
        int statements = 0;
        productdb::BuildState state;
        const productdb::BuildResult result = productdb::buildDB(
            kFields, {uri, rvtest::PgServer::kPassword}, state, [&](std::string_view) {
                if (++statements == 25) {
                    server.restart();
                }
            });
        EXPECT_FALSE(result.built);
        EXPECT_TRUE(result.cleanupFailed);
        EXPECT_NE(result.reason.find("terminat"), std::string::npos) << result.reason;
        EXPECT_EQ(contents(connStr(uri)), "");
    }
}

}  // namespace
