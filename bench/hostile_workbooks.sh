#!/usr/bin/env bash
# Hostile workbooks (xls2qdp/import/sheets/HostileWorkbooks.h): the time and
# peak memory of reading each to its end with sheet_dump, one process per
# case, and whether they stay within the bounds below.
#   bench/hostile_workbooks.sh [BUILD_DIR] [TOKEN_MB]   (default: build, 64)
# Needs make_hostile_workbooks and sheet_dump built in BUILD_DIR (a build
# with tests). In an ASan build (build-asan) the allocator's quarantine is
# kept small, so that the figures are the reader's and not freed memory
# ASan holds back.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
megabytes=${2:-64}
bin=$build/bin
max_seconds=${MAX_SECONDS:-10}
max_mb=${MAX_MB:-$([[ $build == *asan* ]] && echo 512 || echo 128)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=quarantine_size_mb=16:detect_leaks=0

"$bin/make_hostile_workbooks" "$work" "$megabytes" > "$work/cases.txt"
printf '%-48s %8s %8s  %s\n' "case (tokens of $megabytes MB)" "time" "memory" "outcome"
failed=0
while IFS=$'\t' read -r file name; do
    /usr/bin/time -o "$work/time" -f '%e %M' "$bin/sheet_dump" "$file" >/dev/null 2>"$work/err" ||
        true
    out=$(tail -1 "$work/time")
    seconds=${out% *}
    mb=$((${out#* } / 1024))
    outcome=$(head -c 300 "$work/err" | sed -e 's/^Nie można odczytać pliku „[^”]*”: //' | head -1)
    printf '%-48s %6s s %5s MB  %s\n' "$name" "$seconds" "$mb" "${outcome:-read to the end}"
    if awk -v s="$seconds" -v m="$max_seconds" 'BEGIN { exit !(s > m) }' || ((mb > max_mb)); then
        echo "  over the bounds ($max_seconds s, $max_mb MB)"
        failed=1
    fi
done < "$work/cases.txt"
exit $failed
