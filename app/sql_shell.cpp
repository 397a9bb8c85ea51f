// SPDX-License-Identifier: MIT
#include "sql_shell.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/recordset.h"
#include "jet/translator.h"

namespace sql_shell {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

// Follows the quotes of `line` from `quote` (0: outside any); true when the line ends
// with ';' outside them.
bool endsStatement(std::string_view line, char& quote) {
    char last = 0;
    for (char c : line) {
        if (quote != 0) {
            if (c == quote) {
                quote = 0;  // a doubled quote closes and opens again
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '[') {
            quote = ']';
        }
        if (c != ' ' && c != '\t' && c != '\r') {
            last = quote == 0 ? c : 0;
        }
    }
    return quote == 0 && last == ';';
}

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The backslash escape both the tab-separated output and JSON give a character, if any.
const char* backslashEscape(char c) {
    switch (c) {
        case '\\':
            return "\\\\";
        case '\t':
            return "\\t";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        default:
            return nullptr;
    }
}

void writeTabCell(std::ostream& out, const jet::Value& v) {
    if (v.isNull()) {
        out << "\\N";
        return;
    }
    for (char c : v.toString()) {
        if (const char* escaped = backslashEscape(c)) {
            out << escaped;
        } else {
            out << c;
        }
    }
}

void writeCsvText(std::ostream& out, const std::string& text, bool quoteEmpty) {
    if (text.find_first_of(",\"\r\n") == std::string::npos && !(quoteEmpty && text.empty())) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) {
        out << c;
        if (c == '"') {
            out << '"';
        }
    }
    out << '"';
}

void writeJsonText(std::ostream& out, const std::string& text) {
    out << '"';
    for (char c : text) {
        if (const char* escaped = backslashEscape(c)) {
            out << escaped;
        } else if (c == '"') {
            out << "\\\"";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
            out << code;
        } else {
            out << c;
        }
    }
    out << '"';
}

void writeJsonValue(std::ostream& out, const jet::Value& v) {
    if (v.isNull()) {
        out << "null";
    } else if (v.isInteger()) {
        out << v.toString();
    } else if (v.isDouble()) {
        const double d = std::get<double>(v.storage());
        out << (std::isfinite(d) ? v.toString() : "null");
    } else {
        writeJsonText(out, v.toString());
    }
}

// The words of a dot-command: split at blanks, except inside '…', "…" (the quotes
// dropped) and […] (kept).
std::vector<std::string> commandWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (true) {
        i = line.find_first_not_of(kBlanks, i);
        if (i == std::string_view::npos) {
            return words;
        }
        std::string word;
        if (line[i] == '\'' || line[i] == '"') {
            const char quote = line[i];
            const std::size_t close = line.find(quote, i + 1);
            if (close == std::string_view::npos) {
                throw std::runtime_error(std::string("unterminated ") + quote + " in \"" +
                                         std::string(line) + "\"");
            }
            words.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        char inside = 0;
        for (; i < line.size() && (inside || kBlanks.find(line[i]) == std::string_view::npos);
             ++i) {
            inside = line[i] == '[' ? ']' : line[i] == inside ? 0 : inside;
            word += line[i];
        }
        words.push_back(std::move(word));
    }
}

// A name as a Jet statement takes it: plain, or in brackets.
std::string jetName(const std::string& name) {
    return jet::isValidPlainName(name) ? name : "[" + name + "]";
}

std::string unbracketed(std::string_view name) {
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    }
    return std::string(name);
}

void printTable(std::ostream& out, jet::Connection& conn, const jet::TableInfo& info) {
    const std::vector<jet::IndexInfo> indexes = jet::Catalog(conn).indexes(info.name);
    const auto columnList = [](const jet::IndexInfo& index) {
        std::string list;
        for (const jet::IndexInfo::Column& c : index.columns) {
            list += (list.empty() ? "" : ", ") + jetName(c.name) + (c.descending ? " DESC" : "");
        }
        return "(" + list + ")";
    };
    out << "CREATE TABLE " << jetName(info.name) << " (";
    std::string zeroLength;
    for (std::size_t i = 0; i < info.columns.size(); ++i) {
        const jet::ColumnInfo& col = info.columns[i];
        out << (i ? ", " : "") << jetName(col.name) << ' ' << col.type
            << ((col.attributes & jet::kColNullable) || col.autoIncrement ? "" : " NOT NULL");
        if (!(col.attributes & jet::kColFixed) && col.allowZeroLength) {
            zeroLength += ' ' + jetName(info.name) + '.' + jetName(col.name);
        }
    }
    for (const jet::IndexInfo& index : indexes) {
        if (index.kind != jet::IndexInfo::Kind::kIndex) {
            out << (index.kind == jet::IndexInfo::Kind::kPrimaryKey ? ", PRIMARY KEY "
                                                                    : ", UNIQUE ")
                << columnList(index);
        }
    }
    out << ");\n";
    for (const jet::IndexInfo& index : indexes) {
        if (index.kind == jet::IndexInfo::Kind::kIndex) {
            out << "CREATE " << (index.unique ? "UNIQUE " : "") << "INDEX " << jetName(index.name)
                << " ON " << jetName(info.name) << ' ' << columnList(index) << ";\n";
        }
    }
    if (!zeroLength.empty()) {
        out << ".allow-zero-length" << zeroLength << '\n';
    }
}

}  // namespace

std::optional<Statement> StatementReader::feed(std::string_view line, int number) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    const std::string_view text = trim(line);
    if (!pending()) {
        if (text.empty() || text.starts_with("--")) {
            return std::nullopt;
        }
        if (text.starts_with('.') || !m_semicolons) {
            return Statement{std::string(text.starts_with('.') ? text : line), number};
        }
        m_line = number;
    } else if (m_quote == 0 && text.starts_with("--")) {
        return std::nullopt;
    } else {
        m_text += '\n';
    }
    m_text += line;
    if (!endsStatement(line, m_quote)) {
        return std::nullopt;
    }
    return finish();
}

void StatementReader::clear() {
    m_text.clear();
    m_quote = 0;
}

std::optional<Statement> StatementReader::finish() {
    if (!pending()) {
        return std::nullopt;
    }
    Statement statement{std::move(m_text), m_line};
    m_text.clear();
    m_quote = 0;
    return statement;
}

std::vector<Statement> splitScript(std::string_view script) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < script.size();) {
        const std::size_t end = std::min(script.find('\n', start), script.size());
        lines.push_back(script.substr(start, end - start));
        start = end + 1;
    }
    bool semicolons = false;
    char quote = 0;
    for (std::string_view line : lines) {
        semicolons = endsStatement(line, quote) || semicolons;
    }
    StatementReader reader(semicolons);
    std::vector<Statement> statements;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto statement = reader.feed(lines[i], static_cast<int>(i) + 1)) {
            statements.push_back(std::move(*statement));
        }
    }
    if (auto statement = reader.finish()) {
        statements.push_back(std::move(*statement));
    }
    return statements;
}

void printRecordset(std::ostream& out, jet::Recordset& rs, Settings settings) {
    const int n = rs.fieldCount();
    if (n == 0) {
        return;
    }
    const Format format = settings.format;
    if (format == Format::kJson) {
        const char* open = "[";
        for (; !rs.eof(); rs.moveNext()) {
            out << open << '{';
            for (int i = 0; i < n; ++i) {
                out << (i ? "," : "");
                writeJsonText(out, rs.fieldName(i));
                out << ':';
                writeJsonValue(out, rs.field(i));
            }
            out << '}';
            open = ",\n";
        }
        out << (*open == '[' ? "[]\n" : "]\n");
        return;
    }
    const char separator = format == Format::kCsv ? ',' : format == Format::kList ? '|' : '\t';
    if (settings.header) {
        for (int i = 0; i < n; ++i) {
            out << (i ? std::string(1, separator) : "");
            if (format == Format::kCsv) {
                writeCsvText(out, rs.fieldName(i), false);
            } else {
                out << rs.fieldName(i);
            }
        }
        out << '\n';
    }
    for (; !rs.eof(); rs.moveNext()) {
        for (int i = 0; i < n; ++i) {
            if (i) {
                out << separator;
            }
            const jet::Value v = rs.field(i);
            if (format == Format::kTabs) {
                writeTabCell(out, v);
            } else if (v.isNull()) {
            } else if (format == Format::kCsv) {
                writeCsvText(out, v.toString(), v.isText());
            } else {
                out << v.toString();
            }
        }
        out << '\n';
    }
}

const char* const kHelp =
    ".tables              the tables, one a line\n"
    ".schema [TABLE]      the statements that make every table, or TABLE, again: columns,\n"
    "                     keys, UNIQUE clauses, indexes and zero-length settings\n"
    ".headers on|off      a line of column names before each query's rows, or none\n"
    ".mode tabs|list|csv|json\n"
    "                     how query results print: tab-separated (\\N for null), cells\n"
    "                     between '|', CSV, or a JSON array\n"
    ".read FILE           run the statements of FILE, as a script on standard input runs\n"
    ".allow-zero-length TABLE.COLUMN...\n"
    "                     let those text columns take the empty text ''\n"
    ".quit, .exit         leave rv_sql (so does Ctrl+D on an empty line)\n"
    ".help                this text\n"
    "\n"
    "A statement ends with ';' at the end of a line; several may stand on one line. Ctrl+C\n"
    "stops the statement running, or clears the line being typed. BEGIN, COMMIT and\n"
    "ROLLBACK begin and end a transaction; one still open when rv_sql ends is rolled back.\n";

DotCommand parseDotCommand(std::string_view line) {
    const std::vector<std::string> words = commandWords(line);
    struct Known {
        std::string_view name;
        DotCommand::Kind kind;
        std::size_t least, most;  // arguments
        std::string_view usage;
    };
    using K = DotCommand::Kind;
    static constexpr Known kKnown[] = {
        {".help", K::kHelp, 0, 0, ".help"},
        {".tables", K::kTables, 0, 0, ".tables"},
        {".schema", K::kSchema, 0, 1, ".schema [TABLE]"},
        {".quit", K::kQuit, 0, 0, ".quit"},
        {".exit", K::kQuit, 0, 0, ".exit"},
        {".headers", K::kHeaders, 1, 1, ".headers on|off"},
        {".mode", K::kMode, 1, 1, ".mode tabs|list|csv|json"},
        {".read", K::kRead, 1, 1, ".read FILE"},
        {".allow-zero-length", K::kAllowZeroLength, 1, SIZE_MAX,
         ".allow-zero-length TABLE.COLUMN..."},
    };
    const std::string name = words.empty() ? std::string(line) : words.front();
    const auto known = std::find_if(std::begin(kKnown), std::end(kKnown),
                                    [&](const Known& k) { return k.name == name; });
    if (known == std::end(kKnown)) {
        throw std::runtime_error("unknown command \"" + name + "\"; .help lists the commands");
    }
    DotCommand command;
    command.kind = known->kind;
    command.arguments.assign(words.begin() + 1, words.end());
    const std::size_t count = command.arguments.size();
    const auto wrong = [&] { return std::runtime_error("usage: " + std::string(known->usage)); };
    if (count < known->least || count > known->most) {
        throw wrong();
    }
    if (command.kind == K::kHeaders) {
        const std::string& value = command.arguments.front();
        if (value != "on" && value != "off") {
            throw wrong();
        }
        command.on = value == "on";
    } else if (command.kind == K::kMode) {
        static constexpr std::pair<std::string_view, Format> kModes[] = {{"tabs", Format::kTabs},
                                                                         {"list", Format::kList},
                                                                         {"csv", Format::kCsv},
                                                                         {"json", Format::kJson}};
        const auto mode = std::find_if(std::begin(kModes), std::end(kModes), [&](const auto& m) {
            return m.first == command.arguments.front();
        });
        if (mode == std::end(kModes)) {
            throw wrong();
        }
        command.format = mode->second;
    } else if (command.kind == K::kAllowZeroLength) {
        for (const std::string& target : command.arguments) {
            tableAndColumn(target);
        }
    }
    return command;
}

std::pair<std::string, std::string> tableAndColumn(std::string_view target) {
    // The '.' between the names, outside brackets.
    std::size_t dot = std::string_view::npos;
    bool inside = false;
    for (std::size_t i = 0; i < target.size(); ++i) {
        inside = target[i] == '[' ? true : target[i] == ']' ? false : inside;
        if (target[i] == '.' && !inside) {
            if (dot != std::string_view::npos) {
                dot = 0;  // two: refused below
                break;
            }
            dot = i;
        }
    }
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == target.size()) {
        throw std::runtime_error("TABLE.COLUMN wanted, not \"" + std::string(target) + "\"");
    }
    return {unbracketed(target.substr(0, dot)), unbracketed(target.substr(dot + 1))};
}

void printSchema(std::ostream& out, jet::Connection& conn, std::string_view table) {
    bool found = false;
    for (const jet::TableInfo& info : jet::Catalog(conn).tables()) {
        if (!info.system && (table.empty() || sameName(info.name, table))) {
            printTable(out, conn, info);
            found = true;
        }
    }
    if (!found && !table.empty()) {
        throw std::runtime_error("no such table: " + std::string(table));
    }
}

void Session::interrupt() noexcept {
    m_interrupted = 1;
    m_conn.interrupt();
}

std::string Session::where(int line) const {
    std::string text = "statement " + std::to_string(m_count);
    if (line > 0) {
        text += " (line " + std::to_string(line) + (m_file.empty() ? "" : " of " + m_file) + ")";
    }
    return text;
}

bool Session::run(const Statement& statement) {
    if (trim(statement.text).starts_with('.')) {
        return runDotCommand(statement);
    }
    std::vector<std::string_view> texts;
    try {
        texts = jet::splitStatements(statement.text);
    } catch (const std::exception&) {
        texts = {statement.text};  // the engine says what is wrong with it
    }
    for (std::string_view text : texts) {
        // The line each begins on: that of its first character that is not blank.
        text = trim(text);
        const auto begin = text.data() - statement.text.data();
        const auto newlines =
            std::count(statement.text.begin(), statement.text.begin() + begin, '\n');
        execute(text, statement.line > 0 ? statement.line + static_cast<int>(newlines) : 0);
    }
    return true;
}

void Session::execute(std::string_view text, int line) {
    ++m_count;
    if (m_interrupted) {
        throw Failure(where(line) + ": interrupted");
    }
    try {
        jet::Recordset rs = m_conn.execute(text);
        printRecordset(m_out, rs, m_settings);
    } catch (const std::exception& e) {
        m_out.flush();
        throw Failure(where(line) + ": " + e.what());
    }
}

bool Session::runDotCommand(const Statement& statement) {
    ++m_count;
    const std::string at = where(statement.line);
    try {
        const DotCommand command = parseDotCommand(trim(statement.text));
        const std::vector<std::string>& args = command.arguments;
        switch (command.kind) {
            case DotCommand::Kind::kHelp:
                m_out << kHelp;
                break;
            case DotCommand::Kind::kTables:
                for (const jet::TableInfo& info : jet::Catalog(m_conn).tables()) {
                    if (!info.system) {
                        m_out << info.name << '\n';
                    }
                }
                break;
            case DotCommand::Kind::kSchema:
                printSchema(m_out, m_conn, args.empty() ? std::string_view() : args.front());
                break;
            case DotCommand::Kind::kQuit:
                return false;
            case DotCommand::Kind::kHeaders:
                m_settings.header = command.on;
                break;
            case DotCommand::Kind::kMode:
                m_settings.format = command.format;
                break;
            case DotCommand::Kind::kAllowZeroLength:
                for (const std::string& target : args) {
                    const auto [table, column] = tableAndColumn(target);
                    jet::Catalog(m_conn).setProperty(table, column, jet::kAllowZeroLength, true);
                }
                break;
            case DotCommand::Kind::kRead:
                return read(args.front());
        }
    } catch (const Failure&) {
        throw;
    } catch (const std::exception& e) {
        m_out.flush();
        throw Failure(at + ": " + e.what());
    }
    return true;
}

bool Session::read(const std::string& file) {
    constexpr int kMostNested = 16;
    if (m_depth >= kMostNested) {
        throw std::runtime_error(".read within .read goes deeper than 16 files");
    }
    std::ifstream in(file, std::ios::binary);
    std::string script;
    if (in) {
        script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (!in.is_open() || in.bad()) {
        throw std::runtime_error("cannot read " + file);
    }
    struct Reading {
        Session& s;
        std::string outer;
        Reading(Session& session, const std::string& f) : s(session), outer(session.m_file) {
            s.m_file = f;
            ++s.m_depth;
        }
        ~Reading() {
            s.m_file = outer;
            --s.m_depth;
        }
    } reading(*this, file);
    for (const Statement& statement : splitScript(script)) {
        if (!run(statement)) {
            return false;
        }
    }
    return true;
}

}  // namespace sql_shell
