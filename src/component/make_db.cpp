#include "component/make_db.h"

#include <exception>
#include <string>

#include "component/create_db_sql.h"
#include "component/host_text.h"
#include "component/rv_makedb.h"

void makeDB::CreateDatabase(std::string& filename, std::string& filePass, std::string& base_conn) {
    // The paths and password reach the file system and the engine byte for byte.
    QString file = component::fromHostBytes(filename);
    QString pass = component::fromHostBytes(filePass);
    QString conn = component::fromHostBytes(base_conn);
    CreateDBSql::showMakeDBForm(file, pass, conn);
}

namespace {
thread_local std::string t_lastError;
}

int rv_makeDB_CreateDatabase(const char* filename, const char* filePass, const char* base_conn) {
    t_lastError.clear();
    try {
        std::string f = filename ? filename : "";
        std::string p = filePass ? filePass : "";
        std::string c = base_conn ? base_conn : "";
        makeDB().CreateDatabase(f, p, c);
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
