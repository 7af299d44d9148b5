#!/usr/bin/env bash
# Measures stage 2 of an import (read + convert + look up + store) on
# generated .xlsx declaration workbooks and checks it against its targets:
#   - 100,000 rows at least 5x faster than openpyxl (read-only mode) merely
#     reading the same file;
#   - the dictionary lookups under a quarter of the pipeline's time;
#   - peak memory under 150 MB, and at 400,000 rows within 1.5x of 100,000.
# Usage: bench/import_pipeline.sh [BUILD_DIR]   (configured with -DQDP_BUILD_BENCH=ON)
# Needs Debian's python3-openpyxl (run by /usr/bin/python3; only for this
# benchmark, so it is not in the setup's package list).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
source bench/bench_build.sh
bench_build "$build" import_pipeline gen_declarations xls2qdp_data_files
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for rows in 100000 400000; do
    "$bin/gen_declarations" --rows "$rows" --seed 7 --voivodeship 12 "$work/d$rows.xlsx" >/dev/null
done

openpyxl_seconds=$(/usr/bin/python3 bench/read_openpyxl.py "$work/d100000.xlsx")

declare -A fig
for rows in 100000 400000; do
    while read -r key value; do fig[$rows.$key]=$value; done \
        < <("$bin/import_pipeline" "$work/d$rows.xlsx" "$bin" 12)
done

printf '%-44s %10s %10s\n' "" "100,000" "400,000"
for key in rows pipeline_seconds read_seconds lookup_seconds peak_memory_mb report_entries; do
    printf '%-44s %10s %10s\n' "$key" "${fig[100000.$key]}" "${fig[400000.$key]}"
done
printf '%-44s %10s\n' "openpyxl read-only, reading only (s)" "$openpyxl_seconds"

/usr/bin/python3 - "$openpyxl_seconds" "${fig[100000.pipeline_seconds]}" "${fig[100000.lookup_seconds]}" \
    "${fig[100000.peak_memory_mb]}" "${fig[400000.peak_memory_mb]}" <<'PY'
import sys
peer, ours, lookups, mem100, mem400 = map(float, sys.argv[1:])
checks = [
    (f"speed vs openpyxl: {peer / ours:.1f}x (target >= 5x)", peer / ours >= 5),
    (f"lookups: {100 * lookups / ours:.1f}% of the pipeline (target < 25%)", lookups < ours / 4),
    (f"peak memory at 100,000 rows: {mem100:.1f} MB (target < 150 MB)", mem100 < 150),
    (f"peak memory at 400,000 rows: {mem400:.1f} MB (target < 150 MB)", mem400 < 150),
    (f"memory 400,000 / 100,000: {mem400 / mem100:.2f}x (target <= 1.5x)", mem400 <= 1.5 * mem100),
]
for text, ok in checks:
    print(("PASS " if ok else "FAIL ") + text)
sys.exit(0 if all(ok for _, ok in checks) else 1)
PY
