// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jet::detail {

// The Jet rules of a column live in its table's stored definition, as constraints named
// "TABLE.COLUMN: rule", so that every client opening the file is held to them and a
// refusal names its table, column and rule. Each rule is true or false for every value,
// never null (a CHECK that comes out null would pass), and false for every value that is
// not of the column's type. Their texts are written, read and edited here and nowhere
// else.

enum class JetType { kLong, kText, kMemo, kDate, kDouble, kYesNo, kCounter };

// One column as CREATE TABLE or ADD COLUMN declares it.
struct ColumnDef {
    std::string name;
    JetType type = JetType::kText;
    int width = 0;
    bool notNull = false;
    bool primaryKey = false;  // column-level PRIMARY KEY
    bool unique = false;      // column-level UNIQUE
};

// The column's type as declared to SQLite (and as SQLite reports it): the Jet word, or
// LONGTEXT for a memo, INTEGER for a counter.
std::string declaredType(const ColumnDef& column);

// " NOT NULL" for a NOT NULL column or a member of the primary key, " UNIQUE" for a column
// UNIQUE of its own: the same words for every engine.
std::string nullAndUnique(const ColumnDef& column, bool keyMember);

// The names of the rules, as a refusal shows them after "TABLE.COLUMN: ".
inline constexpr std::string_view kZeroLengthRuleName = "zero-length string not allowed";
inline constexpr std::string_view kYesNoRuleName = "not a Yes/No value";
std::string widthRuleName(int width);

// The column as SQLite stores it: the declared type in Jet words, text compared without
// regard to case, NOT NULL (also for a member of the primary key), UNIQUE, and the rules
// of its type.
std::string columnSql(std::string_view table, const ColumnDef& column, bool keyMember);

// What a stored column's declared type says, in Jet words.
struct StoredType {
    std::string jetType;    // LONG, TEXT(32), MEMO, DATE, DOUBLE, YESNO, COUNTER
    int width = 0;          // of a TEXT column, else 0
    bool variable = false;  // text or memo
    bool counter = false;
};
StoredType storedType(std::string_view declared, bool primaryKey);

// A table's stored definition (its CREATE TABLE text), read for its columns and edited
// for its zero-length rules and for columns added to it. A text or memo column's rule is
// its "Allow Zero Length" property: present means False. Files written before the rules
// were made null-proof carry the earlier text of that rule; it is recognised as well.
// The text is read as SQLite reads it (quotes, brackets, parentheses, comments), so a
// definition made by another client is read correctly or not at all (understood()).
class TableDefinition {
  public:
    explicit TableDefinition(std::string sql) : m_sql(std::move(sql)) {}

    const std::string& sql() const { return m_sql; }
    // True when the text is a CREATE TABLE whose column list was read.
    bool understood() const { return index().understood; }
    // True when apply() can add columns here exactly where SQLite's ADD COLUMN would.
    bool columnsCanBeAdded() const { return index().columnsCanBeAdded; }
    // The columns' names, unquoted and in lower case (as SQLite compares them).
    std::vector<std::string> columnKeys() const;
    // The table's name as it stands in the text, quotes included ("" if not understood).
    std::string_view nameToken() const;
    // The text as SQLite's RENAME TO `name` leaves it: the name in double quotes (the text
    // unchanged if not understood).
    std::string renamed(std::string_view name) const;
    bool hasZeroLengthRule(std::string_view table, std::string_view column) const;

    // Zero-length settings by column name, each column once (true: allowed, no rule).
    using ZeroLengthChanges = std::map<std::string, bool>;
    // Adds `columns` (as columnSql() writes them), in order, each where SQLite's ADD
    // COLUMN puts it (", " and the column, before the table's key and UNIQUE clauses),
    // then sets the zero-length rules as `zeroLength` says (a rule put back goes at the end
    // of its column, where columnSql() writes it); in one pass over the text. Returns
    // false, and leaves the text, when nothing changes (unknown columns are passed over)
    // or when columns cannot be added here.
    bool apply(std::string_view table, const std::vector<std::string>& columns,
               const ZeroLengthChanges& zeroLength);

  private:
    struct Column {
        size_t begin = 0;  // the column's text: name, type, options, rules
        size_t end = 0;    // trailing blanks excluded
    };
    // What reading the text found; read when first asked for. (No member initializers:
    // value-initialized, it starts all false and zero.)
    struct Index {
        bool understood;
        bool columnsCanBeAdded;
        size_t nameBegin;  // the table's name token
        size_t nameEnd;
        size_t newColumnsAt;                    // where ADD COLUMN puts ", <column>"
        std::map<std::string, Column> columns;  // by lower-case name
    };
    const Index& index() const;
    const Column* find(std::string_view column) const;
    // The zero-length rule of `column` in either of its texts: where it is, and its size.
    std::pair<size_t, size_t> findZeroLengthRule(std::string_view table, const Column& c,
                                                 std::string_view column) const;

    std::string m_sql;
    mutable std::optional<Index> m_index;
};

}  // namespace jet::detail
