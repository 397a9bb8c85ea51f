#pragma once

#include <map>
#include <string>
#include <string_view>

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
    explicit TableDefinition(std::string sql);

    const std::string& sql() const { return m_sql; }
    // True when the text is a CREATE TABLE whose column list was read.
    bool understood() const { return m_understood; }
    bool hasZeroLengthRule(std::string_view table, std::string_view column) const;

    // Zero-length settings by column name, each column once (true: allowed, no rule).
    using ZeroLengthChanges = std::map<std::string, bool>;
    // Sets the zero-length rules as `zeroLength` says, in one pass over the text. A rule
    // put back goes at the end of its column, where columnSql() writes it. Returns false,
    // and leaves the text, when nothing changes (unknown columns are passed over).
    bool apply(std::string_view table, const ZeroLengthChanges& zeroLength);

  private:
    struct Column {
        size_t begin = 0;  // the column's text: name, type, options, rules
        size_t end = 0;    // trailing blanks excluded
    };
    void read();
    const Column* find(std::string_view column) const;
    // The zero-length rule of `column` in either of its texts: where it is, and its size.
    std::pair<size_t, size_t> findZeroLengthRule(std::string_view table, const Column& c,
                                                 std::string_view column) const;

    std::string m_sql;
    std::string m_lowered;  // m_sql in lower case, for finding names in any case
    bool m_understood = false;
    std::map<std::string, Column> m_columns;  // by lower-case name
};

}  // namespace jet::detail
