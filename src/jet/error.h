// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace jet {

// What went wrong, in the engine's words. The code is SQLite's extended result code
// when the engine below refused something, or one of ErrorCode when we did.
enum class ErrorCode : int {
    kSyntax = 1001,       // the statement is not Jet SQL we understand
    kUnsupported = 1002,  // understood, but not something this engine does
    kConnectionString = 1003,
    kFileExists = 1004,    // Catalog::create on a path that is taken
    kCannotOpen = 1005,    // missing, directory, damaged, not a database, wrong password
    kNotOpen = 1006,       // the connection is closed
    kNoCurrentRow = 1007,  // read past the end of a record set
    kNoSuchField = 1008,
    kNoSuchColumn = 1009,  // catalog: no such table or column
    kInvalidName = 1010,   // a table or column name that is reserved or malformed
    kTransaction = 1011,   // commit/rollback without begin, nested begin
    kServer = 1012,        // a PostgreSQL server refused it (the kind says why)
};

// What went wrong as a person would be told of it: codes that mean the same to a user share
// a kind. reasonInJapanese() holds the sentence for each.
enum class ErrorKind : int {
    kOther,             // none of the below
    kLocked,            // another program holds the file
    kReadOnly,          // the file or its folder may not be written
    kDiskFull,          // no room left to write
    kDiskError,         // the file system failed to read or write
    kNoSuchFile,        // nothing at the path
    kNotAFile,          // a folder at the path
    kNotADatabase,      // empty, damaged, no database, or a wrong password
    kCannotOpen,        // any other reason a file cannot be opened or made
    kFileExists,        // a file is already at the path to be made
    kUnterminated,      // a quote, bracket or date left open in a statement
    kSyntax,            // any other statement the engine does not understand
    kUnsupported,       // understood, but not something this engine does
    kValueRefused,      // a rule of the table: required, unique, width, type
    kTooBig,            // a text or value larger than the engine holds
    kNoSuchObject,      // no such table, column or field
    kInvalidName,       // a reserved or malformed table or column name
    kConnectionString,  // a connection string the engine cannot read
    kMisuse,            // a closed connection, an ended record set, a stray commit
};
inline constexpr int kErrorKinds = static_cast<int>(ErrorKind::kMisuse) + 1;

class Error : public std::runtime_error {
  public:
    // The kind follows from the code, unless the engine knows better where it throws.
    Error(const std::string& message, int code);
    Error(const std::string& message, ErrorCode code);
    Error(const std::string& message, int code, ErrorKind kind)
        : std::runtime_error(message), m_code(code), m_kind(kind) {}
    Error(const std::string& message, ErrorCode code, ErrorKind kind)
        : Error(message, static_cast<int>(code), kind) {}

    int code() const noexcept { return m_code; }
    ErrorKind kind() const noexcept { return m_kind; }

  private:
    int m_code;
    ErrorKind m_kind;
};

// The kind of an error with `code` (SQLite's or ErrorCode) where nothing more is known.
ErrorKind kindOf(int code);

// The reason a window shows for an error of `kind`, in Japanese, UTF-8: one sentence
// for each kind. The engine's own words (what()) stay for logs and batch output.
std::string_view reasonInJapanese(ErrorKind kind);

}  // namespace jet
