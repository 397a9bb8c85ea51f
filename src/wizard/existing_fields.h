#pragma once

#include <QString>

namespace controls {
class FlexGrid;
}

namespace wizard {

// Copies the fields registered in the product database's FIELD table into the empty
// grid as existing-field rows: labels for the stored codes, DISP_SEQNO as the read-only
// marker, "1" as the existing-field marker, and their own background colour.
// Engine failures (wrong password, no FIELD table, damaged file) reach the caller.
void loadExistingDB(controls::FlexGrid& fg1, const QString& productConnectionString);

}  // namespace wizard
