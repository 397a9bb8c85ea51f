#pragma once

#include <memory>

#include <sqlite3.h>

#include "database.h"

namespace jet {

// A prepared query positioned on its current row.
struct StatementHandle {
    std::shared_ptr<Database> db;
    sqlite3_stmt* stmt = nullptr;
    bool eof = true;
    bool empty = true;  // the result had no rows
    bool onFirstRow = false;

    ~StatementHandle() {
        if (stmt) {
            sqlite3_finalize(stmt);
        }
    }
    // Advances to the next row; returns false at the end.
    bool step(std::string_view sqlForErrors);
};

}  // namespace jet
