#include "catalog.h"

#include <unistd.h>

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

// SQLite's own tables, which the catalog shows as the engine's.
bool isSystemTable(std::string_view name) {
    return name.size() >= 7 && iequals(name.substr(0, 7), "sqlite_");
}

ColumnInfo columnInfo(std::string name, std::string_view declared, bool primaryKey, bool notNull) {
    ColumnInfo c;
    c.name = std::move(name);
    const detail::StoredType type = detail::storedType(declared, primaryKey);
    c.type = type.jetType;
    c.definedSize = type.width;
    c.autoIncrement = type.counter;
    c.attributes =
        (type.variable ? 0 : kColFixed) | (notNull || c.autoIncrement ? 0 : kColNullable);
    return c;
}

// Reads one table's columns from its definition: the declared types hold the Jet
// words, the constraints the zero-length property. Changes still waiting to be written
// (columns added, properties set inside the transaction) are shown as they will be.
TableInfo describe(Database& db, const std::string& name, std::string sql) {
    TableInfo t;
    t.name = name;
    t.system = isSystemTable(name);
    detail::TableDefinition definition(std::move(sql));
    const Database::PendingTable* pending = db.pendingFor(name);
    if (pending) {
        pending->applyTo(definition, name);
    }
    {
        const Statement s = db.prepare("PRAGMA table_info(" + detail::quoteIdent(name) + ")");
        while (sqlite3_step(s.get()) == SQLITE_ROW) {
            t.columns.push_back(columnInfo(std::string(s.text(1)), s.text(2),
                                           sqlite3_column_int(s.get(), 5) != 0,
                                           sqlite3_column_int(s.get(), 3) != 0));
        }
    }
    if (pending) {
        for (const Database::AddedColumn& added : pending->columns) {
            t.columns.push_back(columnInfo(added.name, added.type, false, false));
        }
    }
    std::set<std::string> texts;
    for (ColumnInfo& c : t.columns) {
        if (!(c.attributes & kColFixed)) {
            c.allowZeroLength = t.system || !definition.hasZeroLengthRule(name, c.name);
            texts.insert(detail::lower(c.name));
        }
    }
    db.textColumns[detail::lower(name)] = std::move(texts);
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
    std::vector<std::pair<std::string, std::string>> rows;
    {
        const Statement s = db.prepare(
            "SELECT name, sql FROM sqlite_master WHERE type='table' ORDER BY name COLLATE NOCASE");
        while (sqlite3_step(s.get()) == SQLITE_ROW) {
            rows.emplace_back(s.text(0), s.text(1));
        }
    }
    std::vector<TableInfo> out;
    out.reserve(rows.size());
    for (auto& [name, sql] : rows) {
        out.push_back(describe(db, name, std::move(sql)));
    }
    return out;
}

TableInfo Catalog::table(std::string_view name) const {
    Database& db = openDb(m_connection->m_db);
    std::string found, sql;
    {
        const Statement s = db.prepare(
            "SELECT name, sql FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE");
        sqlite3_bind_text(s.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(s.get()) == SQLITE_ROW) {
            found = s.text(0);
            sql = s.text(1);
        }
    }
    if (found.empty()) {
        throw Error("no table named " + std::string(name), ErrorCode::kNoSuchColumn);
    }
    return describe(db, found, std::move(sql));
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
    if (isSystemTable(table)) {
        throw Error("the engine's own table " + std::string(table) + " cannot be changed",
                    ErrorCode::kUnsupported);
    }
    const std::string tableKey = detail::lower(table);
    auto cached = db.textColumns.find(tableKey);
    if (cached == db.textColumns.end()) {
        this->table(table);  // throws for a missing table
        cached = db.textColumns.find(tableKey);
    }
    if (!cached->second.count(detail::lower(column))) {
        throw Error(
            std::string(table) + "." + std::string(column) + ": no such text or memo column",
            ErrorCode::kNoSuchColumn);
    }
    db.pending[tableKey].zeroLength[detail::lower(column)] = {std::string(column), value};
    if (!db.inTransaction) {
        db.flushPending();
    }
}

}  // namespace jet
