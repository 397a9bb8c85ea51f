#!/usr/bin/env bash
# The Debian packages as a packager checks them: lintian --pedantic with no error and no
# warning on each (the information lines are listed), every ELF file in them hardened
# (hardened.sh), the library exporting the public API alone (exported_symbols.sh).
# Usage: debs.sh DIR (where `make package` left the .deb and .ddeb files)
set -euo pipefail
dir=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
shopt -s nullglob
debs=("$dir"/*.deb) ddebs=("$dir"/*.ddeb)
[ ${#debs[@]} -eq 3 ] || { echo "expected 3 .deb files in $dir, found ${#debs[@]}"; exit 1; }
command -v lintian >/dev/null || { echo "SKIPPED: lintian is not installed"; exit 77; }

status=0
for deb in "${debs[@]}" "${ddebs[@]}"; do
    # lintian takes a debug package by the .deb name only.
    target=$deb
    if [[ $deb == *.ddeb ]]; then
        target=$(mktemp -d)/$(basename "${deb%.ddeb}").deb
        cp "$deb" "$target"
    fi
    out=$(lintian --pedantic --display-info --tag-display-limit 0 "$target" 2>&1 || true)
    echo "== lintian $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"
    [ -z "$out" ] || sed 's/^/   /' <<<"$out"
    if grep -q '^[EW]:' <<<"$out"; then status=1; fi
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$unpacked"; done
export DEBUG_ROOT=$unpacked/debug  # hardened.sh reads the compile flags there
mkdir -p "$DEBUG_ROOT"
for ddeb in "${ddebs[@]}"; do dpkg-deb -x "$ddeb" "$DEBUG_ROOT"; done
[ ${#ddebs[@]} -eq 2 ] || { echo "expected 2 -dbgsym .ddeb files, found ${#ddebs[@]}"; status=1; }
programs=() libraries=()
while read -r f; do
    case $(file -b "$f") in
        *"shared object"*) if [[ $f == *.so* && $f != */bin/* ]]; then libraries+=("$f"); else programs+=("$f"); fi ;;
        *"ELF"*) programs+=("$f") ;;
    esac
done < <(find "$unpacked" -path "$DEBUG_ROOT" -prune -o -type f -print)
echo "== hardening"
for f in "${programs[@]}" "${libraries[@]}"; do hardening-check "$f" | sed 's/^/   /'; done
"$here/hardened.sh" "${programs[@]}" -- "${libraries[@]}" || status=1
echo "== exported symbols"
nm -D --defined-only --with-symbol-versions "${libraries[@]}" | sed 's/^/   /'
"$here/exported_symbols.sh" "${libraries[@]}" || status=1
exit $status
