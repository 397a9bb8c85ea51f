#pragma once

// The create command's checks over the grid, and what the command tells of a build.

#include <vector>

#include "controls/msg_box.h"
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

// The checks before a build, over every row including the heading row, in order: at least
// one field; ID and name present, a size for every "文字" field; no two rows with the same
// ID or name (ignoring letter case); a mail field present, or the question.
CreateCheck checkCreate(const controls::FlexGridModel& fg1);

// The data rows as the builder takes them.
std::vector<productdb::NewField> newFields(const controls::FlexGridModel& fg1);

// The messages of a failed build, in the order they are shown: the builder's own, then the
// create command's when even the builder's clean-up failed.
std::vector<controls::Message> buildMessages(const productdb::BuildResult& result);

}  // namespace wizard
