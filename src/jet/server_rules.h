// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "schema_rules.h"

namespace jet::detail {

// The Jet rules of a column on a PostgreSQL server, where they are the column's type and
// CHECK constraints, kept by the server for every client. Text and memo are `citext`
// (compared without regard to case, also by keys and UNIQUE); a text's width and the
// zero-length rule are CHECK constraints, as is YESNO's pair of values -1 and 0. The
// server names the constraints (its names are short and unique per table); a rule is told
// by its expression, which ruleOf() reads back. Written and read here and nowhere else.

// The column as the server stores it: name, type, NOT NULL, UNIQUE and rules.
std::string serverColumnSql(const ColumnDef& column, bool keyMember);

// The zero-length rule of `column`, as ALTER TABLE … ADD puts it back.
std::string serverZeroLengthRule(std::string_view column);

// What a CHECK constraint's expression (as pg_get_constraintdef() gives it) guards.
struct ServerRule {
    enum class Kind { kZeroLength, kWidth, kYesNo };
    Kind kind;
    int width = 0;  // kWidth
};
std::optional<ServerRule> ruleOf(std::string_view definition);

// The rule's name as a refusal shows it after "TABLE.COLUMN: ", as in a file.
std::string ruleText(const ServerRule& rule);

}  // namespace jet::detail
