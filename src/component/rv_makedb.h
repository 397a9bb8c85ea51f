// SPDX-License-Identifier: MIT
/* rv_makedb.h: the component's C entry point, for hosts in C and in languages that call
   C (Python ctypes and the like). Installed as <rv_makedb/rv_makedb.h>; link with
   `pkg-config --libs rv_makedb` (librv_makeDB.so.0). Plain C: no other header needed. */
#ifndef RV_MAKEDB_RV_MAKEDB_H
#define RV_MAKEDB_RV_MAKEDB_H

#include "rv_makedb_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the database creation wizard on the product database `filename`, protected by
   `filePass`, with the field template library reached through the connection string
   `base_conn`, and returns when the wizard has closed (the same call as
   makeDB::CreateDatabase). Returns 0 when the wizard opened and closed, non-zero on an
   error; rv_makeDB_LastError() then tells why. The outcome itself is in the file.
   Strings are UTF-8; a null pointer counts as an empty string. */
RV_MAKEDB_API int rv_makeDB_CreateDatabase(const char* filename, const char* filePass,
                                           const char* base_conn);

/* The reason for the last failed rv_makeDB_CreateDatabase on this thread (UTF-8), or an
   empty string. Valid until the next call on the same thread. */
RV_MAKEDB_API const char* rv_makeDB_LastError(void);

#ifdef __cplusplus
}
#endif

#endif /* RV_MAKEDB_RV_MAKEDB_H */
