// SPDX-License-Identifier: MIT
#pragma once

// Export and import of the template library through library files (library_file.h).
//
// An import adds what a file holds to a library: folders are matched by their path (an
// existing folder is reused, a missing one made as the folder editor makes it), fields
// are checked by the field editor's rules and added as it adds them, after the fields
// their folder holds, in the order of their positions. It is all or nothing: one refused
// line and nothing is written; the writes run in one transaction.

#include <QString>
#include <QStringList>
#include <vector>

#include "templates/library_file.h"

namespace jet {
class Connection;
}

namespace templates {

struct ImportOptions {
    QStringList into;  // the folder the file's top level goes into (empty: the top)
    QString below = QStringLiteral("0");  // the folder (its number) `into` starts from
    bool skipExisting = false;            // pass over fields whose ID the library has already
    bool checkOnly = false;               // plan and check, and write nothing
};

struct ImportResult {
    std::vector<LibraryRefusal> refusals;  // when any, nothing was written
    int folders = 0;                       // folders made (checkOnly: to make)
    int fields = 0;                        // fields added (checkOnly: to add)
    int skipped = 0;                       // fields passed over (skipExisting)
    // The folder the first line of the file went into, below `into` (its number), for the
    // browser to show; empty when the file held nothing to import.
    QString firstFolder;
};

// The text of a library file of the library on `connection`, below the folder `top`.
QString exportLibrary(jet::Connection& connection, const QString& top = QStringLiteral("0"));

// The entries of the library database at `path` (a path, or a whole connection string),
// as a file of its export would give them. Throws jet::Error when it cannot be read.
ParsedLibrary libraryFromDatabase(const QString& path);

// The entries of the file at `path`: a library database (see libraryFromDatabase), a
// template library of the Windows system (a Jet file, library_jet.h), else a UTF-8 library
// file. A file that cannot be read or opened is refused as a whole.
ParsedLibrary readLibraryFile(const QString& path);

class LibraryConnection;

// Imports `lines` into `library`, in one write through its owner (a shared library's first
// change makes the user's copy; a failed import removes it again). Throws jet::Error when
// the library refuses a write, std::runtime_error when the copy cannot be made; the library
// is then as it was.
ImportResult importLibrary(LibraryConnection& library, const std::vector<LibraryLine>& lines,
                           const ImportOptions& options = {});

}  // namespace templates
