// SPDX-License-Identifier: MIT
#include "catalog.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "connection.h"
#include "connection_string.h"
#include "database.h"
#include "error.h"
#include "schema_rules.h"
#include "server.h"
#include "text_util.h"

namespace jet {

using detail::iequals;

namespace {

// A database is made under a name of its own beside its path, NAME.XXXXXX.creating (and
// SQLite's journal, the same name with "-journal"), and moved into place when complete,
// so that the path never shows a half-written file. A process that dies meanwhile leaves
// these behind. To tell them from the work of a creation still running, every creation
// holds a shared lock (flock) on the folder while it makes its file; a creation that gets
// the folder's lock exclusively knows that none runs there, and first removes what dead
// ones left of the same NAME.
constexpr std::string_view kTempSuffix = ".creating";
constexpr std::string_view kJournalSuffix = "-journal";

bool flockNow(int fd, int operation) {
    int rc;
    do {
        rc = ::flock(fd, operation | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// Whether `name` is NAME.XXXXXX.creating, or its journal, for the database name `base`.
bool isTempName(std::string_view name, std::string_view base) {
    constexpr std::size_t kRandom = 6;  // mkstemp's letters and digits
    if (name.size() > kJournalSuffix.size() &&
        name.substr(name.size() - kJournalSuffix.size()) == kJournalSuffix) {
        name.remove_suffix(kJournalSuffix.size());
    }
    if (name.size() != base.size() + 1 + kRandom + kTempSuffix.size() ||
        name.substr(0, base.size()) != base || name[base.size()] != '.' ||
        name.substr(name.size() - kTempSuffix.size()) != kTempSuffix) {
        return false;
    }
    const std::string_view random = name.substr(base.size() + 1, kRandom);
    return std::all_of(random.begin(), random.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// The folder's creation lock: held shared while this creation runs.
class FolderLock {
  public:
    FolderLock(const std::string& folder, const std::string& base)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_fd < 0) {
            return;  // a folder that cannot be read: no clean-up, no guard
        }
        if (flockNow(m_fd, LOCK_EX)) {
            removeDead(folder, base);
        }
        // An exclusive hold elsewhere lasts only while that creation clears up.
        for (int wait = 0; !flockNow(m_fd, LOCK_SH) && wait < 200; ++wait) {
            const timespec tenMs{0, 10'000'000};
            ::nanosleep(&tenMs, nullptr);
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    static void removeDead(const std::string& folder, const std::string& base) {
        std::vector<std::string> dead;
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                if (isTempName(entry->d_name, base)) {
                    dead.push_back(folder + "/" + entry->d_name);
                }
            }
            ::closedir(dir);
        }
        for (const std::string& file : dead) {
            ::unlink(file.c_str());
        }
    }

    int m_fd;
};

}  // namespace

void Catalog::create(std::string_view connectionString) {
    const ConnectionString cs = ConnectionString::parse(connectionString);
    const std::string& path = cs.dataSource();
    if (ConnectionString::namesServer(path)) {
        const auto server = connectServer(path, cs.password());
        if (!server->names.tables.empty()) {
            throw Error("cannot create " + server->source + ": the database already holds tables",
                        ErrorCode::kFileExists);
        }
        return;
    }
    if (::access(path.c_str(), F_OK) == 0) {
        throw Error("cannot create " + path + ": the file already exists", ErrorCode::kFileExists);
    }
    const auto slash = path.rfind('/');
    const FolderLock guard(slash == std::string::npos ? "." : path.substr(0, slash + 1),
                           path.substr(slash == std::string::npos ? 0 : slash + 1));
    std::string temp = path + ".XXXXXX" + std::string(kTempSuffix);
    const int fd = ::mkostemps(temp.data(), static_cast<int>(kTempSuffix.size()), O_CLOEXEC);
    if (fd < 0) {
        throw Error("cannot create " + path + ": " + std::strerror(errno), ErrorCode::kCannotOpen);
    }
    ::close(fd);
    ::unlink(temp.c_str());
    openDatabase(temp, cs.password(), true);  // removes what it made when it fails
    // Into place without replacing anything: an atomic rename where the file system has
    // one, else a hard link, else (no hard links either) a plain rename after one more look.
    bool linked =
        ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0;
    int linkError = errno;
    if (!linked && (linkError == EINVAL || linkError == ENOSYS)) {
        linked = ::link(temp.c_str(), path.c_str()) == 0;
        linkError = errno;
    }
    if (!linked && (linkError == EPERM || linkError == EOPNOTSUPP) &&
        ::access(path.c_str(), F_OK) != 0) {
        linked = ::rename(temp.c_str(), path.c_str()) == 0;
        linkError = errno;
    }
    ::unlink(temp.c_str());
    if (!linked) {
        throw Error("cannot create " + path + ": " + std::strerror(linkError),
                    linkError == EEXIST ? ErrorCode::kFileExists : ErrorCode::kCannotOpen);
    }
}

int Catalog::columnLimit() {
    // The library's own limit, the same for every connection: read once off one in memory.
    static const int limit = [] {
        sqlite3* handle = nullptr;
        int columns = 2000;  // SQLite's default, should the library not answer
        if (sqlite3_open(":memory:", &handle) == SQLITE_OK) {
            columns = sqlite3_limit(handle, SQLITE_LIMIT_COLUMN, -1);
        }
        sqlite3_close(handle);
        return columns;
    }();
    return limit;
}

int Catalog::columnLimit(std::string_view dataSource) {
    return ConnectionString::namesServer(dataSource) ? kServerColumnLimit : columnLimit();
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
    if (m_connection->m_server) {
        return serverTables(*m_connection->m_server);
    }
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
    if (m_connection->m_server) {
        if (name.empty()) {
            throw Error("no table named", ErrorCode::kNoSuchColumn);
        }
        return serverTables(*m_connection->m_server, name).front();
    }
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

std::vector<IndexInfo> Catalog::indexes(std::string_view table) const {
    const std::string name = this->table(table).name;  // throws for a missing table
    if (m_connection->m_server) {
        return serverIndexes(*m_connection->m_server, name);
    }
    Database& db = openDb(m_connection->m_db);
    struct Found {
        IndexInfo info;
        std::string sqliteName;
    };
    std::vector<Found> found;
    {
        const Statement s = db.prepare("PRAGMA index_list(" + detail::quoteIdent(name) + ")");
        while (sqlite3_step(s.get()) == SQLITE_ROW) {
            Found f;
            f.sqliteName = s.text(1);
            f.info.unique = sqlite3_column_int(s.get(), 2) != 0;
            const std::string_view origin = s.text(3);
            f.info.kind = origin == "pk"  ? IndexInfo::Kind::kPrimaryKey
                          : origin == "u" ? IndexInfo::Kind::kUnique
                                          : IndexInfo::Kind::kIndex;
            if (f.info.kind == IndexInfo::Kind::kIndex) {
                f.info.name = f.sqliteName;
            }
            found.push_back(std::move(f));
        }
    }
    for (Found& f : found) {
        const Statement s =
            db.prepare("PRAGMA index_xinfo(" + detail::quoteIdent(f.sqliteName) + ")");
        while (sqlite3_step(s.get()) == SQLITE_ROW) {
            if (sqlite3_column_int(s.get(), 5) != 0) {  // a key column, not the row's number
                f.info.columns.push_back(
                    {std::string(s.text(2)), sqlite3_column_int(s.get(), 3) != 0});
            }
        }
    }
    // SQLite names the index of the Nth UNIQUE clause "sqlite_autoindex_TABLE_N".
    auto clauseNumber = [](const std::string& sqliteName) {
        const auto underscore = sqliteName.rfind('_');
        return std::atoi(sqliteName.c_str() + underscore + 1);
    };
    std::sort(found.begin(), found.end(), [&](const Found& a, const Found& b) {
        if (a.info.kind != b.info.kind) {
            return a.info.kind < b.info.kind;
        }
        if (a.info.kind != IndexInfo::Kind::kIndex) {
            return clauseNumber(a.sqliteName) < clauseNumber(b.sqliteName);
        }
        return detail::lower(a.info.name) < detail::lower(b.info.name);
    });
    std::vector<IndexInfo> out;
    out.reserve(found.size());
    for (Found& f : found) {
        out.push_back(std::move(f.info));
    }
    return out;
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
    if (!iequals(name, kAllowZeroLength)) {
        throw Error("property \"" + std::string(name) + "\" cannot be set",
                    ErrorCode::kUnsupported);
    }
    if (m_connection->m_server) {
        setServerZeroLength(*m_connection->m_server, table, column, value);
        return;
    }
    Database& db = openDb(m_connection->m_db);
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
