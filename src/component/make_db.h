#pragma once

#include <string>

// The component's public class. A host calls CreateDatabase with the path of the product
// database, its password and the connection string of the template database; the call
// shows the database creation wizard modally and returns when it closes. It returns no
// result: the host learns the outcome from the file.
//
// A host without a Qt application object gets one. A failure to read the template
// library is thrown (std::exception) before any window opens or any file is made.
class makeDB {
  public:
    void CreateDatabase(std::string& filename, std::string& filePass, std::string& base_conn);
};

extern "C" {
// The same call for hosts in other languages (C, Python ctypes). Returns 0 when the wizard
// opened and closed, non-zero on an error; rv_makeDB_LastError() then tells why (UTF-8,
// valid until the next call on the same thread).
int rv_makeDB_CreateDatabase(const char* filename, const char* filePass, const char* base_conn);
const char* rv_makeDB_LastError(void);
}
