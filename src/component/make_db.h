#ifndef RV_MAKEDB_MAKE_DB_H
#define RV_MAKEDB_MAKE_DB_H

// The component's public class for C++ hosts. Installed as <rv_makedb/make_db.h>; link
// with rv_makeDB::rv_makeDB (CMake) or `pkg-config --libs rv_makedb`. Standard C++ only:
// a host needs neither Qt nor SQLCipher headers.
//
// A host calls CreateDatabase with the path of the product database, its password and the
// connection string of the template database; the call shows the database creation wizard
// modally and returns when it closes. It returns no result: the host learns the outcome
// from the file.
//
// A host without a Qt application object gets one. A failure to read the template
// library is thrown (std::exception) before any window opens or any file is made.

#include <string>

class makeDB {
  public:
    void CreateDatabase(std::string& filename, std::string& filePass, std::string& base_conn);
};

#endif  // RV_MAKEDB_MAKE_DB_H
