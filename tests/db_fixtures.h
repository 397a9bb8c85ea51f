#pragma once

// Small databases made for a test, in its own temporary folder.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/connection_string.h"
#include "productdb/schema.h"

namespace rvtest {

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A template library with the shipped table layout and the given rows
// (P_FIELD_NO, KIND, FIELD_ID, FIELD_NAME, ATTR, FIELD_SIZE, SORTBY, IME, DIS_ALT_FLG as
// the tail of an INSERT ... VALUES(FIELD_NO, ...)).
inline std::string makeTemplateDb(const std::string& path, const std::vector<std::string>& rows) {
    const std::string cs = jet::ConnectionString::build(path, "");
    jet::Catalog::create(cs);
    jet::Connection c;
    c.open(cs);
    c.execute(
        "CREATE TABLE TEMP_FIELD(FIELD_NO COUNTER, P_FIELD_NO LONG, KIND TEXT(1), FIELD_ID "
        "TEXT(32), FIELD_NAME TEXT(100), ATTR TEXT(1), FIELD_SIZE TEXT(3), SORTBY LONG, IME "
        "TEXT(1), DIS_ALT_FLG TEXT(1), PRIMARY KEY(FIELD_NO))");
    jet::Catalog cat(c);
    for (const char* col : {"FIELD_ID", "FIELD_SIZE", "IME", "DIS_ALT_FLG", "ATTR"}) {
        cat.setProperty("TEMP_FIELD", col, jet::kAllowZeroLength, true);
    }
    for (const auto& r : rows) {
        c.execute(
            "INSERT INTO TEMP_FIELD(FIELD_NO,P_FIELD_NO,KIND,FIELD_ID,FIELD_NAME,ATTR,FIELD_SIZE,"
            "SORTBY,IME,DIS_ALT_FLG) VALUES(" +
            r + ")");
    }
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

// A product database holding the FIELD table with the given registrations (full
// INSERT statements).
inline void makeProductDb(const std::string& path, const std::string& password,
                          const std::vector<std::string>& inserts) {
    const std::string cs = jet::ConnectionString::build(path, password);
    jet::Catalog::create(cs);
    jet::Connection c;
    c.open(cs);
    c.execute(productdb::kCreateField);
    for (const auto& s : inserts) {
        c.execute(s);
    }
}

}  // namespace rvtest
