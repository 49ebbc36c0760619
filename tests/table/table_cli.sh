#!/usr/bin/env bash
# The qx table commands end to end: output, exit codes, and messages for bad files.
source "$(dirname "$0")/../support/cli_support.sh" "$1"

"$qx" table example "$dir" >/dev/null || fail "table example"
[[ -s $dir/TableTest.tbl && -s $dir/TableTest.ini ]] || fail "example files missing"

"$qx" table show "$dir/TableTest.tbl" >"$dir/tab.txt" || fail "table show"
[[ $(wc -l <"$dir/tab.txt") == 102 ]] || fail "102 rows expected"
[[ $(head -1 "$dir/tab.txt") == $'\tName\tMinimum\tMaximum\tMittelwert\tStreuung\r' ]] ||
    fail "caption row: $(head -1 "$dir/tab.txt" | od -c | head -2)"
grep -q $'^\t\tcd/m\xc2\xb2\t' "$dir/tab.txt" || fail "unit row not in UTF-8"

"$qx" table ini "$dir/TableTest.tbl" Layout "$dir/layout.ini" >/dev/null || fail "table ini"
grep -q '^\[Layout/Column4\]' "$dir/layout.ini" || fail "column section"

# Bad files: a message with the code, exit 1, never a crash.
head -c 4000 "$dir/TableTest.tbl" >"$dir/cut.tbl"
head -c 333 /dev/urandom >"$dir/random.tbl"
printf 'QxTable\0\2\0\0\0' >"$dir/v2.tbl"
printf 'QxTablf\0\1\0\0\0' >"$dir/magic.tbl"
printf 'QxTable\0\1\0\0\0\377\377\377\377\0\0\0\0\377\377\377\377\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0' \
    >"$dir/huge.tbl"
expect_rc 1 "error 0xe332204a" table show "$dir/missing.tbl"
expect_rc 1 "error 0xe332204a" table show "$dir/cut.tbl"
expect_rc 1 "error 0xe" table show "$dir/random.tbl"
expect_rc 1 "error 0xe062204b (Fehlerhafte Version): $dir/v2.tbl" table show "$dir/v2.tbl"
expect_rc 1 "error 0xe052204c" table show "$dir/magic.tbl" --aligned
expect_rc 1 "error 0xe332204a" table ini "$dir/huge.tbl" S "$dir/x.ini"
[[ ! -e $dir/x.ini ]] || fail "ini written from a bad table"
expect_rc 2 "FILE is missing" table show
expect_rc 2 "unknown sub-command" table frobnicate
echo "table commands OK"
