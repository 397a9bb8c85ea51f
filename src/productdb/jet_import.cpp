// SPDX-License-Identifier: MIT
#include "productdb/jet_import.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "jet/catalog.h"
#include "jet/connection_string.h"
#include "jet/error.h"
#include "jet/jetfile/day_number.h"
#include "jet/transaction.h"
#include "productdb/schema.h"

namespace productdb {

namespace {

using jetfile::JetType;

// Rows go to the engine in statements of several rows each, up to these bounds.
constexpr std::size_t kBatchRows = 100;
constexpr std::size_t kBatchBytes = 256 * 1024;
constexpr auto kProgressEvery = std::chrono::milliseconds(200);

std::string tableNameOf(std::string_view create) {
    constexpr std::string_view kPrefix = "CREATE TABLE ";
    const std::size_t open = create.find('(');
    return std::string(create.substr(kPrefix.size(), open - kPrefix.size()));
}

std::string upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

std::string bracketed(std::string_view name) {
    return "[" + std::string(name) + "]";
}

std::string place(const jetfile::Table& t, const jetfile::Column& c) {
    return "table " + t.name + ", column " + c.name;
}

// The engine's type word for an old column, or nothing when the engine has none.
std::optional<std::string> engineType(const jetfile::Column& c) {
    switch (static_cast<JetType>(c.type)) {
        case JetType::kYesNo:
            return "YESNO";
        case JetType::kByte:
        case JetType::kInteger:
        case JetType::kLong:
            return "LONG";
        case JetType::kSingle:
        case JetType::kDouble:
            return "DOUBLE";
        case JetType::kDateTime:
            return "DATE";
        case JetType::kText:
            return "TEXT(" + std::to_string(c.size < 1 || c.size > 255 ? 255 : c.size) + ")";
        case JetType::kMemo:
            return "MEMO";
        default:
            return std::nullopt;
    }
}

// Whether an old column may fill a product column of the engine type `word`.
bool fillsProductColumn(const jetfile::Column& c, std::string_view word) {
    const std::optional<std::string> mine = engineType(c);
    if (!mine) {
        return false;
    }
    const auto family = [](std::string_view w) { return w.substr(0, w.find('(')); };
    return family(*mine) == family(word);
}

std::string columnDefinition(const jetfile::Column& c, const std::string& type, bool notNull) {
    return bracketed(c.name) + " " + type + (notNull ? " NOT NULL" : "");
}

// A double as a literal the engine reads back as the very same number.
class ExactNumbers {
  public:
    explicit ExactNumbers(jet::Connection& db) : m_db(db) {}

    std::string literal(double d, const std::string& where) {
        if (std::isnan(d)) {
            throw JetImportError(where + ": a number that is not a number (NaN), which the " +
                                 "database engine does not hold");
        }
        if (std::isinf(d)) {
            return d > 0 ? "1e999" : "-1e999";
        }
        char text[64];
        const auto r = std::to_chars(text, text + sizeof text, d);
        std::string shortest(text, r.ptr);
        // The engine reads numbers of ordinary size exactly; the smallest magnitudes and the
        // largest are tried before they are used. A zero is stored without its sign (the
        // file format keeps a whole-number double as an integer).
        const double magnitude = std::fabs(d);
        if ((magnitude >= 1e-250 && magnitude <= 1e300) || d == 0) {
            return d == 0 ? "0" : shortest;
        }
        for (const char* format : {"", "%.17g", "%.18g", "%.19g", "%.20g"}) {
            std::string candidate = shortest;
            if (*format) {
                std::snprintf(text, sizeof text, format, d);
                candidate = text;
            }
            if (candidate.find_first_of(".eE") == std::string::npos) {
                candidate += ".0";
            }
            if (readsBackAs(candidate, d)) {
                return candidate;
            }
        }
        // A number of ordinary size times a power of two: both read exactly, and the
        // product is exact.
        const int shift = magnitude < 1 ? 600 : -600;
        const std::string scaled = shortestOf(std::ldexp(d, shift));
        const std::string power = shortestOf(std::ldexp(1.0, -shift));
        const std::string product = "(" + scaled + "*" + power + ")";
        if (d != 0 && readsBackAs(product, d)) {
            return product;
        }
        throw JetImportError(where + ": the number " + shortest +
                             " cannot be carried exactly into the database engine");
    }

  private:
    static std::string shortestOf(double d) {
        char text[64];
        const auto r = std::to_chars(text, text + sizeof text, d);
        return std::string(text, r.ptr);
    }

    bool readsBackAs(const std::string& candidate, double d) {
        jet::Recordset rs = m_db.execute("SELECT " + candidate);
        const jet::Value v = rs.field(0);
        if (!v.isDouble()) {
            return false;
        }
        const double back = std::get<double>(v.storage());
        return std::memcmp(&back, &d, sizeof d) == 0;
    }

    jet::Connection& m_db;
};

// One table's rows on their way into the engine, several to a statement.
class RowBatch {
  public:
    RowBatch(jet::Connection& db, const jetfile::Table& table) : m_db(db), m_table(table) {
        m_head = "INSERT INTO " + bracketed(table.name) + " (";
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            m_head += (i ? "," : "") + bracketed(table.columns[i].name);
        }
        m_head += ") VALUES ";
    }

    RowBatch(RowBatch&&) noexcept = default;

    void add(const std::vector<jet::Value>& values, ExactNumbers& numbers) {
        if (m_rows == 0) {
            m_sql.reserve(kBatchBytes + kBatchBytes / 4);
        }
        m_sql += m_rows == 0 ? m_head : ",";
        m_sql += '(';
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i) {
                m_sql += ',';
            }
            appendValue(m_table.columns[i], values[i], numbers);
        }
        m_sql += ')';
        if (++m_rows >= kBatchRows || m_sql.size() >= kBatchBytes) {
            flush();
        }
    }

    void flush() {
        if (m_rows == 0) {
            return;
        }
        m_db.execute(m_sql);
        m_sql.clear();
        m_rows = 0;
    }

  private:
    void appendValue(const jetfile::Column& c, const jet::Value& v, ExactNumbers& numbers) {
        if (v.isNull()) {
            m_sql += "NULL";
            return;
        }
        switch (static_cast<JetType>(c.type)) {
            case JetType::kDateTime: {
                const double days = std::get<double>(v.storage());
                const std::optional<std::string> text = jetfile::dayNumberText(days);
                if (!text) {
                    throw JetImportError(place(m_table, c) + ": " + std::to_string(days) +
                                         " is no date of the years 100 to 9999");
                }
                m_sql += '\'';
                m_sql += *text;
                m_sql += '\'';
                return;
            }
            case JetType::kSingle:
            case JetType::kDouble:
                m_sql += numbers.literal(std::get<double>(v.storage()), place(m_table, c));
                return;
            case JetType::kText:
            case JetType::kMemo: {
                const std::string& s = std::get<std::string>(v.storage());
                m_sql.reserve(m_sql.size() + s.size() + 2);
                m_sql += '\'';
                for (char ch : s) {
                    if (ch == '\'') {
                        m_sql += '\'';
                    }
                    m_sql += ch;
                }
                m_sql += '\'';
                return;
            }
            default:
                m_sql += std::to_string(std::get<std::int64_t>(v.storage()));
                return;
        }
    }

    jet::Connection& m_db;
    const jetfile::Table& m_table;
    std::string m_head;
    std::string m_sql;
    std::size_t m_rows = 0;
};

// The columns a product table's statement names, in order.
std::vector<std::string> productColumns(std::string_view create) {
    std::vector<std::string> names;
    const std::size_t open = create.find('(');
    int depth = 0;
    std::size_t begin = open + 1;
    for (std::size_t i = begin; i < create.size(); ++i) {
        const char ch = create[i];
        if (ch == '(') {
            ++depth;
        } else if ((ch == ',' && depth == 0) || (ch == ')' && depth-- == 0)) {
            std::string_view piece = create.substr(begin, i - begin);
            piece.remove_prefix(std::min(piece.find_first_not_of(' '), piece.size()));
            const std::string word = upper(std::string(piece.substr(0, piece.find_first_of(" ("))));
            if (word != "PRIMARY" && word != "UNIQUE" && word != "CONSTRAINT" && !word.empty()) {
                names.push_back(word);
            }
            begin = i + 1;
        }
    }
    return names;
}

// A product table's statement with `extra` column definitions after its own columns,
// before its key clause.
std::string withExtraColumns(std::string_view create, const std::vector<std::string>& extra) {
    std::string out(create);
    if (extra.empty()) {
        return out;
    }
    std::string defs;
    for (const std::string& d : extra) {
        defs += ", " + d;
    }
    std::size_t at = out.size() - 1;  // the closing parenthesis
    for (std::string_view clause : {"PRIMARY KEY(", "UNIQUE("}) {
        const std::size_t found = out.rfind(clause);
        if (found != std::string::npos) {
            at = std::min(at, out.rfind(',', found));
        }
    }
    out.insert(at, defs);
    return out;
}

// What the old file lacks for a product database, and the types the engine does not have.
struct Shape {
    std::vector<std::string> missing;
    std::vector<std::string> refused;
};

// NEW's tables: the product's own with the old file's extra columns after theirs, then the
// old file's extra tables; the zero-length settings last. Returns what keeps the old file
// from being imported (nothing is made then).
Shape createTables(jet::Connection& db, const jetfile::JetCatalog& old) {
    Shape shape;
    std::map<std::string, std::string_view> productTables;  // upper-case name → statement
    for (std::string_view create : kCreateTables) {
        productTables.emplace(upper(tableNameOf(create)), create);
        if (!old.find(tableNameOf(create))) {
            shape.missing.push_back("table " + tableNameOf(create));
        }
    }
    if (!shape.missing.empty()) {
        return shape;  // no product database at all
    }
    std::vector<std::string> statements;
    for (const jetfile::Table& t : old.tables) {
        const auto product = productTables.find(upper(t.name));
        std::vector<std::string> own;
        if (product != productTables.end()) {
            own = productColumns(product->second);
            for (const std::string& name : own) {
                if (jetfile::columnIndex(t, name) < 0) {
                    shape.missing.push_back("column " + t.name + "." + name);
                }
            }
        }
        std::vector<std::string> extra;
        for (const jetfile::Column& c : t.columns) {
            const std::optional<std::string> type = engineType(c);
            if (!type) {
                shape.refused.push_back(place(t, c) + ": " + jetfile::typeName(c.type) +
                                        ", a type the database engine does not have");
            } else if (std::find(own.begin(), own.end(), upper(c.name)) == own.end()) {
                extra.push_back(columnDefinition(c, *type, c.required));
            }
        }
        if (product != productTables.end()) {
            statements.push_back(withExtraColumns(product->second, extra));
        } else {
            std::string create = "CREATE TABLE " + bracketed(t.name) + "(";
            for (std::size_t i = 0; i < extra.size(); ++i) {
                create += (i ? ", " : "") + extra[i];
            }
            statements.push_back(create + ")");
        }
    }
    if (!shape.refused.empty() || !shape.missing.empty()) {
        return shape;
    }
    for (const std::string& statement : statements) {
        db.execute(statement);
    }
    // The product's columns take the old values only where the types agree.
    jet::Catalog catalog(db);
    for (const jetfile::Table& t : old.tables) {
        const std::vector<jet::ColumnInfo> columns = catalog.table(t.name).columns;
        for (const jet::ColumnInfo& info : columns) {
            const jetfile::Column& c =
                t.columns[static_cast<std::size_t>(jetfile::columnIndex(t, info.name))];
            if (!fillsProductColumn(c, info.type)) {
                shape.refused.push_back(place(t, c) + ": " + jetfile::typeName(c.type) +
                                        " where a product database has " + info.type);
            }
        }
        if (!shape.refused.empty()) {
            continue;
        }
        // Zero-length strings where the old column takes them (a NOT NULL one never does).
        bool changed = false;
        for (const jet::ColumnInfo& info : columns) {
            const jetfile::Column& c =
                t.columns[static_cast<std::size_t>(jetfile::columnIndex(t, info.name))];
            if ((c.is(JetType::kText) || c.is(JetType::kMemo)) && c.allowZeroLength &&
                (info.attributes & jet::kColNullable)) {
                catalog.setProperty(t.name, info.name, jet::kAllowZeroLength, true);
                changed = true;
            }
        }
        // The settings wait in the engine until a statement names the table: named now,
        // they are written at once instead of being looked for in every text of every row.
        if (changed) {
            db.execute("SELECT count(*) FROM " + bracketed(t.name));
        }
    }
    return shape;
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator = ", ") {
    std::string out;
    for (const std::string& p : parts) {
        out += (out.empty() ? "" : std::string(separator)) + p;
    }
    return out;
}

// The file the import writes, beside NEW under a name of its own; it takes NEW's name
// only when complete, so that NEW never exists half made (not even after a kill, which
// leaves the working file). Removed, with what the engine left beside it, unless kept.
class WorkingFile {
  public:
    explicit WorkingFile(const std::string& target)
        : m_target(target), m_path(target + ".XXXXXX.importing") {
        const int fd = ::mkostemps(m_path.data(), 10, O_CLOEXEC);
        if (fd < 0) {
            throw JetImportError("cannot create " + target + ": " + std::strerror(errno));
        }
        ::close(fd);
    }
    ~WorkingFile() {
        if (!m_kept) {
            for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
                ::unlink((m_path + suffix).c_str());
            }
        }
    }
    WorkingFile(const WorkingFile&) = delete;
    WorkingFile& operator=(const WorkingFile&) = delete;

    const std::string& path() const { return m_path; }
    // Gives the complete file NEW's name, never replacing a file that appeared meanwhile.
    void keep() {
        if (::renameat2(AT_FDCWD, m_path.c_str(), AT_FDCWD, m_target.c_str(), RENAME_NOREPLACE) !=
            0) {
            // No atomic rename on this file system: a hard link does not replace either.
            if ((errno != EINVAL && errno != ENOSYS) ||
                ::link(m_path.c_str(), m_target.c_str()) != 0) {
                throw JetImportError(m_target + " cannot be written: " + std::strerror(errno));
            }
            ::unlink(m_path.c_str());
        }
        m_kept = true;
    }

  private:
    std::string m_target;
    std::string m_path;
    bool m_kept = false;
};

// Everything of the old file into `db` (empty), in one transaction: nothing of it stays
// when anything fails.
void fill(jet::Connection& db, jetfile::JetFileReader& reader, const std::string& oldPath,
          const JetImportOptions& options, JetImportResult& result) {
    const jetfile::JetCatalog& old = reader.catalog();
    jet::Transaction transaction(db);
    const Shape shape = createTables(db, old);
    if (!shape.missing.empty()) {
        throw JetImportError(oldPath + " is not a product database: it lacks " +
                             joined(shape.missing));
    }
    if (!shape.refused.empty()) {
        throw JetImportError(joined(shape.refused, "; "));
    }
    std::size_t total = 0;
    for (const jetfile::Table& t : old.tables) {
        total += t.rowCount;
    }
    ExactNumbers numbers(db);
    std::vector<RowBatch> batches;
    batches.reserve(old.tables.size());
    for (const jetfile::Table& t : old.tables) {
        batches.emplace_back(db, t);
    }
    const std::optional<std::size_t> fieldTable = old.indexOf("FIELD");
    const jetfile::Table& address = *old.find("ADDRESS");
    std::vector<std::string> unplaced;
    auto lastProgress = std::chrono::steady_clock::now();
    std::size_t table = 0;
    std::size_t current = 0;
    std::vector<jet::Value> values;
    while (reader.next(table, values)) {
        if (table != current) {
            batches[current].flush();
            current = table;
        }
        if (table == fieldTable) {
            const int id = jetfile::columnIndex(old.tables[table], "FIELD_ID");
            const std::string fieldId = values[static_cast<std::size_t>(id)].toString();
            if (jetfile::columnIndex(address, fieldId) < 0) {
                unplaced.push_back(fieldId);
            }
            ++result.fields;
        }
        batches[table].add(values, numbers);
        ++result.rows;
        if (options.stopRequested && options.stopRequested()) {
            throw JetImportError("stopped");
        }
        if (options.progress && std::chrono::steady_clock::now() - lastProgress >= kProgressEvery) {
            lastProgress = std::chrono::steady_clock::now();
            options.progress({old.tables[table].name, result.rows, total});
        }
    }
    batches[current].flush();
    if (!unplaced.empty()) {
        throw JetImportError(oldPath + " is not a product database: ADDRESS has no column for " +
                             "the field(s) " + joined(unplaced) + " that FIELD registers");
    }
    transaction.commit();
    result.tables = old.tables.size();
}

}  // namespace

JetImportResult importJetProduct(const std::string& oldPath, const ProductFile& target,
                                 const JetImportOptions& options) {
    const bool onServer = jet::ConnectionString::namesServer(target.path);
    struct stat st {};
    if (!onServer && ::lstat(target.path.c_str(), &st) == 0) {
        throw JetImportError(target.path + " exists already: the import makes a new file");
    }
    if (!jetfile::isJetFile(oldPath)) {
        throw JetImportError(oldPath + " is not a Jet database (no \"Standard Jet DB\" header)");
    }
    std::optional<jetfile::JetFileReader> reader;
    try {
        reader.emplace(oldPath, options.read);
    } catch (const jetfile::ReadError& e) {
        throw JetImportError(oldPath + " cannot be read: " + e.what());
    }

    JetImportResult result;
    try {
        jet::Connection db;
        if (onServer) {
            // A server's database is made by its administrator: here it must hold no table
            // yet, and the transaction is all the guard a half import needs.
            const std::string connection =
                jet::ConnectionString::build(target.path, target.password);
            jet::Catalog::create(connection);
            db.open(connection);
            fill(db, *reader, oldPath, options, result);
        } else {
            WorkingFile working(target.path);
            // An empty file is a new database that the first commit writes, with the password.
            db.open(jet::ConnectionString::build(working.path(), target.password),
                    jet::Connection::EmptyFile::kNewDatabase);
            fill(db, *reader, oldPath, options, result);
            db.close();
            working.keep();
        }
        if (options.progress) {
            options.progress({{}, result.rows, result.rows});
        }
        return result;
    } catch (const jetfile::ReadError& e) {
        throw JetImportError(oldPath + " cannot be read: " + e.what());
    } catch (const jet::Error& e) {
        throw JetImportError(e.what());
    }
}

}  // namespace productdb
