// SPDX-License-Identifier: MIT
#pragma once

// The create command's checks over the grid, and what the command tells of a build.

#include <vector>

#include "controls/message.h"
#include "productdb/builder.h"

namespace controls {
class FlexGridModel;
}

namespace wizard {

// What the checks before a build came to.
struct CreateCheck {
    enum class Outcome {
        kNoFields,  // only the heading row: `message` says so
        kRefused,   // `message` names the first row that fails
        kAskMail,   // no mail field: `message` is the question; OK builds
        kPassed,
    };
    Outcome outcome = Outcome::kPassed;
    controls::Message message;
};

// A row the create command refuses, with the message the command shows for it.
struct RowRefusal {
    int row = 0;
    controls::Message message;
};

// Every row the create command refuses, each once, with the first message the checks give
// for it, in the order the checks come upon them: rows without an ID or a name, new rows
// with a list cell that holds no entry of its list or refused what came in, "文字"
// rows without a size, or rows beyond the most fields a database holds (productdb::maxFields,
// existing rows counted), from row 0 (the heading row) down; then the rows that share an ID or
// a name (ignoring letter case) with another, by the first pair of rows that names them.
// The command shows the message of the first. `mostFields` is the most a database holds,
// a file's unless the database is on a server (productdb::maxFields(dataSource)).
std::vector<RowRefusal> refusedRows(const controls::FlexGridModel& fg1,
                                    int mostFields = productdb::maxFields());

// The checks before a build, over every row including the heading row, in order: at least
// one field; ID and name present, a size for every "文字" field, no more fields than a
// database holds; no two rows with the same
// ID or name (ignoring letter case); a mail field present, or the question.
CreateCheck checkCreate(const controls::FlexGridModel& fg1,
                        int mostFields = productdb::maxFields());

// The data rows as the builder takes them.
std::vector<productdb::NewField> newFields(const controls::FlexGridModel& fg1);

// The messages of a failed build, in the order they are shown: the builder's own, then the
// create command's when even the builder's clean-up failed.
std::vector<controls::Message> buildMessages(const productdb::BuildResult& result);

}  // namespace wizard
