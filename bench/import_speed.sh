#!/usr/bin/env bash
# The whole import (xls2qdp-cli import: read, convert, look up, store, build
# and save the package) against other programs reading the same workbooks,
# run alternately in one sitting so that a busy machine slows both alike.
# Targets:
#   - 200,000-row .xlsx: wall at most 0.75x the plain streaming parse of its
#     sheet XML (unzip -p BOOK xl/worksheets/sheet1.xml | xmllint --stream --noout -),
#     and at least 8x faster than openpyxl (read-only) merely reading the file;
#   - 60,000-row .xls: CPU at most half of xlrd's CPU reading the file;
#   - 60,000-row .ods: at least 6x faster (wall) than LibreOffice headless
#     converting it to CSV;
#   - peak memory under 40 MB at 400,000 rows, at most 1.3x from 100,000;
#   - the package of every benchmark file byte for byte as recorded in
#     bench/import_speed.sha256 (made at a fixed date with faketime).
# Usage: bench/import_speed.sh [--rounds N] [--files DIR] [--record] [BUILD_DIR]
#   --rounds N   runs of each program per figure (default 3; the median counts)
#   --files DIR  keeps the generated workbooks in DIR and reuses them (the
#                LibreOffice conversions to .xls and .ods take a minute)
#   --record     writes the packages' checksums to bench/import_speed.sha256
#                instead of comparing them
# The peers are Debian packages, installed here when missing (as root); they
# are needed by this benchmark only.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=3
files=
record=0
while (($#)); do
    case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --files) files=$2; shift 2 ;;
    --record) record=1; shift ;;
    *) break ;;
    esac
done
build=${1:-build-bench}
sums=bench/import_speed.sha256

peers=(python3-openpyxl python3-xlrd libreoffice-calc-nogui libxml2-utils unzip faketime time)
missing=()
for p in "${peers[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "import_speed: missing packages (${missing[*]}); run as root to install them" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

source bench/bench_build.sh
bench_build "$build" xls2qdp-cli gen_declarations xls2qdp_data_files
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ -z $files ]]; then
    files=$work/books
fi
mkdir -p "$files"

# A portable install of its own: dictionaries and an empty working table.
source bench/portable_cli.sh
make_portable_cli "$bin" "$work/program"
mkdir -p "$work/out"

# LibreOffice with a profile of its own, so that it neither waits for nor
# disturbs another instance on the machine.
soffice() {
    command soffice -env:UserInstallation="file://$work/lo-profile" --headless --norestore "$@"
}

for rows in 60000 100000 200000 400000; do
    [[ -f $files/d$rows.xlsx ]] ||
        "$bin/gen_declarations" --rows "$rows" --seed 7 --voivodeship 12 "$files/d$rows.xlsx" >/dev/null
done
for format in xls ods; do
    [[ -f $files/d60000.$format ]] ||
        soffice --convert-to "$format" --outdir "$files" "$files/d60000.xlsx" >/dev/null 2>&1
done

cat >"$work/read_xlrd.py" <<'PY'
import sys
import xlrd
book = xlrd.open_workbook(sys.argv[1], on_demand=True)
sheet = book.sheet_by_index(0)
rows = sum(1 for r in range(sheet.nrows) if sheet.row_values(r) is not None)
PY

# measure NAME COMMAND...: one run; keeps wall seconds, CPU seconds (user +
# system) and peak memory (MB) as fig[NAME.wall], fig[NAME.cpu], fig[NAME.mb],
# one value per round, separated by blanks.
declare -A fig
measure() {
    local name=$1
    shift
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" || {
        echo "import_speed: $name failed:" >&2
        cat "$work/stderr.txt" >&2
        exit 1
    }
    local wall user sys kb
    read -r wall user sys kb < <(tail -n 1 "$work/time.txt")
    fig[$name.wall]+="$wall "
    fig[$name.cpu]+="$(awk -v u="$user" -v s="$sys" 'BEGIN {printf "%.2f", u + s}') "
    fig[$name.mb]+="$(awk -v k="$kb" 'BEGIN {printf "%.1f", k / 1024}') "
}
ours() {
    rm -f "$work"/out/*
    measure "$1" "$work/program/xls2qdp-cli" import "$2" --target "$work/out" --yes
}
xml_pipeline() {
    unzip -p "$1" xl/worksheets/sheet1.xml | xmllint --stream --noout -
}
export -f xml_pipeline

for ((round = 1; round <= rounds; round++)); do
    measure xmllint.200k bash -c 'xml_pipeline "$1"' _ "$files/d200000.xlsx"
    ours ours.200k.xlsx "$files/d200000.xlsx"
    measure openpyxl.200k /usr/bin/python3 bench/read_openpyxl.py "$files/d200000.xlsx"
    ours ours.200k.xlsx "$files/d200000.xlsx"
    measure xlrd.60k /usr/bin/python3 "$work/read_xlrd.py" "$files/d60000.xls"
    ours ours.60k.xls "$files/d60000.xls"
    measure libreoffice.60k soffice --convert-to csv --outdir "$work/csv" "$files/d60000.ods"
    ours ours.60k.ods "$files/d60000.ods"
    ours ours.60k.xlsx "$files/d60000.xlsx"
    ours ours.100k.xlsx "$files/d100000.xlsx"
    ours ours.400k.xlsx "$files/d400000.xlsx"
done

median() { tr ' ' '\n' <<<"$1" | grep -v '^$' | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
printf '%-34s %9s %9s %9s   (median of %d runs)\n' "" "wall s" "CPU s" "peak MB" "$rounds"
for name in ours.200k.xlsx xmllint.200k openpyxl.200k ours.60k.xls xlrd.60k ours.60k.ods \
    libreoffice.60k ours.60k.xlsx ours.100k.xlsx ours.400k.xlsx; do
    fig[$name.wall]=$(median "${fig[$name.wall]}")
    fig[$name.cpu]=$(median "${fig[$name.cpu]}")
    fig[$name.mb]=$(median "${fig[$name.mb]}")
    printf '%-34s %9s %9s %9s\n' "$name" "${fig[$name.wall]}" "${fig[$name.cpu]}" "${fig[$name.mb]}"
done

# The packages, made at a fixed date so that their bytes can be compared.
for book in d60000.xlsx d60000.xls d60000.ods d100000.xlsx d200000.xlsx d400000.xlsx; do
    rm -f "$work"/out/*
    faketime '2026-01-15 10:00:00' "$work/program/xls2qdp-cli" import "$files/$book" \
        --target "$work/out" --yes >/dev/null 2>&1
    sum=$(sha256sum "$work"/out/*.qdp | awk '{print $1}')
    echo "$sum  $book"
done >"$work/sums"
packages_ok=1
if ((record)); then
    cp "$work/sums" "$sums"
    echo "package checksums recorded in $sums"
elif ! diff -u "$sums" "$work/sums" >&2; then
    packages_ok=0
fi

/usr/bin/python3 - "$packages_ok" "${fig[ours.200k.xlsx.wall]}" "${fig[xmllint.200k.wall]}" \
    "${fig[openpyxl.200k.wall]}" "${fig[ours.60k.xls.cpu]}" "${fig[xlrd.60k.cpu]}" \
    "${fig[ours.60k.ods.wall]}" "${fig[libreoffice.60k.wall]}" "${fig[ours.60k.ods.cpu]}" \
    "${fig[ours.60k.xlsx.cpu]}" "${fig[ours.100k.xlsx.mb]}" "${fig[ours.400k.xlsx.mb]}" <<'PY'
import sys
(packages_ok, xlsx, xmllint, openpyxl, xls_cpu, xlrd_cpu, ods, libreoffice, ods_cpu,
 xlsx60_cpu, mem100, mem400) = map(float, sys.argv[1:])
checks = [
    (f"200k .xlsx vs xmllint --stream pipeline: {xlsx / xmllint:.2f}x wall (target <= 0.75x)",
     xlsx <= 0.75 * xmllint),
    (f"200k .xlsx vs openpyxl read-only: {openpyxl / xlsx:.1f}x faster (target >= 8x)",
     openpyxl >= 8 * xlsx),
    (f"60k .xls vs xlrd: {xls_cpu / xlrd_cpu:.2f}x its CPU (target <= 0.5x)", xls_cpu <= 0.5 * xlrd_cpu),
    (f"60k .ods vs LibreOffice to CSV: {libreoffice / ods:.1f}x faster (target >= 6x)",
     libreoffice >= 6 * ods),
    (f"peak memory at 400k rows: {mem400:.1f} MB (target < 40 MB)", mem400 < 40),
    (f"peak memory 400k / 100k: {mem400 / mem100:.2f}x (target <= 1.3x)", mem400 <= 1.3 * mem100),
    ("packages byte for byte as recorded", packages_ok == 1),
]
for text, ok in checks:
    print(("PASS " if ok else "FAIL ") + text)
print(f"(60k .ods import CPU / 60k .xlsx import CPU: {ods_cpu / xlsx60_cpu:.2f}x)")
sys.exit(0 if all(ok for _, ok in checks) else 1)
PY
