// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string_view>

#include "database.h"
#include "statement.h"

namespace jet {

// A record set's query, positioned on its current row.
struct Cursor {
    std::shared_ptr<Database> db;  // declared first: the handle outlives the statement
    Statement stmt;
    bool eof = true;

    // Advances to the next row; returns false at the end.
    bool step(std::string_view sqlForErrors);
};

}  // namespace jet
