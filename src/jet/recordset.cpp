// SPDX-License-Identifier: MIT
#include "recordset.h"

#include "cursor.h"
#include "error.h"
#include "text_util.h"

namespace jet {

bool SqliteCursor::step(std::string_view sqlForErrors) {
    const int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_ROW) {
        eof = false;
        return true;
    }
    eof = true;
    if (rc != SQLITE_DONE) {
        db->fail(rc, sqlForErrors);
    }
    return false;
}

int SqliteCursor::columnCount() const {
    return sqlite3_column_count(stmt.get());
}

std::string SqliteCursor::columnName(int index) const {
    return std::string(sqliteText(sqlite3_column_name(stmt.get(), index)));
}

Value SqliteCursor::value(int index) const {
    sqlite3_stmt* s = stmt.get();
    switch (sqlite3_column_type(s, index)) {
        case SQLITE_INTEGER:
            return Value(Value::Storage(static_cast<std::int64_t>(sqlite3_column_int64(s, index))));
        case SQLITE_FLOAT:
            return Value(Value::Storage(sqlite3_column_double(s, index)));
        case SQLITE_NULL:
            return Value();
        default: {
            const auto* p = static_cast<const char*>(sqlite3_column_blob(s, index));
            const int len = sqlite3_column_bytes(s, index);
            return Value(Value::Storage(std::string(p ? p : "", static_cast<size_t>(len))));
        }
    }
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::Recordset(std::unique_ptr<Cursor> cursor) : m_cursor(std::move(cursor)) {}

bool Recordset::eof() const {
    return !m_cursor || m_cursor->eof;
}

void Recordset::moveNext() {
    if (eof()) {
        throw Error("no current row: the record set is at its end", ErrorCode::kNoCurrentRow);
    }
    m_cursor->next();
}

void Recordset::close() {
    m_cursor.reset();
}

int Recordset::fieldCount() const {
    return m_cursor ? m_cursor->columnCount() : 0;
}

std::string Recordset::fieldName(int index) const {
    if (index < 0 || index >= fieldCount()) {
        throw Error("no field number " + std::to_string(index), ErrorCode::kNoSuchField);
    }
    return m_cursor->columnName(index);
}

int Recordset::fieldIndex(std::string_view name) const {
    const int n = fieldCount();
    for (int i = 0; i < n; ++i) {
        if (detail::iequals(m_cursor->columnName(i), name)) {
            return i;
        }
    }
    throw Error("no field named " + std::string(name), ErrorCode::kNoSuchField);
}

Value Recordset::field(int index) const {
    if (eof()) {
        throw Error("no current row: the record set is at its end", ErrorCode::kNoCurrentRow);
    }
    if (index < 0 || index >= fieldCount()) {
        throw Error("no field number " + std::to_string(index), ErrorCode::kNoSuchField);
    }
    return m_cursor->value(index);
}

Value Recordset::field(std::string_view name) const {
    return field(fieldIndex(name));
}

}  // namespace jet
