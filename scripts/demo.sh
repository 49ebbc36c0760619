#!/usr/bin/env bash
# A short tour of the qx tool.
set -euo pipefail
qx=${1:-build/apps/qx/qx}
run() { printf '\n$ qx %s\n' "$*"; "$qx" "$@"; }
run --help
run format 12345 --prefix
run format 0.00047 --prefix
run format 0.00047
run format 12345 --digits 4 --prefix --comma
run format -2.5e-10 --prefix
run report
run report --english
tables=$(mktemp -d)
trap 'rm -rf "$tables"' EXIT
run table example "$tables"
{ run table show "$tables/TableTest.tbl" --aligned || true; } | head -n 8
run table ini "$tables/TableTest.tbl" Layout "$tables/layout.ini"
printf 'QxTable\0\2\0\0\0' >"$tables/old.tbl"
run table show "$tables/old.tbl" || true
run ini keys "$tables/layout.ini" Layout
settings=$(mktemp -d)
run ini set "$settings/demo.ini" Table Name "Beispiel einer Tabelle"
run ini set "$settings/demo.ini" Table LineSize 96
run ini set "$settings/demo.ini" Table/Column0 Einheit "µm"
run ini sections "$settings/demo.ini"
run ini get "$settings/demo.ini" table linesize
run ini dump "$settings/demo.ini"
run ini delete "$settings/demo.ini" Table LineSize
run ini get "$settings/demo.ini" Table LineSize || true
rm -rf "$settings"
grids=$(mktemp -d)
printf 'Name\tWert\r\nA\t1,5\r\nB\t-2\r\n' >"$grids/values.txt"
run grid convert "$grids/values.txt" "$grids/values.sgr"
run grid show "$grids/values.sgr"
head -c 20 "$grids/values.sgr" >"$grids/cut.sgr"
run grid show "$grids/cut.sgr" || true
rm -rf "$grids"
dicts=$(mktemp -d)
printf '%s\n' '#-------------------------------' 'Datei' 'oeffnen' '#' 'Open file' '##' \
    '#-------------------------------' 'Speichern' '#' 'Save' '##' >"$dicts/demo.dict"
run dict show "$dicts/demo.dict"
run dict translate "$dicts/demo.dict" Speichern
run dict translate "$dicts/demo.dict" 'Datei\noeffnen'
run dict translate "$dicts/demo.dict" Unbekannt || true
run dict show "$dicts/missing.dict" || true
rm -rf "$dicts"
run calc 'SIN(X)^2+3*A' X=0.5 A=2
run calc --chain '2*(A+B)-SQRT(Alpha)' A=1 B=2 Alpha=9
