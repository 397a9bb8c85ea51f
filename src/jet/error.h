#pragma once

#include <stdexcept>
#include <string>

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
};

class Error : public std::runtime_error {
  public:
    Error(const std::string& message, int code) : std::runtime_error(message), m_code(code) {}
    Error(const std::string& message, ErrorCode code)
        : std::runtime_error(message), m_code(static_cast<int>(code)) {}

    int code() const noexcept { return m_code; }

  private:
    int m_code;
};

}  // namespace jet
