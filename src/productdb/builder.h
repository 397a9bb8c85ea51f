#pragma once

#include <QString>
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

// Markers the observer receives besides the statements, so that a whole build can be
// followed in order.
inline constexpr std::string_view kTraceBegin = "<begin transaction>";
inline constexpr std::string_view kTraceZeroLength = "<allow zero length>";
inline constexpr std::string_view kTraceCommit = "<commit>";

// Writes `fields` (in list order, row 1 first) into the product database in one
// transaction: on a new file the twenty tables and seed rows, then one FIELD row and one
// ADDRESS column per new field, then the display order of every field. A failure commits
// nothing. `engineTrace` sees the SQL the engine hands to SQLCipher (for benchmarks).
BuildResult buildDB(const std::vector<NewField>& fields, const ProductFile& file, BuildState& state,
                    const jet::Connection::Observer& observer = {},
                    const jet::Connection::Observer& engineTrace = {});

}  // namespace productdb
