// SPDX-License-Identifier: MIT
#include "translator.h"

#include <optional>
#include <unordered_set>

#include "error.h"
#include "lexer.h"
#include "schema_rules.h"
#include "server_rules.h"
#include "text_util.h"

namespace jet {

using detail::ColumnDef;
using detail::iequals;
using detail::isWordChar;
using detail::isWordStart;
using detail::JetType;
using detail::quoteIdent;
using detail::quoteString;
using detail::Tok;
using detail::Token;
using detail::upper;

namespace {

[[noreturn]] void syntax(const std::string& why) {
    throw Error(why, ErrorCode::kSyntax);
}
[[noreturn]] void unsupported(const std::string& why) {
    throw Error(why, ErrorCode::kUnsupported);
}

Translation made(Translation::Kind kind, std::string sql, std::string table = {}) {
    Translation t;
    t.kind = kind;
    t.sql = std::move(sql);
    t.table = std::move(table);
    return t;
}

// ---------------------------------------------------------------- names

const std::unordered_set<std::string>& reservedWords() {
    // Words of Jet SQL, and of the engine beneath it, that cannot stand as a plain
    // name without making some statement ambiguous. Common nouns that the product's
    // own tables use as names (NAME, LEVEL, VERSION, FIELD, REPLACE, ...) are not here.
    static const std::unordered_set<std::string> kWords = {
        "ADD",         "ALL",         "ALTER",    "AND",
        "ANY",         "AS",          "ASC",      "AUTOINCREMENT",
        "BETWEEN",     "BINARY",      "BIT",      "BY",
        "BYTE",        "CASE",        "CHAR",     "CHARACTER",
        "CHECK",       "COLLATE",     "COLUMN",   "CONSTRAINT",
        "COUNTER",     "CREATE",      "CROSS",    "CURRENCY",
        "DATABASE",    "DATE",        "DATETIME", "DEFAULT",
        "DEFERRABLE",  "DELETE",      "DESC",     "DISALLOW",
        "DISTINCT",    "DISTINCTROW", "DOUBLE",   "DROP",
        "ELSE",        "EQV",         "ESCAPE",   "EXCEPT",
        "EXISTS",      "FALSE",       "FLOAT",    "FOREIGN",
        "FROM",        "FULL",        "GROUP",    "HAVING",
        "IMP",         "IN",          "INDEX",    "INNER",
        "INSERT",      "INT",         "INTEGER",  "INTERSECT",
        "INTO",        "IS",          "ISNULL",   "JOIN",
        "KEY",         "LEFT",        "LIKE",     "LIMIT",
        "LONG",        "LONGTEXT",    "MEMO",     "MOD",
        "NATURAL",     "NOT",         "NOTNULL",  "NULL",
        "ON",          "OR",          "ORDER",    "OUTER",
        "PIVOT",       "PRIMARY",     "REAL",     "REFERENCES",
        "RIGHT",       "SELECT",      "SET",      "SHORT",
        "SINGLE",      "SMALLINT",    "SOME",     "TABLE",
        "TEXT",        "THEN",        "TO",       "TOP",
        "TRANSACTION", "TRANSFORM",   "TRUE",     "UNION",
        "UNIQUE",      "UPDATE",      "USING",    "VALUES",
        "VARCHAR",     "WHEN",        "WHERE",    "WITH",
        "XOR",         "YESNO"};
    return kWords;
}

// ---------------------------------------------------------------- DDL

// A table-level PRIMARY KEY or UNIQUE clause.
struct KeyClause {
    bool primary = false;
    std::vector<std::string> columns;
};

class Parser {
  public:
    explicit Parser(const std::vector<Token>& toks) {
        for (const auto& t : toks) {
            if (t.type != Tok::kSpace) {
                m_toks.push_back(t);
            }
        }
    }

    bool atEnd() const { return m_pos >= m_toks.size(); }
    const Token* peek(size_t ahead = 0) const {
        return m_pos + ahead < m_toks.size() ? &m_toks[m_pos + ahead] : nullptr;
    }
    bool peekWord(std::string_view w, size_t ahead = 0) const {
        const Token* t = peek(ahead);
        return t && t->type == Tok::kWord && iequals(t->text, w);
    }
    bool peekPunct(std::string_view p) const {
        const Token* t = peek();
        return t && t->type == Tok::kPunct && t->text == p;
    }
    bool acceptWord(std::string_view w) {
        if (peekWord(w)) {
            ++m_pos;
            return true;
        }
        return false;
    }
    void expectWord(std::string_view w) {
        if (!acceptWord(w)) {
            syntax("expected " + std::string(w) + " " + where());
        }
    }
    bool acceptPunct(std::string_view p) {
        if (peekPunct(p)) {
            ++m_pos;
            return true;
        }
        return false;
    }
    void expectPunct(std::string_view p) {
        if (!acceptPunct(p)) {
            syntax("expected \"" + std::string(p) + "\" " + where());
        }
    }
    // A table or column name: a plain word or a [bracketed] name.
    std::string name(const char* what) {
        const Token* t = peek();
        if (t && t->type == Tok::kWord) {
            ++m_pos;
            return std::string(t->text);
        }
        if (t && t->type == Tok::kBracketed) {
            ++m_pos;
            std::string n(t->text.substr(1, t->text.size() - 2));
            if (n.empty() || n.find_first_of(".!`[]") != std::string::npos ||
                static_cast<unsigned char>(n[0]) == ' ') {
                throw Error("\"" + n + "\" is not a valid name", ErrorCode::kInvalidName);
            }
            return n;
        }
        syntax(std::string("expected ") + what + " " + where());
    }
    int number() {
        const Token* t = peek();
        if (!t || t->type != Tok::kNumber ||
            t->text.find_first_not_of("0123456789") != std::string_view::npos) {
            syntax("expected a whole number " + where());
        }
        ++m_pos;
        if (t->text.size() > 9) {
            return 1 << 30;
        }
        return std::stoi(std::string(t->text));
    }
    std::string where() const {
        const Token* t = peek();
        return t ? "near \"" + std::string(t->text) + "\"" : "at the end of the statement";
    }

  private:
    std::vector<Token> m_toks;
    size_t m_pos = 0;
};

void checkPlainName(const std::string& n, bool bracketed) {
    if (!bracketed && isReservedWord(n)) {
        throw Error("\"" + n + "\" is a reserved word and cannot be used as a name",
                    ErrorCode::kInvalidName);
    }
    if (n.size() > 64) {
        throw Error("\"" + n + "\" is longer than 64 characters", ErrorCode::kInvalidName);
    }
}

ColumnDef parseColumn(Parser& p, bool inAlter) {
    ColumnDef c;
    const Token* first = p.peek();
    const bool bracketed = first && first->type == Tok::kBracketed;
    c.name = p.name("a column name");
    checkPlainName(c.name, bracketed);

    const Token* t = p.peek();
    if (!t || t->type != Tok::kWord) {
        syntax("expected the type of column " + c.name + " " + p.where());
    }
    const std::string type = upper(t->text);
    p.acceptWord(t->text);
    bool takesWidth = false;
    if (type == "TEXT" || type == "CHAR" || type == "VARCHAR" || type == "CHARACTER" ||
        type == "STRING" || type == "ALPHANUMERIC") {
        c.type = JetType::kText;
        c.width = 255;
        takesWidth = true;
    } else if (type == "MEMO" || type == "LONGTEXT" || type == "LONGCHAR" || type == "NOTE") {
        c.type = JetType::kMemo;
    } else if (type == "LONG" || type == "INTEGER" || type == "INT" || type == "INTEGER4") {
        c.type = JetType::kLong;
    } else if (type == "DOUBLE" || type == "FLOAT" || type == "FLOAT8" || type == "NUMBER") {
        c.type = JetType::kDouble;
    } else if (type == "DATE" || type == "DATETIME" || type == "TIMESTAMP") {
        c.type = JetType::kDate;
    } else if (type == "YESNO" || type == "BIT" || type == "LOGICAL" || type == "BOOLEAN") {
        c.type = JetType::kYesNo;
    } else if (type == "COUNTER" || type == "AUTOINCREMENT") {
        c.type = JetType::kCounter;
    } else {
        unsupported("column " + c.name + ": type " + type + " is not supported");
    }
    if (p.acceptPunct("(")) {
        if (!takesWidth) {
            syntax("column " + c.name + ": type " + type + " takes no width");
        }
        c.width = p.number();
        p.expectPunct(")");
        if (c.width < 1 || c.width > 255) {
            throw Error("column " + c.name + ": the width of a TEXT column must be 1 to 255",
                        ErrorCode::kSyntax);
        }
    }
    while (true) {
        if (p.acceptWord("NOT")) {
            p.expectWord("NULL");
            c.notNull = true;
        } else if (p.acceptWord("NULL")) {
        } else if (p.acceptWord("PRIMARY")) {
            p.expectWord("KEY");
            c.primaryKey = true;
        } else if (p.acceptWord("UNIQUE")) {
            c.unique = true;
        } else if (p.acceptWord("CONSTRAINT")) {
            p.name("a constraint name");
        } else {
            break;
        }
    }
    if (inAlter) {
        if (c.notNull) {
            unsupported("ADD COLUMN " + c.name + ": a new column cannot be NOT NULL");
        }
        if (c.primaryKey || c.unique) {
            unsupported("ADD COLUMN " + c.name + ": a new column cannot be a key or UNIQUE");
        }
        if (c.type == JetType::kCounter) {
            unsupported("ADD COLUMN " + c.name +
                        ": a COUNTER column can only be created with "
                        "its table");
        }
    }
    return c;
}

std::vector<std::string> nameList(Parser& p) {
    std::vector<std::string> names;
    p.expectPunct("(");
    do {
        names.push_back(p.name("a column name"));
        p.acceptWord("ASC");
        p.acceptWord("DESC");
    } while (p.acceptPunct(","));
    p.expectPunct(")");
    return names;
}

std::string joinQuoted(const std::vector<std::string>& names) {
    std::string s;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i) {
            s += ',';
        }
        s += quoteIdent(names[i]);
    }
    return s;
}

// On a server the longest name it keeps whole.
constexpr size_t kServerNameBytes = 63;

void checkServerName(const std::string& n) {
    if (n.size() > kServerNameBytes) {
        throw Error("\"" + n + "\" is longer than the server's 63 bytes for a name",
                    ErrorCode::kInvalidName);
    }
}

Translation createTable(const std::vector<Token>& toks, const ServerNames* server) {
    Parser p(toks);
    p.expectWord("CREATE");
    p.expectWord("TABLE");
    const Token* nt = p.peek();
    const bool bracketed = nt && nt->type == Tok::kBracketed;
    const std::string table = p.name("a table name");
    checkPlainName(table, bracketed);
    p.expectPunct("(");
    std::vector<ColumnDef> cols;
    std::vector<KeyClause> keys;
    do {
        if (p.acceptWord("CONSTRAINT")) {
            p.name("a constraint name");
        }
        if (p.peekWord("PRIMARY") && p.peekWord("KEY", 1)) {
            p.acceptWord("PRIMARY");
            p.acceptWord("KEY");
            keys.push_back({true, nameList(p)});
        } else if (p.peekWord("UNIQUE") && p.peek(1) && p.peek(1)->text == "(") {
            p.acceptWord("UNIQUE");
            keys.push_back({false, nameList(p)});
        } else {
            cols.push_back(parseColumn(p, false));
        }
    } while (p.acceptPunct(","));
    p.expectPunct(")");
    if (!p.atEnd()) {
        syntax("unexpected text after the table definition " + p.where());
    }

    auto findCol = [&](const std::string& n) -> ColumnDef* {
        for (auto& c : cols) {
            if (iequals(c.name, n)) {
                return &c;
            }
        }
        return nullptr;
    };
    for (size_t i = 0; i < cols.size(); ++i) {
        for (size_t j = i + 1; j < cols.size(); ++j) {
            if (iequals(cols[i].name, cols[j].name)) {
                throw Error("table " + table + ": column " + cols[j].name + " appears twice",
                            ErrorCode::kInvalidName);
            }
        }
    }
    // Column-level PRIMARY KEY becomes the table's key clause.
    for (auto& c : cols) {
        if (c.primaryKey && c.type != JetType::kCounter) {
            keys.push_back({true, {c.name}});
        }
    }
    int primaries = 0;
    for (const auto& k : keys) {
        primaries += k.primary ? 1 : 0;
        for (const auto& n : k.columns) {
            if (!findCol(n)) {
                syntax("table " + table + ": key column " + n + " is not defined");
            }
        }
    }
    if (primaries > 1) {
        syntax("table " + table + ": more than one primary key");
    }
    int counters = 0;
    for (const auto& c : cols) {
        if (c.type == JetType::kCounter) {
            ++counters;
            // SQLite numbers rows without reuse only for its INTEGER PRIMARY KEY
            // AUTOINCREMENT column, so a COUNTER has to be the table's key.
            for (auto it = keys.begin(); it != keys.end(); ++it) {
                if (it->primary) {
                    if (it->columns.size() != 1 || !iequals(it->columns[0], c.name)) {
                        unsupported("table " + table + ": a COUNTER column must be the key");
                    }
                    keys.erase(it);
                    break;
                }
            }
        }
    }
    if (counters > 1) {
        unsupported("table " + table + ": only one COUNTER column per table");
    }

    Translation t;
    if (server) {
        checkServerName(table);
        if (server->table(table)) {
            throw Error("table " + table + " already exists", ErrorCode::kInvalidName);
        }
        for (const auto& c : cols) {
            checkServerName(c.name);
            t.columns.push_back(c.name);
            if (c.type == JetType::kCounter) {
                t.counterTable = table;
                t.counterColumn = c.name;
            }
            t.usesText = t.usesText || c.type == JetType::kText || c.type == JetType::kMemo;
        }
    }
    std::string sql = "CREATE TABLE " + quoteIdent(table) + "(";
    for (size_t i = 0; i < cols.size(); ++i) {
        bool keyMember = false;
        for (const auto& k : keys) {
            if (k.primary) {
                for (const auto& n : k.columns) {
                    keyMember = keyMember || iequals(n, cols[i].name);
                }
            }
        }
        if (i) {
            sql += ", ";
        }
        sql += server ? detail::serverColumnSql(cols[i], keyMember)
                      : detail::columnSql(table, cols[i], keyMember);
    }
    for (const auto& k : keys) {
        sql += k.primary ? ", PRIMARY KEY(" : ", UNIQUE(";
        std::vector<std::string> names = k.columns;
        if (server) {
            // As defined: a key may name its columns in another case.
            for (auto& n : names) {
                n = findCol(n)->name;
            }
        }
        sql += joinQuoted(names) + ")";
    }
    sql += ")";
    t.kind = Translation::Kind::kDefinition;
    t.sql = std::move(sql);
    t.table = table;
    return t;
}

Translation alterTable(const std::vector<Token>& toks, const ServerNames* server,
                       std::string_view statement) {
    Parser p(toks);
    p.expectWord("ALTER");
    p.expectWord("TABLE");
    std::string table = p.name("a table name");
    if (!p.acceptWord("ADD")) {
        unsupported("ALTER TABLE " + table + ": only ADD COLUMN is supported");
    }
    if (p.peekWord("CONSTRAINT") || p.peekWord("PRIMARY") || p.peekWord("UNIQUE")) {
        unsupported("ALTER TABLE " + table + ": only ADD COLUMN is supported");
    }
    p.acceptWord("COLUMN");
    ColumnDef c = parseColumn(p, true);
    if (!p.atEnd()) {
        syntax("unexpected text after the column definition " + p.where());
    }
    Translation t;
    t.kind = Translation::Kind::kAddColumn;
    if (server) {
        checkServerName(c.name);
        const auto stored = server->table(table);
        if (!stored) {
            throw Error("no such table: " + table, ErrorCode::kNoSuchColumn);
        }
        table = *stored;
        if (server->column(table, c.name)) {
            throw Error("duplicate column name: " + c.name + " in: " + std::string(statement),
                        ErrorCode::kInvalidName);
        }
        t.usesText = c.type == JetType::kText || c.type == JetType::kMemo;
        t.columnSql = detail::serverColumnSql(c, false);
    } else {
        t.columnSql = detail::columnSql(table, c, false);
    }
    t.table = table;
    t.column = c.name;
    t.columnType = detail::declaredType(c);
    t.sql = "ALTER TABLE " + quoteIdent(table) + " ADD COLUMN " + t.columnSql;
    return t;
}

Translation dropTable(const std::vector<Token>& toks, const ServerNames* server) {
    Parser p(toks);
    p.expectWord("DROP");
    p.expectWord("TABLE");
    std::string table = p.name("a table name");
    if (server) {
        table = server->table(table).value_or(table);
    }
    if (!p.atEnd()) {
        syntax("unexpected text after DROP TABLE " + table);
    }
    return made(Translation::Kind::kDefinition, "DROP TABLE " + quoteIdent(table), table);
}

// Queries and data changes: the Jet spellings that the engine beneath reads differently.
// For a server (`server` given) also every known name as stored, an alias as written, and
// each ORDER BY item told where its nulls go (SQLite puts them where Jet does already).
std::string rewriteDml(const std::vector<Token>& toks, bool isDelete, const ServerNames* server) {
    std::vector<const Token*> sig;  // the tokens that are not blanks
    for (const Token& t : toks) {
        if (t.type != Tok::kSpace) {
            sig.push_back(&t);
        }
    }
    auto isWord = [](const Token* t, std::string_view w) {
        return t && t->type == Tok::kWord && iequals(t->text, w);
    };
    // A name on the server: a table's or a column's as stored.
    auto stored = [&](std::string_view n) {
        std::optional<std::string> name = server->table(n);
        return name ? name : server->anyColumn(n);
    };
    std::string out;
    int depth = 0;
    bool inOrder = false;
    int orderDepth = 0;
    bool itemHas = false;
    bool itemDesc = false;
    size_t itemEnd = 0;
    auto closeItem = [&] {
        if (inOrder && itemHas) {
            out.insert(itemEnd, itemDesc ? " NULLS LAST" : " NULLS FIRST");
        }
        itemHas = false;
        itemDesc = false;
    };
    size_t k = 0;  // index into sig of the token in hand
    const Token* previous = nullptr;
    for (size_t i = 0; i < toks.size(); ++i) {
        const Token& t = toks[i];
        if (t.type == Tok::kSpace) {
            out += t.text;
            continue;
        }
        const Token* next = k + 1 < sig.size() ? sig[k + 1] : nullptr;
        ++k;
        if (inOrder && depth == orderDepth) {
            if ((t.type == Tok::kPunct && (t.text == "," || t.text == ")")) ||
                isWord(&t, "LIMIT") || isWord(&t, "OFFSET") || isWord(&t, "UNION") ||
                isWord(&t, "FOR")) {
                closeItem();
                if (!(t.type == Tok::kPunct && t.text == ",")) {
                    inOrder = false;
                }
            }
        }
        switch (t.type) {
            case Tok::kWord: {
                const std::string u = upper(t.text);
                if (server && previous && previous->type == Tok::kString) {
                    out += ' ';  // '1'where: a blank the server needs
                }
                if (u == "TRUE") {
                    out += "-1";
                } else if (u == "FALSE") {
                    out += "0";
                } else if (!server) {
                    out += t.text;
                } else if (isWord(previous, "AS") || isWord(previous, "INDEX")) {
                    out += quoteIdent(t.text);  // an alias or an index's name, as written
                } else if (next && next->type == Tok::kPunct && next->text == "(" &&
                           !isWord(previous, "INTO") && !isWord(previous, "ON") &&
                           !isWord(previous, "TABLE")) {
                    out += t.text;  // a function
                } else if (auto name = stored(t.text)) {
                    out += quoteIdent(*name);
                } else {
                    out += t.text;
                }
                break;
            }
            case Tok::kBracketed: {
                const std::string n(t.text.substr(1, t.text.size() - 2));
                const std::optional<std::string> name = server ? stored(n) : std::nullopt;
                out += quoteIdent(name ? *name : n);
                break;
            }
            case Tok::kDqString:
                out += quoteString(detail::unquoteBody(t.text, '"'));
                break;
            case Tok::kDate:
                out += detail::dateLiteral(t.text);
                break;
            case Tok::kPunct:
                if (isDelete && t.text == "*" && isWord(previous, "DELETE")) {
                    previous = &t;
                    continue;  // "delete * from T" is Jet's delete statement.
                }
                if (t.text == "(") {
                    ++depth;
                } else if (t.text == ")") {
                    --depth;
                }
                out += t.text == "&" ? std::string_view("||") : t.text;
                break;
            default:
                out += t.text;
                break;
        }
        if (server && isWord(&t, "BY") && isWord(previous, "ORDER")) {
            inOrder = true;
            orderDepth = depth;
            itemHas = false;
        } else if (inOrder && depth >= orderDepth && !(t.type == Tok::kPunct && t.text == ",")) {
            itemHas = true;
            itemEnd = out.size();
            if (depth == orderDepth && t.type == Tok::kWord) {
                itemDesc = iequals(t.text, "DESC");
            }
        }
        previous = &t;
    }
    closeItem();
    return out;
}

// Every word, [name], "text" and 'text' of a statement, unquoted: a table it reads or
// writes is among them.
std::vector<std::string> mentions(const std::vector<Token>& toks) {
    std::vector<std::string> out;
    for (const Token& t : toks) {
        switch (t.type) {
            case Tok::kWord:
                out.emplace_back(t.text);
                break;
            case Tok::kBracketed:
                out.emplace_back(t.text.substr(1, t.text.size() - 2));
                break;
            case Tok::kString:
                out.push_back(detail::unquoteBody(t.text, '\''));
                break;
            case Tok::kDqString:
                out.push_back(detail::unquoteBody(t.text, '"'));
                break;
            default:
                break;
        }
    }
    return out;
}

// A query's TOP clause: the rows it keeps.
struct Top {
    std::string count;  // a whole number, as written
    bool percent = false;
};

// Takes "TOP n [PERCENT]" out of the query `toks` (right after SELECT and a DISTINCT or
// ALL), if it is there.
std::optional<Top> takeTop(std::vector<Token>& toks, size_t select) {
    auto next = [&](size_t i) {
        while (i < toks.size() && toks[i].type == Tok::kSpace) {
            ++i;
        }
        return i;
    };
    auto isWord = [&](size_t i, std::string_view w) {
        return i < toks.size() && toks[i].type == Tok::kWord && iequals(toks[i].text, w);
    };
    size_t at = next(select + 1);
    if (isWord(at, "DISTINCT") || isWord(at, "DISTINCTROW") || isWord(at, "ALL")) {
        at = next(at + 1);
    }
    if (!isWord(at, "TOP")) {
        return std::nullopt;
    }
    const size_t number = next(at + 1);
    if (number == toks.size() || toks[number].type != Tok::kNumber ||
        toks[number].text.find_first_not_of("0123456789") != std::string_view::npos) {
        syntax("TOP takes a whole number");
    }
    Top top{std::string(toks[number].text)};
    size_t end = number + 1;
    if (const size_t word = next(end); isWord(word, "PERCENT")) {
        top.percent = true;
        end = word + 1;
    }
    int depth = 0;
    for (size_t i = end; i < toks.size(); ++i) {
        depth += toks[i].text == "(" ? 1 : toks[i].text == ")" ? -1 : 0;
        if (depth == 0 && isWord(i, "UNION")) {
            unsupported("TOP in a query with UNION is not supported");
        }
    }
    toks.erase(toks.begin() + static_cast<std::ptrdiff_t>(at),
               toks.begin() + static_cast<std::ptrdiff_t>(end));
    return top;
}

}  // namespace

std::vector<std::string_view> splitStatements(std::string_view text) {
    std::vector<std::string_view> out;
    size_t begin = 0;
    bool blank = true;
    for (const Token& t : detail::tokenize(text)) {
        if (t.type == Tok::kSemi) {
            const auto at = static_cast<size_t>(t.text.data() - text.data());
            if (!blank) {
                out.push_back(text.substr(begin, at - begin));
            }
            begin = at + 1;
            blank = true;
        } else if (t.type != Tok::kSpace) {
            blank = false;
        }
    }
    if (!blank) {
        out.push_back(text.substr(begin));
    }
    return out;
}

bool isReservedWord(std::string_view word) {
    return reservedWords().count(upper(word)) > 0;
}

bool isValidPlainName(std::string_view name) {
    if (name.empty() || name.size() > 64 || !isWordStart(static_cast<unsigned char>(name[0]))) {
        return false;
    }
    for (unsigned char c : name) {
        if (!isWordChar(c)) {
            return false;
        }
    }
    return !isReservedWord(name);
}

namespace {

// An INSERT that gives the table's COUNTER a number: without a column list, or with the
// counter in it.
void numberedCounter(const std::vector<Token>& toks, const ServerNames& names, Translation& t) {
    Parser p(toks);
    p.expectWord("INSERT");
    if (!p.acceptWord("INTO")) {
        return;
    }
    const std::string table = p.name("a table name");
    const auto counter = names.counters.find(detail::lower(table));
    if (counter == names.counters.end()) {
        return;
    }
    bool named = !p.peekPunct("(");
    if (!named) {
        p.acceptPunct("(");
        while (!p.atEnd() && !p.peekPunct(")")) {
            const Token* c = p.peek();
            named =
                named ||
                ((c->type == Tok::kWord || c->type == Tok::kBracketed) &&
                 iequals(c->type == Tok::kWord ? c->text : c->text.substr(1, c->text.size() - 2),
                         counter->second));
            p.acceptPunct(",");
            if (p.peek() == c) {
                p.name("a column name");
            }
        }
    }
    if (named) {
        t.counterTable = names.table(table).value_or(table);
        t.counterColumn = counter->second;
    }
}

Translation translateWith(std::string_view statement, const ServerNames* server) {
    std::vector<Token> toks = detail::singleStatement(detail::tokenize(statement));
    size_t first = 0;
    while (first < toks.size() && toks[first].type == Tok::kSpace) {
        ++first;
    }
    if (first == toks.size()) {
        syntax("empty statement");
    }
    if (toks[first].type != Tok::kWord) {
        syntax("\"" + std::string(toks[first].text) + "\" does not begin a statement");
    }
    const std::string verb = upper(toks[first].text);
    auto secondWord = [&]() -> std::string {
        for (size_t i = first + 1; i < toks.size(); ++i) {
            if (toks[i].type != Tok::kSpace) {
                return toks[i].type == Tok::kWord ? upper(toks[i].text) : std::string();
            }
        }
        return {};
    };
    auto onlyWords = [&](std::initializer_list<std::string_view> allowed) {
        for (size_t i = first + 1; i < toks.size(); ++i) {
            if (toks[i].type == Tok::kSpace) {
                continue;
            }
            bool ok = false;
            for (auto a : allowed) {
                ok = ok || (toks[i].type == Tok::kWord && iequals(toks[i].text, a));
            }
            if (!ok) {
                syntax("unexpected \"" + std::string(toks[i].text) + "\" after " + verb);
            }
        }
    };

    if (verb == "SELECT" || verb == "INSERT" || verb == "UPDATE" || verb == "DELETE") {
        Translation t;
        t.kind = verb == "SELECT" ? Translation::Kind::kQuery : Translation::Kind::kChange;
        t.mentions = mentions(toks);
        const std::optional<Top> top =
            verb == "SELECT" ? takeTop(toks, first) : std::optional<Top>();
        t.sql = rewriteDml(toks, verb == "DELETE", server);
        if (top && !top->percent) {
            t.sql += " LIMIT " + top->count;
        } else if (top) {
            t.sql += " LIMIT (SELECT (COUNT(*) * " + top->count + " + 99) / 100 FROM (" + t.sql +
                     ") AS jet_top)";
        }
        if (server && verb == "INSERT") {
            numberedCounter(toks, *server, t);
        }
        return t;
    }
    if (verb == "CREATE") {
        const std::string what = secondWord();
        Translation t;
        if (what == "TABLE") {
            t = createTable(toks, server);
        } else if (what == "INDEX" || what == "UNIQUE") {
            t = made(Translation::Kind::kDefinition, rewriteDml(toks, false, server));
        } else {
            unsupported("CREATE " + what + " is not supported");
        }
        t.mentions = mentions(toks);
        return t;
    }
    if (verb == "ALTER") {
        Translation t = alterTable(toks, server, statement);
        t.mentions = mentions(toks);
        return t;
    }
    if (verb == "DROP") {
        if (secondWord() == "TABLE") {
            Translation t = dropTable(toks, server);
            t.mentions = mentions(toks);
            return t;
        }
        unsupported("DROP " + secondWord() + " is not supported");
    }
    if (verb == "BEGIN") {
        onlyWords({"TRANSACTION", "TRANS"});
        return made(Translation::Kind::kBegin, "BEGIN");
    }
    if (verb == "COMMIT") {
        onlyWords({"TRANSACTION", "TRANS", "WORK"});
        return made(Translation::Kind::kCommit, "COMMIT");
    }
    if (verb == "ROLLBACK") {
        onlyWords({"TRANSACTION", "TRANS", "WORK"});
        return made(Translation::Kind::kRollback, "ROLLBACK");
    }
    unsupported("\"" + std::string(toks[first].text) + "\" statements are not supported");
}

}  // namespace

Translation translate(std::string_view statement) {
    return translateWith(statement, nullptr);
}

Translation translateForServer(std::string_view statement, const ServerNames& names) {
    return translateWith(statement, &names);
}

std::optional<std::string> ServerNames::table(std::string_view name) const {
    const auto it = tables.find(detail::lower(name));
    return it == tables.end() ? std::nullopt : std::optional<std::string>(it->second);
}

std::optional<std::string> ServerNames::column(std::string_view table,
                                               std::string_view name) const {
    const auto t = columns.find(detail::lower(table));
    if (t == columns.end()) {
        return std::nullopt;
    }
    const auto it = t->second.find(detail::lower(name));
    return it == t->second.end() ? std::nullopt : std::optional<std::string>(it->second);
}

std::optional<std::string> ServerNames::anyColumn(std::string_view name) const {
    const std::string key = detail::lower(name);
    std::optional<std::string> found;
    for (const auto& [table, cols] : columns) {
        if (const auto it = cols.find(key); it != cols.end()) {
            if (it->second == name) {
                return it->second;  // written as stored: that one
            }
            found = found ? found : std::optional<std::string>(it->second);
        }
    }
    return found;
}

}  // namespace jet
