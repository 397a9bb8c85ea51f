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

// Every rule reads "<column> IS NULL OR <test>" with a test that is true or false for
// every value that is not null: a null CHECK would let the value pass. Tests that call
// functions which may give null (date(), comparisons with their results) are wrapped in
// coalesce(…,0).
std::string nullOr(const std::string& q, const std::string& test) {
    return q + " IS NULL OR " + test;
}
std::string nullOrNever(const std::string& q, const std::string& test) {
    return nullOr(q, "coalesce(" + test + ",0)");
}
// A text SQLite measures and compares only up to its first NUL character.
std::string noNul(const std::string& q) {
    return "instr(" + q + ",char(0))=0";
}

constexpr std::string_view kZeroLength = "zero-length string not allowed";

std::string zeroLengthRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(table, column, kZeroLength, nullOr(q, "length(" + q + ")>0"));
}
// The same rule as files made before the rules were null-proof hold it.
std::string earlierZeroLengthRule(std::string_view table, std::string_view column) {
    return check(table, column, kZeroLength, quoteIdent(column) + "<>''");
}

// Text and memo hold text (numbers are turned into text by the column's affinity), not
// blobs, and no NUL character, which would hide the rest of the text from every rule.
std::string textRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(table, column, "not a text",
                 nullOr(q, "typeof(" + q + ")<>'blob' AND " + noNul(q)));
}

std::string widthRule(std::string_view table, std::string_view column, int width) {
    const std::string w = std::to_string(width);
    const std::string q = quoteIdent(column);
    return check(table, column, width == 1 ? "at most 1 character" : "at most " + w + " characters",
                 nullOr(q, "length(" + q + ")<=" + w));
}

// The check sees a quoted number before the column's affinity turns it into an integer,
// so digits in quotes are accepted here explicitly.
std::string wholeNumberRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(
        table, column, "not a whole number from -2147483648 to 2147483647",
        nullOrNever(q, "(typeof(" + q + ") IN ('integer','real') AND " + q + "=CAST(" + q +
                           " AS INTEGER) OR typeof(" + q + ")='text' AND " + noNul(q) + " AND (" +
                           q + " GLOB '[0-9]*' OR " + q + " GLOB '[-+][0-9]*') AND NOT substr(" +
                           q + ",2) GLOB '*[^0-9]*') AND CAST(" + q +
                           " AS INTEGER) BETWEEN -2147483648 AND 2147483647"));
}

std::string numberRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(
        table, column, "not a number",
        nullOrNever(q, "typeof(" + q + ") IN ('integer','real') OR typeof(" + q + ")='text' AND " +
                           noNul(q) + " AND (" + q + " GLOB '[0-9.]*' OR " + q +
                           " GLOB '[-+][0-9.]*') AND NOT substr(" + q +
                           ",2) GLOB '*[^0-9.]*' AND NOT " + q + " GLOB '*.*.*' AND " + q +
                           " GLOB '*[0-9]*'"));
}

// A modifier makes SQLite normalise the day, so 2026-02-30 no longer reads back as itself;
// what is no date at all gives null there, which coalesce() turns into a refusal.
std::string dateRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(table, column, "not a date (YYYY-MM-DD)",
                 nullOrNever(q, "typeof(" + q + ")='text' AND (" + q + "=date(" + q +
                                    ",'+0 days') OR " + q + "=datetime(" + q + ",'+0 days'))"));
}

// Jet's two values, -1 (Yes) and 0 (No), also quoted; anything else is refused, so that
// "=True" finds every Yes.
std::string yesNoRule(std::string_view table, std::string_view column) {
    const std::string q = quoteIdent(column);
    return check(table, column, "not a Yes/No value",
                 nullOr(q, "typeof(" + q + ")<>'blob' AND CAST(" + q + " AS TEXT) IN ('0','-1')"));
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
            s += textRule(table, c.name);
            s += widthRule(table, c.name, c.width);
            s += zeroLengthRule(table, c.name);
            break;
        case JetType::kMemo:
            s += textRule(table, c.name);
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

TableDefinition::TableDefinition(std::string sql) : m_sql(std::move(sql)), m_lowered(lower(m_sql)) {
    read();
}

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Reads SQL text as SQLite's tokenizer does, as far as finding the columns needs.
class Scanner {
  public:
    explicit Scanner(std::string_view s) : m_s(s) {}

    size_t pos() const { return m_pos; }
    bool atEnd() const { return m_pos >= m_s.size(); }
    char peek() const { return atEnd() ? '\0' : m_s[m_pos]; }
    void advance() { ++m_pos; }

    // Blanks and comments; false for a comment left open.
    bool skipBlanks() {
        while (!atEnd()) {
            if (isBlank(m_s[m_pos])) {
                ++m_pos;
            } else if (m_s.compare(m_pos, 2, "--") == 0) {
                const size_t eol = m_s.find('\n', m_pos);
                m_pos = eol == std::string_view::npos ? m_s.size() : eol + 1;
            } else if (m_s.compare(m_pos, 2, "/*") == 0) {
                const size_t close = m_s.find("*/", m_pos + 2);
                if (close == std::string_view::npos) {
                    return false;
                }
                m_pos = close + 2;
            } else {
                break;
            }
        }
        return true;
    }

    // One token that is not a blank: a quoted string or name, a word, or one character.
    // Its text unquoted goes to `name`; false for a quote left open.
    bool token(std::string* name = nullptr) {
        const char c = peek();
        const char close = c == '[' ? ']' : c;
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            std::string body;
            size_t i = m_pos + 1;
            while (true) {
                if (i >= m_s.size()) {
                    return false;
                }
                if (m_s[i] == close) {
                    if (close != ']' && i + 1 < m_s.size() && m_s[i + 1] == close) {
                        body += close;
                        i += 2;
                        continue;
                    }
                    break;
                }
                body += m_s[i++];
            }
            m_pos = i + 1;
            if (name) {
                *name = std::move(body);
            }
            return true;
        }
        const size_t start = m_pos;
        while (!atEnd() && isWordPart(peek())) {
            ++m_pos;
        }
        if (m_pos == start) {
            ++m_pos;  // one character: punctuation
        }
        if (name) {
            *name = std::string(m_s.substr(start, m_pos - start));
        }
        return true;
    }

  private:
    static bool isWordPart(char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
               u == '_' || u == '$' || u >= 0x80;
    }

    std::string_view m_s;
    size_t m_pos = 0;
};

// Words that begin a table constraint rather than a column.
bool beginsTableConstraint(std::string_view word) {
    const std::string u = upper(word);
    return u == "CONSTRAINT" || u == "PRIMARY" || u == "UNIQUE" || u == "CHECK" || u == "FOREIGN";
}

}  // namespace

void TableDefinition::read() {
    constexpr std::string_view kCreate = "create table ";
    if (!m_lowered.starts_with(kCreate)) {
        return;
    }
    Scanner sc(m_sql);
    for (size_t i = 0; i < kCreate.size(); ++i) {
        sc.advance();
    }
    if (!sc.skipBlanks() || !sc.token() || !sc.skipBlanks() || sc.peek() != '(') {
        return;
    }
    sc.advance();
    bool columns = true;  // until the table's constraints begin
    while (true) {
        if (!sc.skipBlanks() || sc.atEnd()) {
            return;
        }
        const size_t begin = sc.pos();
        std::string name;
        const bool quoted =
            sc.peek() == '"' || sc.peek() == '[' || sc.peek() == '`' || sc.peek() == '\'';
        if (!sc.token(&name)) {
            return;
        }
        if (!quoted && beginsTableConstraint(name)) {
            columns = false;
        }
        // To the comma or parenthesis that ends this entry.
        int depth = 0;
        size_t end = sc.pos();
        while (true) {
            if (!sc.skipBlanks() || sc.atEnd()) {
                return;
            }
            const char c = sc.peek();
            if (depth == 0 && (c == ',' || c == ')')) {
                break;
            }
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (!sc.token()) {
                return;
            }
            end = sc.pos();
        }
        if (columns) {
            m_columns.emplace(lower(name), Column{begin, end});
        }
        if (sc.peek() == ')') {
            break;
        }
        sc.advance();  // the comma
    }
    m_understood = true;
}

const TableDefinition::Column* TableDefinition::find(std::string_view column) const {
    const auto it = m_columns.find(lower(column));
    return it == m_columns.end() ? nullptr : &it->second;
}

std::pair<size_t, size_t> TableDefinition::findZeroLengthRule(std::string_view table,
                                                              const Column& c,
                                                              std::string_view column) const {
    const std::string_view text = std::string_view(m_lowered).substr(c.begin, c.end - c.begin);
    for (const std::string& rule :
         {lower(zeroLengthRule(table, column)), lower(earlierZeroLengthRule(table, column))}) {
        const size_t at = text.find(rule);
        if (at != std::string_view::npos) {
            return {c.begin + at, rule.size()};
        }
    }
    return {std::string::npos, 0};
}

bool TableDefinition::hasZeroLengthRule(std::string_view table, std::string_view column) const {
    const Column* c = find(column);
    return c && findZeroLengthRule(table, *c, column).first != std::string::npos;
}

bool TableDefinition::apply(std::string_view table, const ZeroLengthChanges& zeroLength) {
    // Edits by position: the text to take out there, and the text to put in.
    std::map<size_t, std::pair<size_t, std::string>> edits;
    for (const auto& [column, allow] : zeroLength) {
        const Column* c = find(column);
        if (!c) {
            continue;
        }
        const auto [at, size] = findZeroLengthRule(table, *c, column);
        if (allow && at != std::string::npos) {
            edits[at] = {size, {}};
        } else if (!allow && at == std::string::npos) {
            edits[c->end] = {0, zeroLengthRule(table, column)};
        }
    }
    if (edits.empty()) {
        return false;
    }
    std::string out;
    out.reserve(m_sql.size() + 128 * edits.size());
    size_t from = 0;
    for (const auto& [at, edit] : edits) {
        out.append(m_sql, from, at - from);
        out += edit.second;
        from = at + edit.first;
    }
    out.append(m_sql, from, std::string::npos);
    *this = TableDefinition(std::move(out));
    return true;
}

}  // namespace jet::detail
