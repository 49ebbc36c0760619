#!/usr/bin/env bash
# The qx grid commands end to end: output, conversion both ways, and messages for bad files.
source "$(dirname "$0")/../support/cli_support.sh" "$1"

# Text to binary and back; the last line needs no line end.
printf 'a\tb\r\nc' >"$dir/t.txt"
[[ $("$qx" grid show "$dir/t.txt") == $'a\tb\nc\t' ]] || fail "show t.txt"
"$qx" grid convert "$dir/t.txt" "$dir/t.SGR" >/dev/null || fail "convert to .SGR"
[[ $(head -c 1 "$dir/t.SGR" | od -An -tx1) == " 01" ]] || fail "not the binary block"
[[ $("$qx" grid show "$dir/t.SGR") == $'a\tb\nc\t' ]] || fail "show t.SGR"
"$qx" grid convert "$dir/t.SGR" "$dir/back.txt" >/dev/null || fail "convert to .txt"
cmp -s "$dir/back.txt" <(printf 'a\tb\r\nc\t\r\n') || fail "back.txt: $(od -c "$dir/back.txt")"

# Formatting and hidden texts: one line per cell, in words.
printf '\1\1\0\0\0\1\0\0\0\1\0\0\0\2\0\0\0x\0y\0\1\3\2\5\6\0h\tid\0\1\0\1\0\7\1\0' >"$dir/f.sgr"
"$qx" grid show "$dir/f.sgr" --properties >"$dir/p.txt" || fail "show --properties"
grep -qx $'x\ty' "$dir/p.txt" || fail "texts of f.sgr"
grep -qxF '0,0: align=right size=10pt text=red background=yellow edit=no hidden=h\tid' "$dir/p.txt" ||
    fail "formatted cell: $(cat "$dir/p.txt")"
grep -qxF '0,1: align=default size=8pt text=black background=white edit=yes hidden=' "$dir/p.txt" ||
    fail "default cell"

# Bad files: a message with the code, exit 1, nothing written.
head -c 30 "$dir/t.SGR" >"$dir/cut.sgr"
printf '\1\0\0\0\0\0\0\0\0\377\377\377\177\377\377\377\177abc' >"$dir/huge.sgr"
head -c 2000 /dev/urandom >"$dir/random.sgr"
mkdir "$dir/folder.txt"
expect_rc 1 "error 0xe34360" grid convert "$dir/cut.sgr" "$dir/x.txt"
[[ ! -e $dir/x.txt ]] || fail "written from a damaged file"
expect_rc 1 "error 0xe3436022 (Vorzeitiges Dateiende): 2147483648 x 2147483648 cells" grid show "$dir/huge.sgr"
"$qx" grid show "$dir/random.sgr" >/dev/null 2>&1
rc=$?
[[ $rc == 0 || $rc == 1 ]] || fail "random bytes: exit $rc"
expect_rc 1 "error 0xe3236027" grid show "$dir/folder.txt"
expect_rc 1 "error 0xe3636029" grid convert "$dir/t.txt" "$dir/no/such/t.sgr"
expect_rc 2 "must end in .sgr or .txt" grid show "$dir/t.csv"
expect_rc 2 "must end in .sgr or .txt" grid convert "$dir/t.txt" "$dir/t.csv"
expect_rc 2 "usage" grid show
expect_rc 2 "usage" grid convert "$dir/t.txt"
expect_rc 2 "unknown sub-command" grid frobnicate
echo "grid commands OK"
