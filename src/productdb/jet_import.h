// SPDX-License-Identifier: MIT
#pragma once

// Moving from the Windows system: a product database it made (a Jet 4 file) becomes a
// new product database of ours holding everything the old one holds — the twenty tables
// with every row, FIELD as it is, one ADDRESS column per field with the old type, width,
// "required" and zero-length settings — and the tables and columns the old file holds
// beyond the product's, where the engine has their type.
//
// The old file is read by the Jet file reader's child process and never written. The new
// file is written in one transaction; on any failure it does not exist afterwards.

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>

#include "jet/jetfile/jet_file.h"
#include "productdb/builder.h"

namespace productdb {

class JetImportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct JetImportProgress {
    std::string table;      // the table whose rows are being written
    std::size_t rows = 0;   // rows written so far, all tables
    std::size_t total = 0;  // rows the old file holds
};

struct JetImportOptions {
    jetfile::ReadOptions read;
    // Called now and then while rows are written.
    std::function<void(const JetImportProgress&)> progress;
    // Asked between rows; true ends the import as a failure (nothing is left behind).
    std::function<bool()> stopRequested;
};

struct JetImportResult {
    std::size_t tables = 0;
    std::size_t rows = 0;
    std::size_t fields = 0;  // FIELD rows
};

// Imports the Jet file `oldPath` into `target`: a file, which must not exist, or a server's
// database (`target.path` its URI), which must hold no table yet. Throws
// JetImportError with the reason (the file is no Jet database, or no product database and
// what it lacks; a column of a type the engine does not have, naming table and column;
// the reader's failure; what the engine refused).
JetImportResult importJetProduct(const std::string& oldPath, const ProductFile& target,
                                 const JetImportOptions& options = {});

}  // namespace productdb
