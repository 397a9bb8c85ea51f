// SPDX-License-Identifier: MIT
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

// The rules' tests, '@' standing for the column's quoted name. Every rule reads
// "<column> IS NULL OR <test>" with a test that is true or false for every value that is
// not null: a null CHECK would let the value pass. Tests that call functions which may
// give null (date(), comparisons with their results) are wrapped in coalesce(…,0). A text
// SQLite measures and compares only up to its first NUL character, hence instr(…,char(0)).

// Text and memo hold text (numbers are turned into text by the column's affinity), not
// blobs, and no NUL character, which would hide the rest of the text from every rule.
constexpr std::string_view kTextTest = "@ IS NULL OR typeof(@)<>'blob' AND instr(@,char(0))=0";
constexpr std::string_view kWidthTest = "@ IS NULL OR length(@)<=";  // and the width
constexpr std::string_view kZeroLengthTest = "@ IS NULL OR length(@)>0";
// The zero-length rule as files made before the rules were null-proof hold it.
constexpr std::string_view kEarlierZeroLengthTest = "@<>''";
// The check sees a quoted number before the column's affinity turns it into an integer,
// so digits in quotes are accepted here explicitly.
constexpr std::string_view kWholeNumberTest =
    "@ IS NULL OR coalesce((typeof(@) IN ('integer','real') AND @=CAST(@ AS INTEGER) OR "
    "typeof(@)='text' AND instr(@,char(0))=0 AND (@ GLOB '[0-9]*' OR @ GLOB '[-+][0-9]*') AND "
    "NOT substr(@,2) GLOB '*[^0-9]*') AND CAST(@ AS INTEGER) BETWEEN -2147483648 AND "
    "2147483647,0)";
constexpr std::string_view kNumberTest =
    "@ IS NULL OR coalesce(typeof(@) IN ('integer','real') OR typeof(@)='text' AND "
    "instr(@,char(0))=0 AND (@ GLOB '[0-9.]*' OR @ GLOB '[-+][0-9.]*') AND NOT substr(@,2) "
    "GLOB '*[^0-9.]*' AND NOT @ GLOB '*.*.*' AND @ GLOB '*[0-9]*',0)";
// A modifier makes SQLite normalise the day, so 2026-02-30 no longer reads back as itself;
// what is no date at all gives null there, which coalesce() turns into a refusal.
constexpr std::string_view kDateTest =
    "@ IS NULL OR coalesce(typeof(@)='text' AND (@=date(@,'+0 days') OR "
    "@=datetime(@,'+0 days')),0)";
// Jet's two values, -1 (Yes) and 0 (No), also quoted; anything else is refused, so that
// "=True" finds every Yes.
constexpr std::string_view kYesNoTest =
    "@ IS NULL OR typeof(@)<>'blob' AND CAST(@ AS TEXT) IN ('0','-1')";

// The rules' names, which refusals show after "TABLE.COLUMN: ".
constexpr std::string_view kZeroLength = kZeroLengthRuleName;
constexpr std::string_view kNotAText = "not a text";
constexpr std::string_view kNotAWholeNumber = "not a whole number from -2147483648 to 2147483647";
constexpr std::string_view kNotANumber = "not a number";
constexpr std::string_view kNotADate = "not a date (YYYY-MM-DD)";
constexpr std::string_view kNotYesNo = kYesNoRuleName;

// " CONSTRAINT "TABLE.COLUMN: rule" CHECK(test)", the test's '@' made the column.
std::string check(std::string_view table, std::string_view column, std::string_view rule,
                  std::string_view test, std::string_view testEnd = {}) {
    const std::string q = quoteIdent(column);
    std::string name;
    name.reserve(table.size() + column.size() + rule.size() + 3);
    name.append(table).append(".").append(column).append(": ").append(rule);
    std::string out;
    out.reserve(32 + 2 * name.size() + test.size() + 8 * q.size() + testEnd.size());
    out.append(" CONSTRAINT ").append(quoteIdent(name)).append(" CHECK(");
    for (char c : test) {
        if (c == '@') {
            out += q;
        } else {
            out += c;
        }
    }
    out.append(testEnd).append(")");
    return out;
}

std::string zeroLengthRule(std::string_view table, std::string_view column) {
    return check(table, column, kZeroLength, kZeroLengthTest);
}
std::string earlierZeroLengthRule(std::string_view table, std::string_view column) {
    return check(table, column, kZeroLength, kEarlierZeroLengthTest);
}

std::string widthRule(std::string_view table, std::string_view column, int width) {
    return check(table, column, widthRuleName(width), kWidthTest, std::to_string(width));
}

}  // namespace

std::string widthRuleName(int width) {
    return width == 1 ? "at most 1 character" : "at most " + std::to_string(width) + " characters";
}

std::string nullAndUnique(const ColumnDef& c, bool keyMember) {
    std::string s;
    if (c.notNull || keyMember) {
        s += " NOT NULL";
    }
    if (c.unique && !keyMember) {
        s += " UNIQUE";
    }
    return s;
}

std::string declaredType(const ColumnDef& c) {
    switch (c.type) {
        case JetType::kCounter:
            return std::string(kCounterType);
        case JetType::kText:
            return std::string(kTextType) + std::to_string(c.width) + ")";
        case JetType::kMemo:
            return std::string(kMemoType);
        case JetType::kLong:
            return "LONG";
        case JetType::kDouble:
            return "DOUBLE";
        case JetType::kDate:
            return "DATE";
        case JetType::kYesNo:
            return "YESNO";
    }
    return {};
}

std::string columnSql(std::string_view table, const ColumnDef& c, bool keyMember) {
    std::string s = quoteIdent(c.name) + " " + declaredType(c);
    if (c.type == JetType::kCounter) {
        s += kCounterKey;
        return s;
    }
    if (c.type == JetType::kText || c.type == JetType::kMemo) {
        s += kCollation;
    }
    s += nullAndUnique(c, keyMember);
    switch (c.type) {
        case JetType::kText:
            s += check(table, c.name, kNotAText, kTextTest);
            s += widthRule(table, c.name, c.width);
            s += zeroLengthRule(table, c.name);
            break;
        case JetType::kMemo:
            s += check(table, c.name, kNotAText, kTextTest);
            s += zeroLengthRule(table, c.name);
            break;
        case JetType::kLong:
            s += check(table, c.name, kNotAWholeNumber, kWholeNumberTest);
            break;
        case JetType::kDouble:
            s += check(table, c.name, kNotANumber, kNumberTest);
            break;
        case JetType::kDate:
            s += check(table, c.name, kNotADate, kDateTest);
            break;
        case JetType::kYesNo:
            s += check(table, c.name, kNotYesNo, kYesNoTest);
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
        if (atEnd()) {
            return false;
        }
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
                        if (name) {
                            body += close;
                        }
                        i += 2;
                        continue;
                    }
                    break;
                }
                if (name) {
                    body += m_s[i];
                }
                ++i;
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

    // On to the ',' or ')' that ends a column or constraint (outside parentheses, quotes
    // and comments); `end` becomes the end of its last token. False at the end of text.
    bool toEntryEnd(size_t& end) {
        int depth = 0;
        const size_t n = m_s.size();
        while (m_pos < n) {
            const char c = m_s[m_pos];
            const char next = m_pos + 1 < n ? m_s[m_pos + 1] : '\0';
            switch (c) {
                case '-':
                case '/':
                    if (next == (c == '-' ? '-' : '*')) {
                        if (!skipBlanks()) {
                            return false;
                        }
                        continue;
                    }
                    break;
                case '\'':
                case '"':
                case '`':
                case '[':
                    if (!token()) {
                        return false;
                    }
                    end = m_pos;
                    continue;
                case '(':
                    ++depth;
                    break;
                case ')':
                case ',':
                    if (depth == 0) {
                        return true;
                    }
                    depth -= c == ')' ? 1 : 0;
                    break;
                default:
                    if (isBlank(c)) {
                        ++m_pos;
                        continue;
                    }
                    break;
            }
            ++m_pos;
            end = m_pos;
        }
        return false;
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

const TableDefinition::Index& TableDefinition::index() const {
    if (m_index) {
        return *m_index;
    }
    m_index.emplace();
    Index& x = *m_index;
    // SQLite writes the definition as "CREATE TABLE " and the rest from the name on, and
    // places an added column by counting on that.
    constexpr std::string_view kCreate = "CREATE TABLE ";
    if (!lower(std::string_view(m_sql).substr(0, kCreate.size())).starts_with(lower(kCreate))) {
        return x;
    }
    Scanner sc(m_sql);
    for (size_t i = 0; i < kCreate.size(); ++i) {
        sc.advance();
    }
    if (!sc.skipBlanks()) {
        return x;
    }
    x.nameBegin = sc.pos();
    const bool nameInPlace = m_sql.starts_with(kCreate) && x.nameBegin == kCreate.size();
    if (!sc.token()) {
        return x;
    }
    x.nameEnd = sc.pos();
    if (!sc.skipBlanks() || sc.peek() != '(') {
        return x;
    }
    sc.advance();
    bool columns = true;  // until the table's constraints begin
    size_t comma = std::string::npos;
    std::map<std::string, Column> found;
    while (true) {
        if (!sc.skipBlanks() || sc.atEnd()) {
            return x;
        }
        const size_t begin = sc.pos();
        std::string name;
        const bool quoted =
            sc.peek() == '"' || sc.peek() == '[' || sc.peek() == '`' || sc.peek() == '\'';
        if (!sc.token(&name)) {
            return x;
        }
        if (columns && !quoted && beginsTableConstraint(name)) {
            if (found.empty()) {
                return x;  // a table has a column before its constraints
            }
            columns = false;
            x.newColumnsAt = comma;  // the comma that opens the table's constraints
        }
        // To the comma or parenthesis that ends this entry.
        size_t end = sc.pos();
        if (!sc.toEntryEnd(end)) {
            return x;
        }
        if (columns) {
            found.emplace(lower(name), Column{begin, end});
        }
        if (sc.peek() == ')') {
            break;
        }
        comma = sc.pos();
        sc.advance();
    }
    if (columns) {
        x.newColumnsAt = sc.pos();  // the closing parenthesis
    }
    x.columns = std::move(found);
    x.understood = true;
    x.columnsCanBeAdded = nameInPlace;
    return x;
}

std::string_view TableDefinition::nameToken() const {
    const Index& x = index();
    if (!x.understood) {
        return {};
    }
    return std::string_view(m_sql).substr(x.nameBegin, x.nameEnd - x.nameBegin);
}

std::string TableDefinition::renamed(std::string_view name) const {
    const Index& x = index();
    if (!x.understood) {
        return m_sql;
    }
    std::string out;
    out.reserve(m_sql.size() + name.size() + 2);
    out.append(m_sql, 0, x.nameBegin);
    out += quoteIdent(name);
    out.append(m_sql, x.nameEnd, std::string::npos);
    return out;
}

std::vector<std::string> TableDefinition::columnKeys() const {
    const Index& x = index();
    std::vector<std::string> keys;
    keys.reserve(x.columns.size());
    for (const auto& [key, column] : x.columns) {
        keys.push_back(key);
    }
    return keys;
}

const TableDefinition::Column* TableDefinition::find(std::string_view column) const {
    const Index& x = index();
    const auto it = x.columns.find(lower(column));
    return it == x.columns.end() ? nullptr : &it->second;
}

std::pair<size_t, size_t> TableDefinition::findZeroLengthRule(std::string_view table,
                                                              const Column& c,
                                                              std::string_view column) const {
    // Where the rule's name says what it is, then its whole text in either form, letter
    // case aside (the table and column may be named in any case).
    const std::string_view text = std::string_view(m_sql).substr(c.begin, c.end - c.begin);
    for (size_t at = text.find(kZeroLength); at != std::string_view::npos;
         at = text.find(kZeroLength, at + 1)) {
        for (const std::string& rule :
             {zeroLengthRule(table, column), earlierZeroLengthRule(table, column)}) {
            const size_t offset = rule.find(kZeroLength);
            if (at >= offset && iequals(text.substr(at - offset, rule.size()), rule)) {
                return {c.begin + at - offset, rule.size()};
            }
        }
    }
    return {std::string::npos, 0};
}

bool TableDefinition::hasZeroLengthRule(std::string_view table, std::string_view column) const {
    const Column* c = find(column);
    return c && findZeroLengthRule(table, *c, column).first != std::string::npos;
}

bool TableDefinition::apply(std::string_view table, const std::vector<std::string>& columns,
                            const ZeroLengthChanges& zeroLength) {
    if (!columns.empty() && !columnsCanBeAdded()) {
        return false;
    }
    // Edits by position in the text: how much to take out there, and what to put in.
    std::map<size_t, std::pair<size_t, std::string>> edits;
    std::vector<std::string> added = columns;
    std::map<std::string, size_t> addedByName;  // lower-case name → index in `added`
    for (size_t i = 0; i < added.size(); ++i) {
        std::string name;
        if (Scanner(added[i]).token(&name)) {
            addedByName.emplace(lower(name), i);
        }
    }
    for (const auto& [column, allow] : zeroLength) {
        if (const Column* c = find(column)) {
            const auto [at, size] = findZeroLengthRule(table, *c, column);
            if (allow && at != std::string::npos) {
                edits[at] = {size, {}};
            } else if (!allow && at == std::string::npos) {
                edits[c->end] = {0, zeroLengthRule(table, column)};
            }
            continue;
        }
        // A column being added: its own text is edited.
        const auto a = addedByName.find(lower(column));
        if (a == addedByName.end()) {
            continue;
        }
        std::string& text = added[a->second];
        constexpr std::string_view kWrap = "CREATE TABLE t(";
        const TableDefinition one(std::string(kWrap) + text + ")");
        const Column* c = one.find(column);
        const auto [at, size] = c ? one.findZeroLengthRule(table, *c, column)
                                  : std::pair<size_t, size_t>{std::string::npos, 0};
        if (allow && at != std::string::npos) {
            text.erase(at - kWrap.size(), size);
        } else if (!allow && at == std::string::npos) {
            text += zeroLengthRule(table, column);
        }
    }
    if (!added.empty()) {
        // As ADD COLUMN does it, one after the other: ", " and the column, each time
        // where the column list ends (after a rule put back on the last column there).
        std::string& text = edits[index().newColumnsAt].second;
        for (const std::string& c : added) {
            text += ", ";
            text += c;
        }
    }
    if (edits.empty()) {
        return false;
    }
    size_t grows = 0;
    for (const auto& [at, edit] : edits) {
        grows += edit.second.size();
    }
    std::string out;
    out.reserve(m_sql.size() + grows);
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
