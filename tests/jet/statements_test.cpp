// The product's own statement texts, run as they stand on a fresh database.

#include <gtest/gtest.h>

#include <string>

#include "databases.h"
#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/placeholders.h"
#include "productdb/schema.h"
#include "temp_dir.h"

namespace {

using jet::fill;

TEST(Placeholders, FillIsOnePassLeftToRight) {
    EXPECT_EQ(fill("%1=%2", {"A%2B", "x"}), "A%2B=x");
    EXPECT_EQ(fill("%2-%1-%2", {"a", "b"}), "b-a-b");
    EXPECT_EQ(fill("100% %3 %", {"x"}), "100% %3 %");
}

// The product database's field statements that the engine refuses, leaving the file as
// it was.
TEST(ProductDb, FieldStatementsTheEngineRefuses) {
    rvtest::TempDir dir;
    rvtest::productDatabase(dir.file("db.mdb"), "pw", {});
    jet::Connection c;
    c.open(jet::ConnectionString::build(dir.file("db.mdb"), "pw"));
    c.execute(productdb::insertFieldWithSize("NAME", "氏名", "T", "20", "1", "0", "0"));
    c.execute(fill(productdb::kAddAddressColumnWithWidth, {"NAME", "TEXT", "20"}));
    const std::string refused[] = {
        productdb::insertField("NAME", "x2", "T", "1", "0", "0"),       // ID taken
        productdb::insertField("QUOTE", "O'Neil", "T", "1", "0", "0"),  // malformed
        fill(productdb::kAddAddressColumn, {"", "TEXT"}),               // not a name
        fill(productdb::kAddAddressColumn, {"A-B", "TEXT"}),
        fill(productdb::kAddAddressColumn, {"1A", "TEXT"}),
        fill(productdb::kAddAddressColumn, {"TWO WORDS", "TEXT"}),
        fill(productdb::kAddAddressColumnWithWidth, {"WIDE", "TEXT", "256"}),
        fill(productdb::kAddAddressColumnWithWidth, {"NARROW", "TEXT", "0"}),
        fill(productdb::kAddAddressColumnWithWidth, {"SIZEX", "TEXT", "x"}),
    };
    for (const std::string& sql : refused) {
        EXPECT_THROW(c.execute(sql), jet::Error) << sql;
    }
    EXPECT_EQ(jet::Catalog(c).table("ADDRESS").columns.size(), 2u);
    EXPECT_EQ(c.execute(productdb::kCountFields).field(0).toString(), "1");

    // Field IDs are typed by Japanese users; a Japanese column name is a valid one.
    EXPECT_NO_THROW(c.execute(fill(productdb::kAddAddressColumn, {"電話番号", "TEXT"})));
}

}  // namespace
