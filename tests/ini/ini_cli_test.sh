#!/usr/bin/env bash
# The qx ini commands end to end: output, file contents and exit codes.
set -u
qx=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
failures=0

# expect EXIT-CODE EXPECTED-STDOUT COMMAND... ; stderr must name an error code when failing
expect() {
    local code=$1 want=$2
    shift 2
    local out err rc
    out=$("$qx" "$@" 2>"$dir/err")
    rc=$?
    err=$(cat "$dir/err")
    if [[ $rc != "$code" || "$out" != "$want" ]]; then
        echo "FAIL: qx $*: exit $rc (want $code), output [$out] (want [$want]) $err"
        failures=$((failures + 1))
    elif [[ $code == 1 && $err != *"(error 0x"*")"* ]]; then
        echo "FAIL: qx $*: no error code in [$err]"
        failures=$((failures + 1))
    fi
}

expect 0 "" ini set t.ini Table Name "Beispiel einer Tabelle"
expect 0 "" ini set t.ini Table LineSize 96
expect 0 "" ini set t.ini "Table/Column0" Einheit "µm"
if [[ $(od -An -c t.ini | tr -s ' \n' ' ') != *"\r \n"* ]]; then
    echo "FAIL: no CR LF in the written file"; failures=$((failures + 1))
fi
expect 0 $'Table\nTable/Column0' ini sections t.ini
expect 0 $'Name\nLineSize' ini keys t.ini TABLE
expect 0 "96" ini get t.ini table linesize
expect 0 "µm" ini get t.ini Table/Column0 Einheit
expect 0 "7" ini get t.ini Table Missing --default 7
expect 0 "7" ini get missing.ini Table Missing --default 7
expect 0 $'[Table]\nName=Beispiel einer Tabelle\nLineSize=96\n\n[Table/Column0]\nEinheit=µm' ini dump t.ini
expect 0 "" ini delete t.ini Table LineSize
expect 0 "Name" ini keys t.ini Table
expect 0 "" ini delete t.ini Table/Column0
expect 0 "Table" ini sections t.ini

# Failures: a message with the code, never a crash.
expect 1 "" ini get t.ini Table Missing
expect 1 "" ini keys t.ini Nope
expect 1 "" ini get missing.ini Table Name
expect 1 "" ini sections missing.ini
expect 1 "" ini dump "$dir"
expect 1 "" ini delete t.ini Table Missing
expect 1 "" ini set no/such/dir.ini S K V
printf '\x00\xff[\r\n=\n[]\r[\n[ok' > junk.ini
expect 0 $'\n\nok' ini sections junk.ini
expect 2 "" ini set t.ini Table "bad=key" v
expect 2 "" ini set t.ini Table Key $'two\nlines'
expect 2 "" ini get t.ini Table
expect 2 "" ini frobnicate t.ini
expect 2 "" ini
expect 0 "Beispiel einer Tabelle" ini get t.ini Table Name

exit $((failures > 0))
