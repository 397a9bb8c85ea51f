#!/usr/bin/env bash
# The manual page is the reference for a program's options: every option that `--help`
# lists is described under OPTIONS in the page, and every option described there is one
# that `--help` lists.
# Usage: man_options.sh PROGRAM MAN_PAGE
set -euo pipefail
program=$1 page=$2
# Long and short option names in a text, one a line, sorted.
names() { grep -oE '(^|[ ,"[])--?[A-Za-z][A-Za-z0-9-]*' | sed -E 's/^[ ,"[]//' | sort -u; }

# --help: the lines that describe an option begin with two blanks and a dash; the names stand
# before the first run of two blanks (the description).
help=$(QT_QPA_PLATFORM=offscreen "$program" --help | grep -E '^  -' | sed -E 's/^  //; s/  .*$//' | names)
# The page: the tag line after each .TP of the OPTIONS section, without troff's escapes.
documented=$(awk '/^\.SH /{inside = ($2 == "OPTIONS")} inside && previous == ".TP" {print} {previous = $0}' "$page" |
             sed -E 's/\\-/-/g; s/\\f[BIRP]//g' | names)

[ -n "$help" ] || { echo "FAIL: $program --help lists no option"; exit 1; }
missing=$(comm -23 <(echo "$help") <(echo "$documented"))
extra=$(comm -13 <(echo "$help") <(echo "$documented"))
status=0
[ -z "$missing" ] || { echo "FAIL: in $program --help but not under OPTIONS in $page:" $missing; status=1; }
[ -z "$extra" ] || { echo "FAIL: under OPTIONS in $page but not in $program --help:" $extra; status=1; }
[ $status -ne 0 ] || echo "ok: $(echo $help)"
exit $status
