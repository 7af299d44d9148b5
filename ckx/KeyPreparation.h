// SPDX-License-Identifier: MIT
// Turns a caller's key into the exact key bytes a cipher's key schedule takes:
// the length rules, the completion of short keys and the weak-DES-key check.
#pragma once

#include "ckx/ckx.h"

#include <cstdint>
#include <span>
#include <vector>

namespace ckx {

enum class SaferVariant { K64, K128 };

struct PreparedKey {
    int status = CRYPT_OK;           // CRYPT_OK, CRYPT_BADPARM (weak) or CRYPT_BADPARM3
    std::vector<std::uint8_t> bytes; // what the key schedule gets
    SaferVariant safer = SaferVariant::K64;
};

// REQUIRES: algo is an offered algorithm.
[[nodiscard]] PreparedKey prepareKey(CRYPT_ALGO algo, std::span<const std::uint8_t> key);

// True for the four weak and twelve semi-weak DES keys, compared over all
// eight bytes after the parity bits are set.
[[nodiscard]] bool isWeakDesKey(std::span<const std::uint8_t, 8> key);

} // namespace ckx
