// SPDX-License-Identifier: MIT
// Throughput of the E family as the package library uses it: every block is
// enciphered with a fresh context, so the key schedule is paid per block.
#include "seclay/seclay.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

// algo, mode, block size
void BM_EncryptE(benchmark::State& state) {
    SeclayHandle h = 0;
    const auto algo = static_cast<int32_t>(state.range(0));
    const auto mode = static_cast<int32_t>(state.range(1));
    const auto size = static_cast<uint32_t>(state.range(2));
    if (SeclayAlgoModeE(&h, algo, mode) != SECLAY_OK ||
        SeclayKeyIvE(h, algo == 2 ? "8bytekey" : "sixteen byte key", mode == 1 ? "" : "IV-bytes") !=
            SECLAY_OK) {
        state.SkipWithError("session refused");
        return;
    }
    std::vector<unsigned char> block(size + 16, 'x');
    for (auto _ : state) {
        benchmark::DoNotOptimize(SeclayEncryptE(h, block.data(), size));
        benchmark::DoNotOptimize(SeclayDecryptE(h, block.data(), size));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size * 2);
    SeclayDestroy(h);
}
BENCHMARK(BM_EncryptE)
    ->ArgNames({"algo", "mode", "bytes"})
    ->Args({2, 2, 64})
    ->Args({2, 2, 4096})
    ->Args({3, 2, 4096})
    ->Args({5, 2, 4096})
    ->Args({7, 2, 4096})
    ->Args({8, 2, 64})
    ->Args({8, 2, 4096})
    ->Args({8, 5, 4096});

void BM_HexRoundTrip(benchmark::State& state) {
    SeclayHandle h = 0;
    SeclayAlgoModeE(&h, 8, 3);
    SeclayKeyIvE(h, "sixteen byte key", "IV-bytes");
    const auto size = static_cast<uint32_t>(state.range(0));
    const bool ebcd = state.range(1) != 0;
    std::vector<unsigned char> buffer(2 * size + 40, 'x');
    for (auto _ : state) {
        buffer[size] = 0;
        benchmark::DoNotOptimize(
            (ebcd ? SeclayEncryptEBCD : SeclayEncryptEHex)(h, buffer.data(), size));
        benchmark::DoNotOptimize(
            (ebcd ? SeclayDecryptEBCD : SeclayDecryptEHex)(h, buffer.data(), 0));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
    SeclayDestroy(h);
}
BENCHMARK(BM_HexRoundTrip)->ArgNames({"bytes", "ebcd"})->Args({2000, 0})->Args({2000, 1});

} // namespace

BENCHMARK_MAIN();
