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
    std::string file = dir + "/cxx_host.mdb";
    std::string pass = "pw";
    std::string conn =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir + "/no_such_library.mdb;";
    try {
        makeDB().CreateDatabase(file, pass, conn);
    } catch (const std::exception& e) {
        const std::string what = e.what();
        if (what.find("no_such_library.mdb") == std::string::npos) {
            std::fprintf(stderr, "the error does not name the library: %s\n", what.c_str());
            return 1;
        }
        if (std::ifstream(file).good()) {
            std::fprintf(stderr, "a database file was created\n");
            return 1;
        }
        std::printf("ok: %s\n", what.c_str());
        return 0;
    }
    std::fprintf(stderr, "CreateDatabase returned without an error\n");
    return 1;
}
