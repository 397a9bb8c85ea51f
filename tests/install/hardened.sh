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
for f in "${programs[@]}" "${libraries[@]}"; do
    # --color off; every line but the file name must say "yes".
    report=$(hardening-check "$f" 2>&1)
    bad=$(grep -v ':$' <<<"$report" | grep -v ': yes' || true)
    [ -z "$bad" ] || fail "$f" "hardening-check: $bad"
    dynamic=$(readelf -d "$f")
    grep -q 'BIND_NOW\|FLAGS.*NOW' <<<"$dynamic" || fail "$f" "no BIND_NOW"
    grep -q 'RPATH\|RUNPATH' <<<"$dynamic" && fail "$f" "a run path: $(grep PATH <<<"$dynamic")"
    readelf -lW "$f" | grep -q GNU_RELRO || fail "$f" "no GNU_RELRO segment"
    readelf -lW "$f" | grep -q 'GNU_STACK.* RW ' || fail "$f" "an executable stack"
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
