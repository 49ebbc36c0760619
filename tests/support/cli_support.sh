#!/usr/bin/env bash
# Shared by the qx tool's end-to-end tests: a scratch folder, failing, and checking a
# command's exit code and message. Sourced with the tool's path in $1.
set -u
qx=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_rc() {  # expect_rc CODE PATTERN ARGS...: exit code and a message matching PATTERN
    local want=$1 pattern=$2; shift 2
    "$qx" "$@" >"$dir/out" 2>"$dir/err"
    local rc=$?
    [[ $rc == "$want" ]] || fail "qx $* exited $rc, wanted $want: $(cat "$dir/err")"
    grep -q -- "$pattern" "$dir/err" || fail "qx $*: no '$pattern' in: $(cat "$dir/err")"
}
