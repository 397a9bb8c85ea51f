// SPDX-License-Identifier: MIT
/* rv_makedb_export.h: RV_MAKEDB_API marks the component's public functions, the only
   symbols that librv_makeDB.so.0 exports; the rest of the component is built hidden.
   Installed beside <rv_makedb/rv_makedb.h> and <rv_makedb/make_db.h>, which include it. */
#ifndef RV_MAKEDB_RV_MAKEDB_EXPORT_H
#define RV_MAKEDB_RV_MAKEDB_EXPORT_H

#if defined(__GNUC__) || defined(__clang__)
#define RV_MAKEDB_API __attribute__((visibility("default")))
#else
#define RV_MAKEDB_API
#endif

#endif /* RV_MAKEDB_RV_MAKEDB_EXPORT_H */
