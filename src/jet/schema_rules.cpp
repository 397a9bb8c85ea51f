#include "schema_rules.h"

#include <cstdlib>

#include "text_util.h"

namespace jet::detail {

namespace {

// Declared types that differ from the Jet word: MEMO is declared LONGTEXT (its Jet
// synonym) so that SQLite keeps it as text; a COUNTER is SQLite's INTEGER PRIMARY KEY
// AUTOINCREMENT, the one column it numbers without reusing a number.
constexpr std::string_view kTextType = "TEXT(";
constexpr std::string_view kMemoType = "LONGTEXT";
constexpr std::string_view kCounterType = "INTEGER";
constexpr std::string_view kCounterKey = " PRIMARY KEY AUTOINCREMENT";
// Text and memo columns compare without regard to case.
constexpr std::string_view kCollation = " COLLATE NOCASE";

std::string check(std::string_view table, std::string_view column, std::string_view rule,
                  const std::string& expr) {
    std::string name(table);
    name += '.';
    name += column;
    name += ": ";
    name += rule;
    return " CONSTRAINT " + quoteIdent(name) + " CHECK(" + expr + ")";
}

std::string zeroLengthRule(std::string_view table, std::string_view column) {
    return check(table, column, "zero-length string not allowed", quoteIdent(column) + "<>''");
}

std::string widthRule(std::string_view table, std::string_view column, int width) {
    const std::string w = std::to_string(width);
    return check(table, column, width == 1 ? "at most 1 character" : "at most " + w + " characters",
                 "length(" + quoteIdent(column) + ")<=" + w);
}

// The check sees a quoted number before the column's affinity turns it into an integer,
// so digits in quotes are accepted here explicitly.
std::string wholeNumberRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(table, column, "not a whole number from -2147483648 to 2147483647",
                 q + " IS NULL OR ((typeof(" + q + ") IN ('integer','real') AND " + q + "=CAST(" +
                     q + " AS INTEGER) OR typeof(" + q + ")='text' AND (" + q +
                     " GLOB '[0-9]*' OR " + q + " GLOB '[-+][0-9]*') AND NOT substr(" + q +
                     ",2) GLOB '*[^0-9]*') AND CAST(" + q +
                     " AS INTEGER) BETWEEN -2147483648 AND 2147483647)");
}

std::string numberRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(table, column, "not a number",
                 q + " IS NULL OR typeof(" + q + ") IN ('integer','real') OR typeof(" + q +
                     ")='text' AND (" + q + " GLOB '[0-9.]*' OR " + q +
                     " GLOB '[-+][0-9.]*') AND NOT substr(" + q + ",2) GLOB '*[^0-9.]*' AND NOT " +
                     q + " GLOB '*.*.*' AND " + q + " GLOB '*[0-9]*'");
}

// A modifier makes SQLite normalise the day, so 2026-02-30 no longer reads back as itself.
std::string dateRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(table, column, "not a date (YYYY-MM-DD)",
                 q + " IS NULL OR typeof(" + q + ")='text' AND (" + q + "=date(" + q +
                     ",'+0 days') OR " + q + "=datetime(" + q + ",'+0 days'))");
}

std::string yesNoRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(table, column, "not a Yes/No value",
                 q + " IS NULL OR CAST(" + q + " AS TEXT) IN ('0','-1','1')");
}

}  // namespace

std::string columnSql(std::string_view table, const ColumnDef& c, bool keyMember) {
    std::string s = quoteIdent(c.name);
    switch (c.type) {
        case JetType::kCounter:
            s += ' ';
            s += kCounterType;
            s += kCounterKey;
            return s;
        case JetType::kText:
            s += ' ';
            s += kTextType;
            s += std::to_string(c.width) + ")";
            s += kCollation;
            break;
        case JetType::kMemo:
            s += ' ';
            s += kMemoType;
            s += kCollation;
            break;
        case JetType::kLong:
            s += " LONG";
            break;
        case JetType::kDouble:
            s += " DOUBLE";
            break;
        case JetType::kDate:
            s += " DATE";
            break;
        case JetType::kYesNo:
            s += " YESNO";
            break;
    }
    if (c.notNull || keyMember) {
        s += " NOT NULL";
    }
    if (c.unique && !keyMember) {
        s += " UNIQUE";
    }
    switch (c.type) {
        case JetType::kText:
            s += widthRule(table, c.name, c.width);
            s += zeroLengthRule(table, c.name);
            break;
        case JetType::kMemo:
            s += zeroLengthRule(table, c.name);
            break;
        case JetType::kLong:
            s += wholeNumberRule(table, c.name);
            break;
        case JetType::kDouble:
            s += numberRule(table, c.name);
            break;
        case JetType::kDate:
            s += dateRule(table, c.name);
            break;
        case JetType::kYesNo:
            s += yesNoRule(table, c.name);
            break;
        case JetType::kCounter:
            break;
    }
    return s;
}

StoredType storedType(std::string_view declaredType, bool primaryKey) {
    const std::string declared = upper(declaredType);
    StoredType t;
    if (declared.starts_with(kTextType)) {
        t.width = std::atoi(declared.c_str() + kTextType.size());
        t.jetType = "TEXT(" + std::to_string(t.width) + ")";
        t.variable = true;
    } else if (declared == kMemoType) {
        t.jetType = "MEMO";
        t.variable = true;
    } else if (declared == kCounterType && primaryKey) {
        t.jetType = "COUNTER";
        t.counter = true;
    } else if (declared.empty()) {
        t.jetType = "TEXT";
        t.variable = true;
    } else {
        t.jetType = declared;
    }
    return t;
}

TableDefinition::TableDefinition(std::string sql)
    : m_sql(std::move(sql)), m_lowered(lower(m_sql)) {}

bool TableDefinition::hasZeroLengthRule(std::string_view table, std::string_view column) const {
    return m_lowered.find(lower(zeroLengthRule(table, column))) != std::string::npos;
}

bool TableDefinition::setZeroLengthRule(std::string_view table, std::string_view column,
                                        bool allow) {
    const std::string rule = zeroLengthRule(table, column);
    const std::string needle = lower(rule);
    const size_t found = m_lowered.find(needle);
    if (allow) {
        if (found == std::string::npos) {
            return false;
        }
        m_sql.erase(found, rule.size());
        m_lowered.erase(found, rule.size());
        return true;
    }
    if (found != std::string::npos) {
        return false;
    }
    // Put the rule back right after the column's collation.
    const std::string start = lower(quoteIdent(column)) + " ";
    size_t col = m_lowered.find("(" + start);
    if (col == std::string::npos) {
        col = m_lowered.find(", " + start);
    }
    const std::string collation = lower(kCollation);
    const size_t at = col == std::string::npos ? col : m_lowered.find(collation, col);
    if (at == std::string::npos) {
        return false;
    }
    const size_t pos = at + collation.size();
    m_sql.insert(pos, rule);
    m_lowered.insert(pos, needle);
    return true;
}

}  // namespace jet::detail
