// SPDX-License-Identifier: MIT
#ifndef RV_MAKEDB_MAKE_DB_H
#define RV_MAKEDB_MAKE_DB_H

// The component's public class for C++ hosts. Installed as <rv_makedb/make_db.h>; link
// with rv_makeDB::rv_makeDB (CMake) or `pkg-config --libs rv_makedb`. Plain C types only:
// a host needs neither Qt nor SQLCipher headers, and the call does not depend on the
// host's C++ library version.
//
// A host calls CreateDatabase with the path of the product database, its password and the
// connection string of the template database (null-terminated bytes; a null pointer
// counts as an empty string); the call shows the database creation wizard
// modally and returns when it closes. It returns no result: the host learns the outcome
// from the file.
//
// A host without a Qt application object gets one. A failure to read the template
// library is thrown (std::exception) before any window opens or any file is made.

#include "rv_makedb_export.h"

class makeDB {
  public:
    RV_MAKEDB_API void CreateDatabase(const char* filename, const char* filePass,
                                      const char* base_conn);
};

#endif  // RV_MAKEDB_MAKE_DB_H
