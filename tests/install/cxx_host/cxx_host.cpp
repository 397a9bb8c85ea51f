// SPDX-License-Identifier: MIT
// A host written in C++: calls makeDB::CreateDatabase with a template library that cannot
// be read, and catches what the call throws. No window opens and no file is made.
#include <rv_makedb/make_db.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cxx_host TEMPDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::string file = dir + "/cxx_host.mdb", pass = "pw";
    std::string conn =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir + "/no_such_library.mdb;";
    try {
        makeDB().CreateDatabase(file.c_str(), pass.c_str(), conn.c_str());
    } catch (const std::exception& e) {
        // The error names the library, and no database file was created.
        const bool ok = std::string(e.what()).find("no_such_library.mdb") != std::string::npos &&
                        !std::ifstream(file).good();
        std::printf("%s: %s\n", ok ? "ok" : "wrong", e.what());
        return ok ? 0 : 1;
    }
    std::fprintf(stderr, "CreateDatabase returned without an error\n");
    return 1;
}
