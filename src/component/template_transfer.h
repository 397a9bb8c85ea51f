// SPDX-License-Identifier: MIT
#pragma once

// The template library's export and import as the command line runs them: files read and
// written, messages on standard error, an exit status. The work itself is the library's
// (templates/library_import.h).

#include <ostream>
#include <string>

namespace component {

// The template library a program works on.
struct TemplateTarget {
    std::string library;  // a path or a whole connection string
    // Where changes go when not to `library` itself (a shared or installed library: the
    // user's copy, made on the first change); empty otherwise.
    std::string changes;

    // The library named with -t (a path or connection string); without one, the library
    // the data folders give, its changes to the user's copy.
    static TemplateTarget of(const std::string& named);
};

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

// Writes the library file of `target` to `file` ("-": `out`); a file appears whole or
// not at all.
TransferStatus exportTemplates(const TemplateTarget& target, const std::string& file,
                               std::ostream& out, std::ostream& err);

// Imports `job.file` into `target`, all or nothing; says on `out` what it added.
TransferStatus importTemplates(const TemplateTarget& target, const TemplateImportJob& job,
                               std::ostream& out, std::ostream& err);

}  // namespace component
