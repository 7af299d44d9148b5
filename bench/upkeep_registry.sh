#!/usr/bin/env bash
# Measures upkeep's registry-file edits on registry files of 5,000, 20,000 and
# 60,000 keys (all below one key, the worst case for looking a name up among
# its siblings) and checks that their cost grows linearly with the file:
# every operation at 60,000 keys takes at most 12 x 2 = 24 times as long as at
# 5,000 keys (12 times the keys, with room for noise and caches).
# Operations: SETKEY of a new value in an existing key, SETKEY of a new key,
# DELKEY of one value, DELKEY of the whole tree of keys.
# A run longer than LIMIT seconds (default 300) is stopped and counted as a
# failure; its time is shown as ">LIMIT".
# Usage: bench/upkeep_registry.sh [BUILD_DIR]   (default build-bench, Release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
limit=${LIMIT:-300}
source bench/bench_build.sh
bench_build "$build" upkeep
upkeep=$(realpath "$build/bin/upkeep")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A registry file of n keys, each with one string value.
make_registry() {
    awk -v n="$1" 'BEGIN {
        printf "Windows Registry Editor Version 5.00\r\n\r\n"
        printf "[HKEY_CURRENT_USER\\Software\\Bench]\r\n\r\n"
        for (i = 1; i <= n; i++)
            printf "[HKEY_CURRENT_USER\\Software\\Bench\\Key%06d]\r\n\"Value\"=\"text %d\"\r\n\r\n", i, i
    }'
}

# Seconds (wall clock) of one upkeep run on a fresh copy of the registry file.
time_run() {
    local registry=$1 expected=$2
    shift 2
    cp "$work/base.reg" "$registry"
    local start end code
    start=$(date +%s%N)
    UPKEEP_REGISTRY=$registry timeout "$limit" "$upkeep" "$@" >/dev/null && code=0 || code=$?
    end=$(date +%s%N)
    if [[ $code -eq 124 ]]; then
        echo inf
        return
    fi
    if [[ $code -ne $expected ]]; then
        echo "upkeep $* ended with $code, expected $expected" >&2
        exit 1
    fi
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}

declare -A seconds
sizes=(5000 20000 60000)
operations=(set-value set-key del-value del-tree)
printf '%-10s' keys
printf '%12s' "${operations[@]}"
printf '\n'
for n in "${sizes[@]}"; do
    make_registry "$n" >"$work/base.reg"
    reg=$work/registry.reg
    last=$(printf 'Key%06d' "$n")
    seconds[$n,set-value]=$(time_run "$reg" 0 /SETKEY "/KEY:HKCU\\Software\\Bench\\$last" \
        /NAME:Other /VALUE:x)
    seconds[$n,set-key]=$(time_run "$reg" 0 /SETKEY "/KEY:HKCU\\Software\\Bench\\New\\" /VALUE:x)
    seconds[$n,del-value]=$(time_run "$reg" 0 /DELKEY "/KEY:HKCU\\Software\\Bench\\$last" \
        /NAME:Value)
    seconds[$n,del-tree]=$(time_run "$reg" 0 /DELKEY "/KEY:HKCU\\Software\\Bench")
    printf '%-10s' "$n"
    for op in "${operations[@]}"; do
        if [[ ${seconds[$n,$op]} == inf ]]; then
            printf '%12s' ">$limit"
        else
            printf '%12.3f' "${seconds[$n,$op]}"
        fi
    done
    printf '\n'
done

status=0
for op in "${operations[@]}"; do
    small=${seconds[5000,$op]}
    large=${seconds[60000,$op]}
    if [[ $small == inf || $large == inf ]]; then
        printf 'FAIL %s: a run took longer than %s s\n' "$op" "$limit"
        status=1
        continue
    fi
    # Runs too short to time (below 10 ms) count as 10 ms.
    verdict=$(awk -v a="$small" -v b="$large" 'BEGIN {
        if (a < 0.01) a = 0.01
        r = b / a
        printf "%s %.1f", (r > 24 ? "FAIL" : "ok  "), r }')
    printf '%s %s: 60,000 keys take %s times as long as 5,000\n' "${verdict%% *}" "$op" \
        "${verdict#* }"
    [[ $verdict == FAIL* ]] && status=1
done
exit $status
