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
