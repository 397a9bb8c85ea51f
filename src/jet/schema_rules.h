#pragma once

#include <string>
#include <string_view>

namespace jet::detail {

// The Jet rules of a column live in its table's stored definition, as constraints named
// "TABLE.COLUMN: rule", so that every client opening the file is held to them and a
// refusal names its table, column and rule. Their texts are written, read and edited
// here and nowhere else.

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

// A table's stored definition (its CREATE TABLE text), read and edited for its
// zero-length rules. A text or memo column's rule is its "Allow Zero Length" property:
// present means False.
class TableDefinition {
  public:
    explicit TableDefinition(std::string sql);

    const std::string& sql() const { return m_sql; }
    bool hasZeroLengthRule(std::string_view table, std::string_view column) const;
    // Removes the rule (allow) or puts it back (!allow); true when the text changed.
    bool setZeroLengthRule(std::string_view table, std::string_view column, bool allow);

  private:
    std::string m_sql;
    std::string m_lowered;  // m_sql in lower case, for finding names in any case
};

}  // namespace jet::detail
