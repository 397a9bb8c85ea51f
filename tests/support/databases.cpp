// SPDX-License-Identifier: MIT
#include "databases.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "productdb/schema.h"
#include "raw_db.h"

namespace rvtest {

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string jetFixture(const std::string& name) {
    const char* source = std::getenv("RV_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/data/jet/" + name;
}

std::string connectionString(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

std::string templateLibrary(const std::string& path) {
    const char* bin = std::getenv("RV_BIN_DIR");
    std::filesystem::copy_file(std::filesystem::path(bin ? bin : ".") / "base.mdb", path);
    return connectionString(path);
}

std::string templateLibrary(const std::string& path, const std::vector<std::string>& rows) {
    const std::string cs = templateLibrary(path);
    jet::Connection c;
    c.open(cs);
    c.execute("delete * from TEMP_FIELD");
    RawDb(path, "").exec("DELETE FROM sqlite_sequence WHERE name='TEMP_FIELD'");
    for (const std::string& r : rows) {
        c.execute(
            "INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,"
            "SORTBY,IME,DIS_ALT_FLG) VALUES(" +
            r + ")");
    }
    return cs;
}

void productDatabase(const std::string& path, const std::string& password,
                     const std::vector<std::string>& fieldInserts) {
    const std::string cs = jet::ConnectionString::build(path, password);
    jet::Catalog::create(cs);
    jet::Connection c;
    c.open(cs);
    for (std::string_view create : productdb::kCreateTables) {
        c.execute(create);
    }
    for (const std::string& insert : fieldInserts) {
        c.execute(insert);
    }
}

}  // namespace rvtest
