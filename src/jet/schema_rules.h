#pragma once

#include <string>
#include <string_view>

namespace jet::detail {

// The constraint that keeps a zero-length string out of a text or memo column, exactly
// as it is written into the table definition (with its leading blank). Its presence is
// the column's "Allow Zero Length" property: absent means True.
std::string zeroLengthConstraint(std::string_view table, std::string_view column);

// Name of the system tables of SQLite that the catalog shows as the engine's own.
bool isSystemTable(std::string_view name);

}  // namespace jet::detail
