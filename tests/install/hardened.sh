#!/usr/bin/env bash
# The ELF files that ship are built as Debian builds them: hardening-check passes every
# line (PIE, stack protector, FORTIFY, RELRO, BIND_NOW, stack clash, control flow), and
# readelf shows what that rests on. Exits 77 (skipped), saying why, when a tool or the
# files are missing.
# Usage: hardened.sh PROGRAM... -- LIBRARY...
set -uo pipefail
command -v hardening-check >/dev/null ||
    { echo "SKIPPED: hardening-check is not installed (Debian package devscripts)"; exit 77; }
command -v readelf >/dev/null || { echo "SKIPPED: readelf (binutils) is not installed"; exit 77; }

programs=() libraries=() into=programs
for a in "$@"; do
    if [ "$a" = -- ]; then into=libraries; continue; fi
    if [ ! -e "$a" ]; then
        echo "SKIPPED: $a is not built (cmake --preset release && cmake --build --preset release)"
        exit 77
    fi
    if [ $into = programs ]; then programs+=("$a"); else libraries+=("$a"); fi
done

failed=0
fail() { echo "FAIL $1: $2"; failed=1; }
# The file with the debug information of $1: itself when not stripped, else its .debug
# file under $DEBUG_ROOT (a -dbgsym package unpacked there), found by build ID.
debug_of() {
    if readelf -S "$1" | grep -q '\.debug_info'; then echo "$1"; return; fi
    local id
    id=$(readelf -n "$1" | sed -n 's/.*Build ID: *//p')
    local d=${DEBUG_ROOT:-/nonexistent}/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug
    if [ -n "$id" ] && [ -e "$d" ]; then echo "$d"; fi
}
# readelf on a separate debug file, whose program headers it keeps without what they point
# at: readelf then says "Unable to find program interpreter name", which tells nothing here.
readelf_debug() {
    local errors status
    errors=$(mktemp)
    readelf "$@" 2>"$errors"
    status=$?
    grep -v 'Unable to find program interpreter name' "$errors" >&2
    rm -f "$errors"
    return $status
}
for f in "${programs[@]}" "${libraries[@]}"; do
    # Every line but the file name must say "yes". Stack clash protection alone may say
    # "unknown": hardening-check looks for the probe of a stack frame larger than a page,
    # and a file without such a frame has none to show; the flag is then checked in the
    # compile units' producer strings wherever debug information is at hand (debug_of).
    report=$(hardening-check "$f" 2>&1)
    bad=$(grep -v ':$' <<<"$report" | grep -v ': yes' |
          grep -v 'Position Independent Executable: no, regular shared library (ignored)' |
          grep -v 'Stack clash protection: unknown, no -fstack-clash-protection instructions' || true)
    [ -z "$bad" ] || fail "$f" "hardening-check: $bad"
    debug=$(debug_of "$f")
    if [ -n "$debug" ]; then
        unprotected=$(readelf_debug --debug-dump=info "$debug" | grep 'DW_AT_producer.*GNU C++' |
                      grep -v -- '-fstack-clash-protection' | head -n 3 || true)
        [ -z "$unprotected" ] || fail "$f" "compiled without -fstack-clash-protection: $unprotected"
    fi
    dynamic=$(readelf -d "$f")
    grep -q 'BIND_NOW\|FLAGS.*NOW' <<<"$dynamic" || fail "$f" "no BIND_NOW"
    grep -q 'RPATH\|RUNPATH' <<<"$dynamic" && fail "$f" "a run path: $(grep PATH <<<"$dynamic")"
    readelf -lW "$f" 2>/dev/null | grep -q GNU_RELRO || fail "$f" "no GNU_RELRO segment"
    readelf -lW "$f" 2>/dev/null | grep -q 'GNU_STACK.* RW ' || fail "$f" "an executable stack"
    if [ "$(uname -m)" = x86_64 ]; then
        readelf -nW "$f" | grep -q 'IBT, SHSTK' || fail "$f" "no IBT/SHSTK property (-fcf-protection)"
    fi
done
for f in "${programs[@]}"; do
    readelf -hW "$f" | grep -q 'Type:.*DYN' || fail "$f" "not a position-independent executable"
done
for f in "${libraries[@]}"; do
    readelf -dW "$f" | grep -q 'SONAME' || fail "$f" "no SONAME"
done
[ $failed -eq 0 ] || exit 1
echo "ok: ${#programs[@]} programs, ${#libraries[@]} libraries"
