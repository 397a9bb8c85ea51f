// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include <QString>

namespace component {

// The fields registered in the product database at `path` (host bytes) under `password`, as
// the lines of a field file: one a field in display order, cells tab-separated (ID, name,
// attribute label, size, IME, mail kind, FAX kind), each line ended by '\n'. Batch mode
// reading them back makes the same fields: no cell holds a control character (a field
// made before they were kept out of names is listed without them). Throws jet::Error when the file
// cannot be read.
QString fieldFileOf(const std::string& path, const std::string& password);

}  // namespace component
