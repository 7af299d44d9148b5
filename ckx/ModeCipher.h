// SPDX-License-Identifier: MIT
// A block or stream cipher running in one mode, over the cipher library.
// This header deliberately includes neither the public ckx header nor the
// cipher library: both define status names such as CRYPT_OK.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace ckx {

enum class CipherKind { Des, TripleDes, Rc2FullKey, SaferK64, SaferK128, Blowfish, Rc4 };
enum class ChainMode { Stream, Ecb, Cbc, Cfb, Ofb, Pcbc };

inline constexpr std::size_t kChainBlock = 8;
using ChainIv = std::array<std::uint8_t, kChainBlock>;

class ModeCipher {
public:
    // Schedules key (exact bytes: 8 for DES, 24 for 3DES, 8/16 for SAFER
    // K-64/K-128, 8..56 for Blowfish, any for RC2 and RC4) and starts the
    // chaining from iv. Returns nullptr when the cipher library refuses.
    [[nodiscard]] static std::unique_ptr<ModeCipher>
    start(CipherKind cipher, ChainMode mode, std::span<const std::uint8_t> key, const ChainIv& iv);
    ~ModeCipher(); // wipes the schedule and the chaining state
    ModeCipher(const ModeCipher&) = delete;
    ModeCipher& operator=(const ModeCipher&) = delete;

    // Restarts the chaining from iv (no effect in ECB and stream mode).
    [[nodiscard]] bool setIv(const ChainIv& iv);
    // In place. REQUIRES: whole blocks in ECB, CBC and PCBC.
    [[nodiscard]] bool encrypt(std::span<std::uint8_t> data);
    [[nodiscard]] bool decrypt(std::span<std::uint8_t> data);

    struct State;
    explicit ModeCipher(std::unique_ptr<State> state); // used by start()

private:
    std::unique_ptr<State> state_;
};

} // namespace ckx
