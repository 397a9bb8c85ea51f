// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jet {

class Connection;

// Column attribute flags, numbered as ADOX numbers them.
enum ColumnAttribute : int {
    kColFixed = 0x1,
    kColNullable = 0x2,
};

// The most columns a table of a PostgreSQL server holds.
inline constexpr int kServerColumnLimit = 1600;

inline constexpr std::string_view kAllowZeroLength = "Jet OLEDB:Allow Zero Length";

struct ColumnInfo {
    std::string name;
    std::string type;     // Jet words: LONG, TEXT(32), MEMO, DATE, DOUBLE, YESNO, COUNTER
    int definedSize = 0;  // width of a TEXT column, else 0
    int attributes = 0;   // kColFixed | kColNullable
    bool allowZeroLength = false;
    bool autoIncrement = false;
};

struct TableInfo {
    std::string name;
    bool system = false;  // the engine's own tables
    std::vector<ColumnInfo> columns;
};

// A table's primary key, one of its UNIQUE clauses, or an index made by CREATE INDEX.
struct IndexInfo {
    enum class Kind { kPrimaryKey, kUnique, kIndex };
    Kind kind = Kind::kIndex;
    std::string name;  // the index's name (CREATE INDEX only)
    bool unique = false;
    struct Column {
        std::string name;
        bool descending = false;
    };
    std::vector<Column> columns;  // in key order
};

// The database catalog over an open connection: tables (the engine's own included),
// their columns, attribute flags and named properties.
class Catalog {
  public:
    // Creates a new, empty database file for the connection string's Data Source,
    // encrypted with its password (an empty password makes a plain file). Fails with
    // ErrorCode::kFileExists when something is at that path. A server's database is made
    // by the server's administrator: here it must exist and hold no table yet.
    static void create(std::string_view connectionString);

    // The most columns a table of any database file can hold.
    static int columnLimit();
    // The most columns a table of the database that `dataSource` names can hold: a file's
    // limit, or a server's.
    static int columnLimit(std::string_view dataSource);

    explicit Catalog(Connection& connection);

    // Every table in name order (ignoring case), with its columns in table order.
    std::vector<TableInfo> tables() const;
    TableInfo table(std::string_view name) const;
    // The keys and indexes of a table: its primary key first (a COUNTER column, which is
    // its table's key, is not listed), then its UNIQUE clauses as declared, then its
    // indexes by name.
    std::vector<IndexInfo> indexes(std::string_view table) const;

    // Named properties of a column. Readable: "Jet OLEDB:Allow Zero Length",
    // "Nullable", "Autoincrement" (as "True"/"False"); settable: the first.
    std::string property(std::string_view table, std::string_view column,
                         std::string_view name) const;
    void setProperty(std::string_view table, std::string_view column, std::string_view name,
                     bool value);

  private:
    Connection* m_connection;
};

}  // namespace jet
