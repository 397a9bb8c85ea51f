#!/usr/bin/env bash
# Every relative link of the documentation leads somewhere: to a file of the source tree
# and, with #anchor, to a heading of that Markdown file (anchors as GitHub makes them:
# lower case, punctuation dropped, blanks as hyphens). Links inside code blocks and to
# other sites are not followed.
# Usage: links.sh SOURCE_DIR MARKDOWN_FILE...
set -uo pipefail
cd "$1"; shift
# The anchors of a Markdown file, one a line.
anchors() {
    awk '/^```/{code = !code; next} !code && /^#+ /' "$1" | sed -E 's/^#+ +//' |
        tr '[:upper:]' '[:lower:]' | sed -E 's/[^[:alnum:]_ -]//g; s/ /-/g'
}
failed=0
for doc in "$@"; do
    dir=$(dirname "$doc")
    links=$(awk '/^```/{code = !code; next} !code' "$doc" | grep -oE '\]\([^)[:space:]]+\)' |
            sed -E 's/^\]\(//; s/\)$//' | grep -vE '^[a-z]+:' || true)
    for link in $links; do
        path=${link%%#*} anchor=
        [ "$path" = "$link" ] || anchor=${link#*#}
        target=$doc
        [ -z "$path" ] || target=$dir/$path
        if [ ! -e "$target" ]; then
            echo "FAIL $doc: ($link): no file $target"; failed=1
        elif [ -n "$anchor" ] && ! anchors "$target" | grep -qxF -- "$anchor"; then
            echo "FAIL $doc: ($link): no heading #$anchor in $target"; failed=1
        fi
    done
done
[ $failed -ne 0 ] || echo "ok"
exit $failed
