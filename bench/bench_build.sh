# SPDX-License-Identifier: MIT
# Sourced by the benchmark scripts.
# bench_build BUILD TARGET...: configures BUILD as a Release build with the
# benchmarks when it is not configured yet, and builds the targets in it.
bench_build() {
    local build=$1
    shift
    if [[ ! -f $build/CMakeCache.txt ]]; then
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQDP_BUILD_BENCH=ON \
            -DQDP_BUILD_TESTS=OFF -DQDP_BUILD_GUI=OFF >/dev/null
    fi
    cmake --build "$build" -j2 --target "$@" >/dev/null
}
