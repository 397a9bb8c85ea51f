// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace controls {
class FlexGridModel;
}

namespace wizard {

// Copies the fields registered in the product database into the empty grid as
// existing-field rows: labels for the stored codes, DISP_SEQNO as the read-only marker,
// "1" as the existing-field marker, and their own background colour. Engine failures
// (wrong password, no FIELD table, damaged file) reach the caller as jet::Error.
void loadExistingDB(controls::FlexGridModel& fg1, const std::string& productConnectionString);

}  // namespace wizard
