#!/usr/bin/env bash
# The installed tree as host developers and users meet it: install the build into a
# temporary prefix, build a C host with pkg-config and a C++ host with find_package
# against that prefix only, run them, then run the installed programs.
# Usage: install_tree.sh BUILD_DIR CMAKE C_COMPILER CXX_COMPILER GENERATOR
set -euo pipefail
build=$1 cmake=$2 cc=$3 cxx=$4 generator=$5
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/rv_install_tree.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
step() { echo "-- $*"; }

step "cmake --install $build --prefix $prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

step "C host with pkg-config"
pc=$(find "$prefix" -name rv_makedb.pc)
export PKG_CONFIG_LIBDIR=${pc%/*}  # this prefix and nothing else
"$cc" -std=c99 -Wall -Wextra -pedantic -Werror "$here/c_host.c" -o "$work/c_host" \
    $(pkg-config --cflags --libs rv_makedb) -Wl,-rpath,"$(pkg-config --variable=libdir rv_makedb)"
"$work/c_host" "$work"

step "C++ host with find_package"
"$cmake" -S "$here/cxx_host" -B "$work/cxx_build" -G "$generator" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
grep -q "^rv_makeDB_DIR:PATH=$prefix/" "$work/cxx_build/CMakeCache.txt" ||
    { echo "find_package found rv_makeDB outside $prefix"; exit 1; }
"$cmake" --build "$work/cxx_build" >/dev/null
"$work/cxx_build/cxx_host" "$work"

step "installed programs"
"$prefix/bin/rv_sql" --help >/dev/null
# Each tree uses its own base.mdb: beside the component in the build tree, the installed one
# (the data folders of this machine and user, empty here, would come first). Started by its
# path, and found on PATH from another folder.
export XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/site
for tree in "$build/bin:$build/bin/base.mdb" "$prefix/bin:$prefix/share/rv_makedb/base.mdb"; do
    help=$("${tree%%:*}/rv_makedb" --help)
    grep -qxF "Here: ${tree#*:}" <<<"$help" ||
        { echo "${tree%%:*}/rv_makedb --help: $(tail -2 <<<"$help")"; exit 1; }
    help=$(cd "$work" && PATH="${tree%%:*}:$PATH" rv_makedb --help)
    grep -qxF "Here: ${tree#*:}" <<<"$help" ||
        { echo "rv_makedb --help on PATH: $(tail -2 <<<"$help")"; exit 1; }
done
# The installed library is never written: an import goes to the user's copy.
printf 'folder\tid\tname\tattribute\tsize\time\tfixed\tposition\n\tOWN1\t自分\t数字\t\t\t\t1\n' \
    >"$work/own.txt"
"$prefix/bin/rv_makedb" --import-templates "$work/own.txt" >/dev/null
where=$("$prefix/bin/rv_makedb" --templates --where)
[ "$where" = "$XDG_DATA_HOME/rv_makedb/base.mdb" ] || { echo "--where: $where"; exit 1; }
cmp -s "$prefix/share/rv_makedb/base.mdb" "$build/bin/base.mdb" ||
    { echo "the installed library was written"; exit 1; }
printf 'MAIL1\tメール\t文字\t100\tOFF\tPCメール\n' >"$work/fields.txt"
"$prefix/bin/rv_makedb" --fields "$work/fields.txt" -p pw "$work/address.mdb"
fields=$("$prefix/bin/rv_sql" -p pw "$work/address.mdb" "select FIELD_ID from FIELD")
[ "$fields" = $'FIELD_ID\nMAIL1' ] || { echo "unexpected fields: $fields"; exit 1; }
# The installed program finds the installed Jet file reader.
"$prefix/bin/rv_makedb" --import-jet "$here/../data/jet/product-v2003.mdb" -p pw "$work/moved.db" \
    >/dev/null
fields=$("$prefix/bin/rv_sql" -p pw "$work/moved.db" "select count(*) from FIELD")
[ "$(tail -n 1 <<<"$fields")" = 12 ] ||
    { echo "unexpected import: $fields"; exit 1; }
echo "ok"
