// SPDX-License-Identifier: MIT
#pragma once

// The template library's export and import as the command line runs them: files read and
// written, messages on standard error, an exit status. The work itself is the library's
// (templates/library_import.h).

#include <ostream>
#include <string>

#include "templates/library_owner.h"

namespace component {

// The end of --help: "Here: PATH" (the library used without -t) and a line saying why
// that one, and where its changes go.
std::string templateLibraryHelp();

struct TemplateImportJob {
    std::string file;      // a library file, a library database, or "-" for standard input
    std::string encoding;  // of a library file; empty: UTF-8
    std::string into;      // the folder path the file's top level goes into; empty: the top
    bool skipExisting = false;
};

// Exit statuses (man rv_makedb, EXIT STATUS).
enum class TransferStatus : int {
    kDone = 0,
    kRefused = 1,       // lines refused; each on standard error, nothing written
    kUnusableFile = 2,  // FILE cannot be read or written, or is not a library file
    kLibraryFailed = 3  // the library cannot be opened or written; it is as it was
};

// Writes the library file of `library` to `file` ("-": `out`); a file appears whole or
// not at all.
TransferStatus exportTemplates(const templates::LibraryOwner& library, const std::string& file,
                               std::ostream& out, std::ostream& err);

// Imports `job.file` into `library`, all or nothing (a shared library's copy, made for it,
// goes again when the import fails); says on `out` what it added, and where.
TransferStatus importTemplates(const templates::LibraryOwner& library, const TemplateImportJob& job,
                               std::ostream& out, std::ostream& err);

}  // namespace component
