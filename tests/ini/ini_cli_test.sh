#!/usr/bin/env bash
# The qx ini commands end to end: output, file contents and exit codes.
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

expect 0 "" ini set t.ini Table Name "Beispiel einer Tabelle"
expect 0 "" ini set t.ini Table LineSize 96
expect 0 "" ini set t.ini "Table/Column0" Einheit "µm"
[[ $(od -An -c t.ini | tr -s ' \n' ' ') == *"\r \n"* ]] || fail "no CR LF in the written file"
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
echo "ini commands OK"
