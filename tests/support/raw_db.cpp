#include "raw_db.h"

#include <sqlite3.h>

namespace rvtest {

RawDb::RawDb(const std::string& path, const std::string& password) {
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        !password.empty()) {
        sqlite3_key(m_db, password.data(), static_cast<int>(password.size()));
    }
}

RawDb::~RawDb() {
    sqlite3_close(m_db);
}

std::vector<std::string> RawDb::rows(const std::string& sql) {
    std::vector<std::string> out;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) {
        return {"<error: " + std::string(sqlite3_errmsg(m_db)) + ">"};
    }
    while (sqlite3_step(s) == SQLITE_ROW) {
        std::string line;
        for (int i = 0; i < sqlite3_column_count(s); ++i) {
            const unsigned char* t = sqlite3_column_text(s, i);
            line += (i ? "|" : "") + (t ? std::string(reinterpret_cast<const char*>(t)) : "<null>");
        }
        out.push_back(line);
    }
    sqlite3_finalize(s);
    return out;
}

std::string RawDb::scalar(const std::string& sql) {
    const std::vector<std::string> r = rows(sql);
    return r.empty() ? "<none>" : r[0];
}

std::string RawDb::exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK) {
        return "ok";
    }
    std::string msg = err ? err : "?";
    sqlite3_free(err);
    return msg;
}

}  // namespace rvtest
