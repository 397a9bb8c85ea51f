// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>
#include <utility>

#include <sqlite3.h>

namespace jet {

// A text SQLite hands out, or "" where it hands out none (a null value, no message).
inline std::string_view sqliteText(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}
inline std::string_view sqliteText(const unsigned char* text) {
    return sqliteText(reinterpret_cast<const char*>(text));
}

// Owns one prepared statement and finalizes it when it goes.
class Statement {
  public:
    Statement() = default;
    explicit Statement(sqlite3_stmt* stmt) noexcept : m_stmt(stmt) {}
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(Statement&& other) noexcept : m_stmt(std::exchange(other.m_stmt, nullptr)) {}
    Statement& operator=(Statement&& other) noexcept {
        std::swap(m_stmt, other.m_stmt);
        return *this;
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const noexcept { return m_stmt; }
    // Column `i` of the current row as text, "" for a null; valid until the next step.
    std::string_view text(int i) const { return sqliteText(sqlite3_column_text(m_stmt, i)); }

  private:
    sqlite3_stmt* m_stmt = nullptr;
};

}  // namespace jet
