// SPDX-License-Identifier: MIT
#include "KeyPreparation.h"

#include "Capabilities.h"

#include <algorithm>
#include <array>
#include <bit>

namespace ckx {
namespace {

using DesKey = std::array<std::uint8_t, 8>;

// Weak and semi-weak keys with odd parity.
constexpr std::array<DesKey, 16> kWeakDesKeys{{
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01},
    {0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE},
    {0x1F, 0x1F, 0x1F, 0x1F, 0x0E, 0x0E, 0x0E, 0x0E},
    {0xE0, 0xE0, 0xE0, 0xE0, 0xF1, 0xF1, 0xF1, 0xF1},
    {0x01, 0xFE, 0x01, 0xFE, 0x01, 0xFE, 0x01, 0xFE},
    {0xFE, 0x01, 0xFE, 0x01, 0xFE, 0x01, 0xFE, 0x01},
    {0x1F, 0xE0, 0x1F, 0xE0, 0x0E, 0xF1, 0x0E, 0xF1},
    {0xE0, 0x1F, 0xE0, 0x1F, 0xF1, 0x0E, 0xF1, 0x0E},
    {0x01, 0xE0, 0x01, 0xE0, 0x01, 0xF1, 0x01, 0xF1},
    {0xE0, 0x01, 0xE0, 0x01, 0xF1, 0x01, 0xF1, 0x01},
    {0x1F, 0xFE, 0x1F, 0xFE, 0x0E, 0xFE, 0x0E, 0xFE},
    {0xFE, 0x1F, 0xFE, 0x1F, 0xFE, 0x0E, 0xFE, 0x0E},
    {0x01, 0x1F, 0x01, 0x1F, 0x01, 0x0E, 0x01, 0x0E},
    {0x1F, 0x01, 0x1F, 0x01, 0x0E, 0x01, 0x0E, 0x01},
    {0xE0, 0xFE, 0xE0, 0xFE, 0xF1, 0xFE, 0xF1, 0xFE},
    {0xFE, 0xE0, 0xFE, 0xE0, 0xFE, 0xF1, 0xFE, 0xF1},
}};

std::uint8_t withOddParity(std::uint8_t b) {
    return std::popcount(static_cast<unsigned>(b & 0xFE)) % 2 == 0 ? (b & 0xFE) | 1 : b & 0xFE;
}

std::vector<std::uint8_t> zeroPadded(std::span<const std::uint8_t> key, std::size_t size) {
    std::vector<std::uint8_t> out(size, 0);
    std::copy(key.begin(), key.end(), out.begin());
    return out;
}

bool anyWeakDesPart(const std::vector<std::uint8_t>& bytes) {
    for (std::size_t at = 0; at + 8 <= bytes.size(); at += 8)
        if (isWeakDesKey(std::span<const std::uint8_t, 8>(bytes.data() + at, 8))) return true;
    return false;
}

} // namespace

bool isWeakDesKey(std::span<const std::uint8_t, 8> key) {
    DesKey adjusted;
    std::transform(key.begin(), key.end(), adjusted.begin(), withOddParity);
    return std::find(kWeakDesKeys.begin(), kWeakDesKeys.end(), adjusted) != kWeakDesKeys.end();
}

PreparedKey prepareKey(CRYPT_ALGO algo, std::span<const std::uint8_t> key) {
    PreparedKey out;
    const AlgorithmInfo* info = findAlgorithm(algo);
    const auto size = static_cast<int>(key.size());
    if (!info || size < info->minKeySize || size > info->maxKeySize) {
        out.status = CRYPT_BADPARM3;
        return out;
    }
    switch (algo) {
    case CRYPT_ALGO_DES:
        out.bytes = zeroPadded(key, 8);
        if (anyWeakDesPart(out.bytes)) out.status = CRYPT_BADPARM;
        break;
    case CRYPT_ALGO_3DES: {
        // The default context is two-key EDE: K1 K2 from 16 bytes, K3 = K1.
        // A key of 8 bytes or less leaves K2 all zero, which is a weak key.
        if (size > 16) {
            out.status = CRYPT_BADPARM3;
            break;
        }
        std::vector<std::uint8_t> twoKey = zeroPadded(key, 16);
        if (anyWeakDesPart(twoKey)) {
            out.status = CRYPT_BADPARM;
            break;
        }
        out.bytes = twoKey;
        out.bytes.insert(out.bytes.end(), twoKey.begin(), twoKey.begin() + 8);
        break;
    }
    case CRYPT_ALGO_SAFER:
        out.safer = size <= 8 ? SaferVariant::K64 : SaferVariant::K128;
        out.bytes = zeroPadded(key, size <= 8 ? 8 : 16);
        break;
    case CRYPT_ALGO_BLOWFISH:
        // The key schedule cycles the key bytes, so repeating a short key
        // until it reaches the schedule's minimum of 8 changes nothing.
        if (size > 56) {
            out.status = CRYPT_BADPARM3;
            break;
        }
        out.bytes.assign(key.begin(), key.end());
        while (out.bytes.size() < 8)
            out.bytes.insert(out.bytes.end(), key.begin(), key.end());
        break;
    default: // RC2, RC4: taken as they are
        out.bytes.assign(key.begin(), key.end());
        break;
    }
    if (out.status != CRYPT_OK) out.bytes.clear();
    return out;
}

} // namespace ckx
