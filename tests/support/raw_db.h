// SPDX-License-Identifier: MIT
#pragma once

// Reading a database the way any SQLCipher client would, without the engine: for
// checking what the engine left in a file.

#include <sqlite3.h>

#include <limits>
#include <string>
#include <vector>

namespace rvtest {

class RawDb {
  public:
    RawDb(const std::string& path, const std::string& password) {
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
            !password.empty()) {
            sqlite3_key(m_db, password.data(), static_cast<int>(password.size()));
        }
    }
    ~RawDb() { sqlite3_close(m_db); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    // Every row of a query, cells joined by '|', a null as "<null>"; or "<error: MESSAGE>".
    std::vector<std::string> rows(const std::string& sql) {
        std::vector<std::string> out;
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v2(m_db, sql.c_str(), -1, &s, nullptr);
        while (rc == SQLITE_OK && (rc = sqlite3_step(s)) == SQLITE_ROW) {
            rc = SQLITE_OK;
            std::string line;
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                const unsigned char* t = sqlite3_column_text(s, i);
                line +=
                    (i ? "|" : "") + (t ? std::string(reinterpret_cast<const char*>(t)) : "<null>");
            }
            out.push_back(line);
        }
        if (rc != SQLITE_DONE) {
            out = {"<error: " + std::string(sqlite3_errmsg(m_db)) + ">"};
        }
        sqlite3_finalize(s);
        return out;
    }
    // The first row of a query, or "<none>".
    std::string scalar(const std::string& sql) {
        const std::vector<std::string> r = rows(sql);
        return r.empty() ? "<none>" : r[0];
    }
    // The first column of the first row as the double SQLite stores, bit for bit; NaN
    // when there is none or it is no number.
    double real(const std::string& sql) {
        double out = std::numeric_limits<double>::quiet_NaN();
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW && sqlite3_column_type(s, 0) == SQLITE_FLOAT) {
            out = sqlite3_column_double(s, 0);
        }
        sqlite3_finalize(s);
        return out;
    }
    // "ok", or the engine's message.
    std::string exec(const std::string& sql) {
        const std::string first = scalar(sql);
        return first.starts_with("<error: ") ? first.substr(8, first.size() - 9) : "ok";
    }

  private:
    sqlite3* m_db = nullptr;
};

}  // namespace rvtest
