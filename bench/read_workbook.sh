#!/usr/bin/env bash
# Reading declaration workbooks: our reader against openpyxl (read-only mode,
# Debian's python3-openpyxl) on the same generated .xlsx files, with time and
# peak memory of each, in separate processes.
#   bench/read_workbook.sh [BUILD_DIR]      (default: build)
# Needs gen_declarations and sheet_dump built in BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() { # label command...
    local out
    out=$({ /usr/bin/time -f '%e %M' "${@:2}" >/dev/null; } 2>&1 | tail -1)
    printf '%-40s %8s s %8s MB\n' "$1" "${out% *}" "$(( ${out#* } / 1024 ))"
}

for rows in 100000 400000; do
    "$bin/gen_declarations" --rows "$rows" "$work/d$rows.xlsx"
done
printf '%-40s %10s %11s\n' "reading" "time" "peak memory"
for rows in 100000 400000; do
    measure "ours, $rows rows .xlsx" "$bin/sheet_dump" --declarations "$work/d$rows.xlsx"
done
if /usr/bin/python3 -c 'import openpyxl' 2>/dev/null; then
    measure "openpyxl read-only, 100000 rows .xlsx" /usr/bin/python3 - "$work/d100000.xlsx" <<'PY'
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1], read_only=True)
sheet = book.worksheets[0]
cells = 0
for row in sheet.iter_rows(values_only=True):
    cells += sum(1 for v in row if v is not None)
print(cells)
PY
else
    echo "openpyxl not installed (python3-openpyxl): no comparison"
fi
