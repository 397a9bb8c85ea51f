#!/usr/bin/env bash
# The command examples of the documentation run as written. A block marked with the line
# `<!-- example -->` right before its ```sh fence is run with bash -e (and pipefail) in an
# empty folder of its own, with copies of the built rv_makedb and rv_sql first on the PATH
# and a fresh copy of the template library beside them, so that an example that writes the
# library never touches the build's. A marker without a block, or a file without any
# marked block, fails too: an example must not drop out of the test unseen.
# Usage: examples.sh BIN_DIR MARKDOWN_FILE...
set -uo pipefail
bin_dir=$1; shift
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/bin"
cp "$bin_dir/rv_makedb" "$bin_dir/rv_sql" "$tmp/bin/"
export PATH="$tmp/bin:$PATH" QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/.local/share"

failed=0 count=0
for doc in "$@"; do
    blocks=0
    # Each marked block into its own script, named by the line its fence is on.
    rm -rf "$tmp/blocks" && mkdir "$tmp/blocks"
    if ! awk -v out="$tmp/blocks" '
        state == "marked" { if ($0 ~ /^```(sh|bash)$/) { state = "in"; file = out "/" NR; next }
                            print "line " NR ": <!-- example --> is not followed by a ```sh block" > "/dev/stderr"; bad = 1; state = "" }
        state == "in" { if ($0 ~ /^```/) { state = ""; close(file) } else print > file; next }
        $0 == "<!-- example -->" { state = "marked" }
        END { exit bad }' "$doc"; then
        echo "FAIL $doc: a marker without its block"; failed=1
    fi
    for block in $(ls "$tmp/blocks" | sort -n); do
        blocks=$((blocks + 1)) count=$((count + 1))
        work="$tmp/run$count"
        mkdir -p "$work" "$HOME"
        rm -rf "$XDG_DATA_HOME"
        cp "$bin_dir/base.mdb" "$tmp/bin/base.mdb"
        if ! output=$(cd "$work" && bash -e -o pipefail "$tmp/blocks/$block" 2>&1); then
            echo "FAIL $doc:$block: the example does not run as written:"
            sed 's/^/    /' "$tmp/blocks/$block"
            echo "  its output:"
            printf '%s\n' "$output" | tail -n 20 | sed 's/^/    /'
            failed=1
        fi
    done
    [ $blocks -gt 0 ] || { echo "FAIL $doc: no marked example"; failed=1; }
done
[ $failed -ne 0 ] || echo "ok: $count examples ran"
exit $failed
