#!/usr/bin/env bash
# The qx ini commands end to end: that each reaches the library, and the exit codes.
source "$(dirname "$0")/../support/cli_support.sh" "$1"
cd "$dir"

expect() {  # expect CODE STDOUT ARGS...: exit code, exact output; a failure names its error code
    local code=$1 want=$2 out rc
    shift 2
    out=$("$qx" "$@" 2>"$dir/err")
    rc=$?
    [[ $rc == "$code" && $out == "$want" ]] ||
        fail "qx $*: exit $rc (want $code), output [$out] (want [$want]) $(cat "$dir/err")"
    [[ $code != 1 ]] || grep -q '(error 0x[0-9A-Fa-f]*)' "$dir/err" || fail "qx $*: no error code"
}

expect 0 "" ini set t.ini Table LineSize 96
expect 0 "" ini set t.ini "Table/Column0" Einheit "µm"
expect 0 $'Table\nTable/Column0' ini sections t.ini
expect 0 "LineSize" ini keys t.ini TABLE
expect 0 "96" ini get t.ini table linesize
expect 0 "7" ini get missing.ini Table Missing --default 7
expect 0 $'[Table]\nLineSize=96\n\n[Table/Column0]\nEinheit=µm' ini dump t.ini
expect 0 "" ini delete t.ini Table/Column0
expect 0 "" ini delete t.ini Table LineSize
expect 0 "Table" ini sections t.ini

# Failures: a message with the code, never a crash.
expect 1 "" ini get t.ini Table Missing
expect 1 "" ini sections missing.ini
expect 1 "" ini dump "$dir"
expect 1 "" ini set no/such/dir.ini S K V
expect 2 "" ini set t.ini Table "bad=key" v
expect 2 "" ini frobnicate t.ini
echo "ini commands OK"
