// SPDX-License-Identifier: MIT
#pragma once

// A template library of the Windows system (its base.mdb, a Jet file with TEMP_FIELD) as
// the entries of a library file, for the import: read by the Jet file reader in its child
// process, its rows placed by their parents wherever they stand in the table (a folder
// moved into a newer folder comes before its parent there).

#include <QString>

#include "jet/jetfile/jet_file.h"
#include "templates/library_file.h"

namespace templates {

// The entries of the Jet library at `path`, as a file of its export would give them;
// refused as a whole when it cannot be read or holds no TEMP_FIELD with the columns the
// library needs.
ParsedLibrary libraryFromJetFile(const QString& path, const jetfile::ReadOptions& options = {});

}  // namespace templates
