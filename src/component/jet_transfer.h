// SPDX-License-Identifier: MIT
#pragma once

// Moving from the Windows system as the command line runs it: --import-jet OLD NEW, with
// a progress line on a terminal, the reason on standard error, an exit status. The work
// itself is the product database's (productdb/jet_import.h).

#include <functional>
#include <ostream>
#include <string>

namespace component {

struct JetImportJob {
    std::string oldFile;  // the Windows system's product database (a Jet 4 file)
    // The product database to make: a file that must not exist, or a server's database
    // (a URI) that holds no table yet.
    std::string newFile;
    std::string password;
    // Asked between rows: true stops the import (nothing is left behind).
    std::function<bool()> stopRequested;
    // Where a progress line goes, when it is a terminal (-1: none).
    int progressFd = -1;
};

// Exit statuses (the manual's table).
enum class JetImportStatus : int {
    kDone = 0,
    kUsage = 2,    // NEW exists already
    kRefused = 3,  // OLD is no product database of the Windows system, or cannot be read,
                   // or NEW cannot be written (a server's holds tables already, or a
                   // wizard has it open); NEW does not exist, or on a server holds no table
};

// Imports, and says on `out` what it made.
JetImportStatus importJetDatabase(const JetImportJob& job, std::ostream& out, std::ostream& err);

// Whether the file at `path` is a Jet database (the Windows system's), by its content.
bool isEarlierVersionDatabase(const std::string& path);

}  // namespace component
