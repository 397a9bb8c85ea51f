#!/usr/bin/env bash
# What a window's start maps: neither the programs nor the library name the PostgreSQL
# client library, which comes with a score of libraries of its own; the engine loads it
# when a server is first named.
# Usage: start_libraries.sh ELF...
set -euo pipefail
command -v readelf >/dev/null || { echo "SKIPPED: readelf (binutils) is not installed"; exit 77; }
failed=0
for f in "$@"; do
    if readelf -d "$f" | grep -E 'NEEDED.*\[libpq\.' ; then
        echo "FAIL $f needs the PostgreSQL client library at start"
        failed=1
    fi
done
[ $failed = 0 ] && echo "ok: $# files"
exit $failed
