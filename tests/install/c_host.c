/* SPDX-License-Identifier: MIT */
/* A host written in C, built against the installed tree with pkg-config alone: calls the
   component's C entry point. A template library that cannot be read makes the call fail
   with a message, no window and no file. */
#include <rv_makedb/rv_makedb.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: c_host TEMPDIR\n");
        return 2;
    }
    char db[4096], conn[4096];
    snprintf(db, sizeof db, "%s/c_host.mdb", argv[1]);
    snprintf(conn, sizeof conn,
             "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%s/no_such_library.mdb;", argv[1]);
    int rc = rv_makeDB_CreateDatabase(db, "pw", conn);
    const char* err = rv_makeDB_LastError();
    if (rc == 0 || err == NULL || strstr(err, "no_such_library.mdb") == NULL) {
        fprintf(stderr, "expected a failure naming the library, got %d: %s\n", rc, err ? err : "");
        return 1;
    }
    FILE* f = fopen(db, "rb");
    if (f) {
        fclose(f);
        fprintf(stderr, "a database file was created\n");
        return 1;
    }
    printf("ok: %s\n", err);
    return 0;
}
