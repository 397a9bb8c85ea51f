// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "database.h"
#include "statement.h"
#include "value.h"

namespace jet {

// A record set's query, positioned on its current row. Each backend reads its rows its
// own way; the record set sees only this.
struct Cursor {
    virtual ~Cursor() = default;
    bool eof = true;

    // Advances to the next row; returns false at the end.
    virtual bool next() = 0;
    virtual int columnCount() const = 0;
    virtual std::string columnName(int index) const = 0;
    virtual Value value(int index) const = 0;
};

// A query on an SQLCipher file, read row by row as SQLite steps through it.
struct SqliteCursor final : Cursor {
    std::shared_ptr<Database> db;  // declared first: the handle outlives the statement
    Statement stmt;

    // Advances to the next row; returns false at the end.
    bool step(std::string_view sqlForErrors);
    bool next() override { return step({}); }
    int columnCount() const override;
    std::string columnName(int index) const override;
    Value value(int index) const override;
};

}  // namespace jet
