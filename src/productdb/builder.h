// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/connection.h"

namespace CreateDBSql {

// Lets every nullable text and memo column of every table accept a zero-length string:
// the columns whose attribute flags are the nullable flag alone. Failures after the first
// such column are ignored; a failure before it reaches the caller.
void setAllowZeroLength(jet::Connection& connection);

}  // namespace CreateDBSql

namespace productdb {

// One field definition as the wizard's grid holds it: the labels, not the codes.
struct NewField {
    QString fieldId;
    QString name;
    QString attr;           // attribute label
    QString size;           // digits, or empty
    QString ime;            // IME label
    QString mail;           // mail kind label, or blank
    QString fax;            // FAX kind label, or blank
    bool existing = false;  // already registered in the file: only renumbered
};

// The wizard's values that a build reads and sets, carried from one build to the next.
struct BuildState {
    bool dbExists = false;  // in: the file holds the schema; out: true after a success
    QString curFieldID;     // the ID of the field processed last, kept between builds
};

// What a build came to.
struct BuildResult {
    bool built = false;
    // On failure: the row in hand as the message names it (the heading row is row 0, the
    // first field row 1; the row count between the field loop and the renumbering), the
    // ID in hand (empty: the failure came before any field), whether the clean-up
    // statement failed as well, and the engine's words.
    int row = 0;
    QString curFieldID;
    bool cleanupFailed = false;
    std::string reason;
};

// The product file a build writes: the path and password as the engine takes them, bytes.
struct ProductFile {
    std::string path;
    std::string password;
};

// The most fields a product database holds, those already in it included: each is a column
// of ADDRESS, which has one column of its own (ADDRESS_NO), and no table holds more columns
// than the engine's limit: a file's, or on a server (`dataSource` a server's URI) the
// server's.
int maxFields();
int maxFields(std::string_view dataSource);

// True when the database holds any of the product's twenty tables (in any case). A
// database on a server that holds none is not yet built.
bool holdsProductTables(jet::Connection& connection);

// Markers the observer receives besides the statements, so that a whole build can be
// followed in order.
inline constexpr std::string_view kTraceBegin = "<begin transaction>";
inline constexpr std::string_view kTraceZeroLength = "<allow zero length>";
inline constexpr std::string_view kTraceCommit = "<commit>";

// One step of a build, in the order the build takes them.
struct BuildStep {
    enum class Kind {
        kStatement,        // `sql` is sent as it stands
        kAllowZeroLength,  // CreateDBSql::setAllowZeroLength over the build's connection
    };
    Kind kind = Kind::kStatement;
    std::string sql;
    // What a failure of this step names: the grid row in hand (0 before the field rows, the
    // row count between the field rows and the renumbering) and, when the step starts a
    // field, that field's ID (otherwise the ID in hand stays).
    int row = 0;
    std::optional<QString> startsField;
};

// Everything a build does between beginning and committing its transaction, in order: on a
// new file (`dbExists` false) the twenty tables, the seed rows with `today` and the
// zero-length pass; then for each new field its FIELD row and ADDRESS column; the
// zero-length pass; the display order of every field. The build runs exactly these steps,
// and a preview shows their statements.
std::vector<BuildStep> buildSteps(const std::vector<NewField>& fields, bool dbExists,
                                  const QDate& today);

// Writes `fields` (in list order, row 1 first) into the product database in one
// transaction, as buildSteps() lists the steps for today. A failure commits nothing. A new
// database (`dbExists` false) may be an empty file, which the build makes a database.
// `engineTrace` sees the SQL the engine hands to SQLCipher (for benchmarks).
BuildResult buildDB(const std::vector<NewField>& fields, const ProductFile& file, BuildState& state,
                    const jet::Connection::Observer& observer = {},
                    const jet::Connection::Observer& engineTrace = {});

}  // namespace productdb
