#!/usr/bin/env bash
# scripts/test-summary over the logs of each kind of part: the line it ends `make test` with
# and its status, for parts that pass, fail, and break before saying anything.
# Usage: test_summary.sh SCRIPT
set -uo pipefail
summary=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '1/2 Test #1: a ... Passed\n100%% tests passed, 0 tests failed out of 57\n\nTotal Test time\n' >"$dir/dev"
printf '95%% tests passed, 1 test failed out of 20\n\nThe following tests FAILED:\n' >"$dir/asan"
printf 'FAILED: src/x.o\nninja: build stopped: subcommand failed.\n' >"$dir/broken"
printf '== fuzz_a (10 runs)\nDone 10 runs\nfuzz fuzz_a: ok\n== fuzz_b (10 runs)\nfuzz fuzz_b: FAILED (exit 77)\nfuzz fuzz_c: ok\n' >"$dir/fuzz"
failed=0
check() {  # expected line, expected status, parts...
    local want=$1 want_status=$2
    shift 2
    local got status
    got=$("$summary" "$@")
    status=$?
    if [ "$got" != "$want" ] || [ "$status" != "$want_status" ]; then
        echo "FAIL $*: got \"$got\" (status $status), want \"$want\" (status $want_status)"
        failed=1
    fi
}
check "57 passed, 0 failed" 0 "ctest:$dir/dev:0"
check "76 passed, 1 failed" 1 "ctest:$dir/dev:0" "ctest:$dir/asan:8"
check "57 passed, 1 failed" 1 "ctest:$dir/dev:0" "ctest:$dir/broken:1"
check "2 passed, 1 failed" 1 "fuzz:$dir/fuzz:1"
check "57 passed, 1 failed" 1 "ctest:$dir/dev:0" "fuzz:$dir/broken:2"
# A part that failed although its lines say nothing failed still fails the run.
check "57 passed, 1 failed" 1 "ctest:$dir/dev:2"
[ $failed -eq 0 ] && echo "ok"
exit $failed
