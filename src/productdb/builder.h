#pragma once

#include <QString>
#include <string_view>

#include "jet/connection.h"

namespace controls {
class FlexGrid;
}

namespace CreateDBSql {

// Lets every nullable text and memo column of every table accept a zero-length string:
// the columns whose attribute flags are the nullable flag alone. Failures after the first
// such column are ignored; a failure before it reaches the caller.
void setAllowZeroLength(jet::Connection& connection);

}  // namespace CreateDBSql

namespace productdb {

// The wizard's values that a build reads and sets.
struct BuildState {
    QString filePath;
    QString password;
    bool& dbExists;       // in: the file already holds the schema; out: True after success
    bool& buildFailed;    // set when the build failed and said so
    QString& curFieldID;  // the ID of the row processed last; kept between builds
};

// Markers the observer receives besides the statements, so that a whole build can be
// followed in order.
inline constexpr std::string_view kTraceBegin = "<begin transaction>";
inline constexpr std::string_view kTraceZeroLength = "<allow zero length>";
inline constexpr std::string_view kTraceCommit = "<commit>";

// Writes the grid into the product database in one transaction: on a new file the
// twenty tables and seed rows, then one FIELD row and one ADDRESS column per new row,
// then the display order of every row. On failure it shows the message naming the row,
// sets buildFailed and commits nothing. Throws only when even its clean-up statement
// fails (the connection never opened, for instance); the create command reports that.
// `engineTrace` sees the SQL the engine hands to SQLCipher (for benchmarks).
void buildDB(const controls::FlexGrid& fg1, BuildState& state,
             const jet::Connection::Observer& observer = {},
             const jet::Connection::Observer& engineTrace = {});

}  // namespace productdb
