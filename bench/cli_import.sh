#!/usr/bin/env bash
# Measures a whole import through the command line (xls2qdp-cli import: read,
# convert, look up, store, build and save the package) on generated .xlsx
# declaration workbooks and checks it against its targets:
#   - 100,000 rows within 1.3x of the import pipeline alone (bench/import_pipeline);
#   - at least 4x faster than openpyxl (read-only mode) merely reading the file;
#   - peak memory under 150 MB, and at 400,000 rows within 1.5x of 100,000.
# Usage: bench/cli_import.sh [BUILD_DIR]   (configured with -DQDP_BUILD_BENCH=ON)
# Needs Debian's python3-openpyxl (run by /usr/bin/python3) and /usr/bin/time;
# only for this benchmark, so neither is in the setup's package list.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
source bench/bench_build.sh
bench_build "$build" xls2qdp-cli import_pipeline gen_declarations xls2qdp_data_files
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A portable install of its own: dictionaries and an empty working table.
source bench/portable_cli.sh
make_portable_cli "$bin" "$work/program"
mkdir -p "$work/out"

for rows in 100000 400000; do
    "$bin/gen_declarations" --rows "$rows" --seed 7 --voivodeship 12 "$work/d$rows.xlsx" >/dev/null
done

openpyxl_seconds=$(/usr/bin/python3 bench/read_openpyxl.py "$work/d100000.xlsx")

declare -A fig
for rows in 100000 400000; do
    pipeline=$("$bin/import_pipeline" "$work/d$rows.xlsx" "$bin" 12 | awk '$1 == "pipeline_seconds" {print $2}')
    fig[$rows.pipeline]=$pipeline
    rm -f "$work"/out/*.qdp
    /usr/bin/time -f '%e %M' -o "$work/time.txt" \
        "$work/program/xls2qdp-cli" import "$work/d$rows.xlsx" --target "$work/out" >/dev/null 2>&1
    read -r seconds kilobytes <"$work/time.txt"
    fig[$rows.cli]=$seconds
    fig[$rows.memory]=$(awk -v k="$kilobytes" 'BEGIN {printf "%.1f", k / 1024}')
    fig[$rows.size]=$(stat -c %s "$work"/out/*.qdp)
done

printf '%-44s %10s %10s\n' "" "100,000" "400,000"
printf '%-44s %10s %10s\n' "xls2qdp-cli import (s)" "${fig[100000.cli]}" "${fig[400000.cli]}"
printf '%-44s %10s %10s\n' "import pipeline alone (s)" "${fig[100000.pipeline]}" "${fig[400000.pipeline]}"
printf '%-44s %10s %10s\n' "xls2qdp-cli peak memory (MB)" "${fig[100000.memory]}" "${fig[400000.memory]}"
printf '%-44s %10s %10s\n' "package size (bytes)" "${fig[100000.size]}" "${fig[400000.size]}"
printf '%-44s %10s\n' "openpyxl read-only, reading only (s)" "$openpyxl_seconds"

/usr/bin/python3 - "$openpyxl_seconds" "${fig[100000.cli]}" "${fig[100000.pipeline]}" \
    "${fig[100000.memory]}" "${fig[400000.memory]}" <<'PY'
import sys
peer, cli, pipeline, mem100, mem400 = map(float, sys.argv[1:])
checks = [
    (f"whole import vs pipeline alone: {cli / pipeline:.2f}x (target <= 1.3x)", cli <= 1.3 * pipeline),
    (f"speed vs openpyxl: {peer / cli:.1f}x (target >= 4x)", peer / cli >= 4),
    (f"peak memory at 100,000 rows: {mem100:.1f} MB (target < 150 MB)", mem100 < 150),
    (f"peak memory at 400,000 rows: {mem400:.1f} MB (target < 150 MB)", mem400 < 150),
    (f"memory 400,000 / 100,000: {mem400 / mem100:.2f}x (target <= 1.5x)", mem400 <= 1.5 * mem100),
]
for text, ok in checks:
    print(("PASS " if ok else "FAIL ") + text)
sys.exit(0 if all(ok for _, ok in checks) else 1)
PY
