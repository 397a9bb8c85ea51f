#pragma once

namespace controls {
class FlexGrid;
}

namespace productdb {

enum class CheckOutcome {
    kPassed,     // build
    kRefused,    // a message told the user what to fix
    kCancelled,  // the user declined the question
};

// There is at least one field row; otherwise says so.
bool checkHasFields(const controls::FlexGrid& fg1);

// The checks before a build, over every row including the heading row, in order: ID and
// name present, a size for every "文字" field, no two rows with the same ID or name
// (ignoring letter case), and a mail field present or the user's consent without one.
// Shows its message and stops at the first row that fails.
CheckOutcome checkGrid(const controls::FlexGrid& fg1);

}  // namespace productdb
