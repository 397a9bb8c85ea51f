#include "catalog.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "connection.h"
#include "connection_string.h"
#include "database.h"
#include "error.h"
#include "schema_rules.h"
#include "text_util.h"

namespace jet {

using detail::iequals;

void Catalog::create(std::string_view connectionString) {
    const ConnectionString cs = ConnectionString::parse(connectionString);
    const std::string& path = cs.dataSource();
    if (::access(path.c_str(), F_OK) == 0) {
        throw Error("cannot create " + path + ": the file already exists", ErrorCode::kFileExists);
    }
    // Made under a name of its own and linked into place when complete, so that the path
    // never shows a half-written file, even if the process dies meanwhile.
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        throw Error("cannot create " + path + ": " + std::strerror(errno), ErrorCode::kCannotOpen);
    }
    ::close(fd);
    ::unlink(temp.c_str());
    try {
        openDatabase(temp, cs.password(), true);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    bool linked = ::link(temp.c_str(), path.c_str()) == 0;
    int linkError = errno;
    if (!linked && (linkError == EPERM || linkError == EOPNOTSUPP) &&
        ::access(path.c_str(), F_OK) != 0) {
        // A file system without hard links: a plain rename, after one more look.
        linked = ::rename(temp.c_str(), path.c_str()) == 0;
        linkError = errno;
    }
    ::unlink(temp.c_str());
    if (!linked) {
        throw Error("cannot create " + path + ": " + std::strerror(linkError),
                    linkError == EEXIST ? ErrorCode::kFileExists : ErrorCode::kCannotOpen);
    }
}

Catalog::Catalog(Connection& connection) : m_connection(&connection) {
    if (!connection.isOpen()) {
        throw Error("the connection is not open", ErrorCode::kNotOpen);
    }
}

namespace {

std::string columnText(sqlite3_stmt* s, int i) {
    const auto* p = sqlite3_column_text(s, i);
    return p ? reinterpret_cast<const char*>(p) : "";
}

// Reads one table's columns from its definition: the declared type holds the Jet
// words, the constraints the zero-length property.
TableInfo describe(Database& db, const std::string& name, const std::string& sql) {
    TableInfo t;
    t.name = name;
    t.system = detail::isSystemTable(name);
    const std::string loweredSql = detail::lower(sql);
    sqlite3_stmt* s = db.prepare("PRAGMA table_info(" + detail::quoteIdent(name) + ")");
    while (sqlite3_step(s) == SQLITE_ROW) {
        ColumnInfo c;
        c.name = columnText(s, 1);
        const std::string declared = detail::upper(columnText(s, 2));
        const bool notNull = sqlite3_column_int(s, 3) != 0;
        const bool pk = sqlite3_column_int(s, 5) != 0;
        bool variable = false;
        if (declared.rfind("TEXT(", 0) == 0) {
            c.definedSize = std::atoi(declared.c_str() + 5);
            c.type = "TEXT(" + std::to_string(c.definedSize) + ")";
            variable = true;
        } else if (declared == "LONGTEXT") {
            c.type = "MEMO";
            variable = true;
        } else if (declared == "INTEGER" && pk) {
            c.type = "COUNTER";
            c.autoIncrement = true;
        } else if (declared.empty()) {
            c.type = "TEXT";
            variable = true;
        } else {
            c.type = declared;
        }
        c.attributes = (variable ? 0 : kColFixed) | (notNull || c.autoIncrement ? 0 : kColNullable);
        if (variable) {
            const std::string needle = detail::lower(detail::zeroLengthConstraint(name, c.name));
            c.allowZeroLength = t.system || loweredSql.find(needle) == std::string::npos;
        }
        t.columns.push_back(std::move(c));
    }
    sqlite3_finalize(s);
    return t;
}

Database& openDb(const std::shared_ptr<Database>& db) {
    if (!db) {
        throw Error("the connection is not open", ErrorCode::kNotOpen);
    }
    return *db;
}

}  // namespace

std::vector<TableInfo> Catalog::tables() const {
    Database& db = openDb(m_connection->m_db);
    db.flushPending();
    std::vector<std::pair<std::string, std::string>> rows;
    sqlite3_stmt* s = db.prepare(
        "SELECT name, sql FROM sqlite_master WHERE type='table' ORDER BY name COLLATE NOCASE");
    while (sqlite3_step(s) == SQLITE_ROW) {
        rows.emplace_back(columnText(s, 0), columnText(s, 1));
    }
    sqlite3_finalize(s);
    std::vector<TableInfo> out;
    out.reserve(rows.size());
    for (const auto& [name, sql] : rows) {
        out.push_back(describe(db, name, sql));
    }
    return out;
}

TableInfo Catalog::table(std::string_view name) const {
    Database& db = openDb(m_connection->m_db);
    db.flushPending();
    sqlite3_stmt* s = db.prepare(
        "SELECT name, sql FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE");
    sqlite3_bind_text(s, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    std::string found, sql;
    if (sqlite3_step(s) == SQLITE_ROW) {
        found = columnText(s, 0);
        sql = columnText(s, 1);
    }
    sqlite3_finalize(s);
    if (found.empty()) {
        throw Error("no table named " + std::string(name), ErrorCode::kNoSuchColumn);
    }
    return describe(db, found, sql);
}

namespace {
const ColumnInfo& findColumn(const TableInfo& t, std::string_view column) {
    for (const auto& c : t.columns) {
        if (iequals(c.name, column)) {
            return c;
        }
    }
    throw Error("no column " + t.name + "." + std::string(column), ErrorCode::kNoSuchColumn);
}
}  // namespace

std::string Catalog::property(std::string_view table, std::string_view column,
                              std::string_view name) const {
    const TableInfo t = this->table(table);
    const ColumnInfo& c = findColumn(t, column);
    auto b = [](bool v) { return std::string(v ? "True" : "False"); };
    if (iequals(name, kAllowZeroLength)) {
        return b(c.allowZeroLength);
    }
    if (iequals(name, "Nullable")) {
        return b((c.attributes & kColNullable) != 0);
    }
    if (iequals(name, "Autoincrement")) {
        return b(c.autoIncrement);
    }
    throw Error("no property \"" + std::string(name) + "\"", ErrorCode::kNoSuchColumn);
}

void Catalog::setProperty(std::string_view table, std::string_view column, std::string_view name,
                          bool value) {
    Database& db = openDb(m_connection->m_db);
    if (!iequals(name, kAllowZeroLength)) {
        throw Error("property \"" + std::string(name) + "\" cannot be set",
                    ErrorCode::kUnsupported);
    }
    if (detail::isSystemTable(table)) {
        throw Error("the engine's own table " + std::string(table) + " cannot be changed",
                    ErrorCode::kUnsupported);
    }
    const std::string tableKey = detail::lower(table);
    auto cached = db.textColumns.find(tableKey);
    if (cached == db.textColumns.end()) {
        const TableInfo t = this->table(table);  // throws for a missing table
        std::set<std::string> texts;
        for (const auto& c : t.columns) {
            if (c.attributes & kColFixed) {
                continue;
            }
            texts.insert(detail::lower(c.name));
        }
        cached = db.textColumns.emplace(tableKey, std::move(texts)).first;
    }
    if (!cached->second.count(detail::lower(column))) {
        throw Error(
            std::string(table) + "." + std::string(column) + ": no such text or memo column",
            ErrorCode::kNoSuchColumn);
    }
    db.pendingZeroLength[std::string(table)][std::string(column)] = value;
    if (!db.inTransaction) {
        db.flushPending();
    }
}

}  // namespace jet
