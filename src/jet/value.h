// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace jet {

// One cell of a record set. A null is distinct from an empty text.
class Value {
  public:
    using Storage = std::variant<std::monostate, std::int64_t, double, std::string>;

    Value() = default;
    explicit Value(Storage v) : m_v(std::move(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(m_v); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(m_v); }
    bool isDouble() const { return std::holds_alternative<double>(m_v); }
    bool isText() const { return std::holds_alternative<std::string>(m_v); }

    // The value as text the way Jet shows it: integers in decimal, doubles without
    // a trailing ".0", texts as stored; a null gives the empty string.
    std::string toString() const;
    // Integer value (texts and doubles converted); nullopt for a null or non-number.
    std::optional<std::int64_t> toInt() const;

    const Storage& storage() const { return m_v; }

  private:
    Storage m_v;
};

}  // namespace jet
