// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "value.h"

namespace jet {

class Connection;
struct Cursor;

// A forward-only record set, positioned on its first row when a query returns.
// It stays valid after its connection object is gone; reading goes on from the
// database handle it shares.
class Recordset {
  public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    bool eof() const;
    void moveNext();
    void close();

    int fieldCount() const;
    std::string fieldName(int index) const;
    // Case-insensitive; throws ErrorCode::kNoSuchField.
    int fieldIndex(std::string_view name) const;
    // The current row's value; throws ErrorCode::kNoCurrentRow at eof.
    Value field(int index) const;
    Value field(std::string_view name) const;

  private:
    friend class Connection;
    explicit Recordset(std::unique_ptr<Cursor> cursor);
    std::unique_ptr<Cursor> m_cursor;
};

}  // namespace jet
