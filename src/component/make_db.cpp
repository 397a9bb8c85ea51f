// SPDX-License-Identifier: MIT
#include "component/make_db.h"

#include <exception>
#include <string>

#include "component/create_db_sql.h"
#include "component/host_text.h"
#include "component/rv_makedb.h"

void makeDB::CreateDatabase(const char* filename, const char* filePass, const char* base_conn) {
    // The paths and password reach the file system and the engine byte for byte.
    QString file = component::fromHostBytes(filename ? filename : "");
    QString pass = component::fromHostBytes(filePass ? filePass : "");
    QString conn = component::fromHostBytes(base_conn ? base_conn : "");
    CreateDBSql::showMakeDBForm(file, pass, conn);
}

namespace {
thread_local std::string t_lastError;
}

int rv_makeDB_CreateDatabase(const char* filename, const char* filePass, const char* base_conn) {
    t_lastError.clear();
    try {
        makeDB().CreateDatabase(filename, filePass, base_conn);
        return 0;
    } catch (const std::exception& e) {
        t_lastError = e.what();
    } catch (...) {
        t_lastError = "rv_makeDB: unknown error";
    }
    return 1;
}

const char* rv_makeDB_LastError(void) {
    return t_lastError.c_str();
}
