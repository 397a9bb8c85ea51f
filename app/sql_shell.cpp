// SPDX-License-Identifier: MIT
#include "sql_shell.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "jet/catalog.h"
#include "jet/connection.h"
#include "jet/recordset.h"

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

void printRecordset(std::ostream& out, jet::Recordset& rs, Format format, bool header) {
    const int n = rs.fieldCount();
    if (n == 0) {
        return;
    }
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
    const char separator = format == Format::kCsv ? ',' : '\t';
    if (header || format == Format::kTabs) {
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
            } else if (!v.isNull()) {
                writeCsvText(out, v.toString(), v.isText());
            }
        }
        out << '\n';
    }
}

void runDotCommand(std::ostream& out, jet::Connection& conn, std::string_view command) {
    std::istringstream words{std::string(command)};
    std::string name, table, extra;
    words >> name >> table >> extra;
    if (name == ".help" && table.empty()) {
        out << ".tables          the tables, one a line\n"
               ".schema [TABLE]  the definition of every table, or of TABLE, in Jet SQL\n"
               ".help            this text\n";
        return;
    }
    if ((name == ".tables" && table.empty()) || (name == ".schema" && extra.empty())) {
        bool found = false;
        for (const jet::TableInfo& info : jet::Catalog(conn).tables()) {
            if (info.system || (!table.empty() && !sameName(info.name, table))) {
                continue;
            }
            found = true;
            if (name == ".tables") {
                out << info.name << '\n';
                continue;
            }
            out << "CREATE TABLE " << info.name << " (";
            for (std::size_t i = 0; i < info.columns.size(); ++i) {
                const jet::ColumnInfo& col = info.columns[i];
                out << (i ? ", " : "") << col.name << ' ' << col.type
                    << ((col.attributes & jet::kColNullable) ? "" : " NOT NULL");
            }
            out << ");\n";
        }
        if (!found && !table.empty()) {
            throw std::runtime_error("no such table: " + table);
        }
        return;
    }
    throw std::runtime_error("unknown command or wrong arguments: \"" + std::string(command) +
                             "\"; .help lists the commands");
}

}  // namespace sql_shell
