#!/usr/bin/env bash
# librv_makeDB.so exports the public API and nothing else, each symbol under the version
# node RV_MAKEDB_0: the two C functions, makeDB::CreateDatabase, and the node itself.
# Usage: exported_symbols.sh LIBRARY
set -euo pipefail
library=$1
command -v nm >/dev/null || { echo "SKIPPED: nm (binutils) is not installed"; exit 77; }

expected='RV_MAKEDB_0@@RV_MAKEDB_0
_ZN6makeDB14CreateDatabaseEPKcS1_S1_@@RV_MAKEDB_0
rv_makeDB_CreateDatabase@@RV_MAKEDB_0
rv_makeDB_LastError@@RV_MAKEDB_0'
# nm prints the node as "RV_MAKEDB_0" or "RV_MAKEDB_0@@RV_MAKEDB_0" depending on its version.
actual=$(nm -D --defined-only --with-symbol-versions "$library" | awk '{print $NF}' |
         sed 's/^RV_MAKEDB_0$/RV_MAKEDB_0@@RV_MAKEDB_0/' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    echo "$library exports:"; echo "$actual"
    echo "expected:"; echo "$expected"
    exit 1
fi
echo "ok: $(wc -l <<<"$actual") symbols"
