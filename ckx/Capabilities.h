// SPDX-License-Identifier: MIT
// What ckx offers: per algorithm its key sizes and modes, per mode its IV
// sizes. Pure data, shared by the availability queries and the contexts.
#pragma once

#include "ckx/ckx.h"

namespace ckx {

struct AlgorithmInfo {
    CRYPT_ALGO algo;
    const char* name;
    int minKeySize;
    int keySize; // recommended
    int maxKeySize;
    int blockSize; // 1 for the stream cipher
};

// The offered algorithm with this number, or nullptr.
[[nodiscard]] const AlgorithmInfo* findAlgorithm(CRYPT_ALGO algo);

// CRYPT_OK, CRYPT_NOALGO or CRYPT_NOMODE.
[[nodiscard]] int checkAlgoMode(CRYPT_ALGO algo, CRYPT_MODE mode);

// True when the mode chains through an IV (CBC, CFB, OFB, PCBC).
[[nodiscard]] bool modeNeedsIv(CRYPT_MODE mode);

// True when each call must be a whole number of cipher blocks (ECB, CBC, PCBC).
[[nodiscard]] bool modeNeedsWholeBlocks(CRYPT_MODE mode);

inline constexpr int kBlockSize = 8;
inline constexpr int kMinIvSize = 4;
inline constexpr int kIvSize = CRYPT_MAX_IVSIZE;

// Fills every field of info; REQUIRES: checkAlgoMode(algo, mode) == CRYPT_OK.
void describe(CRYPT_ALGO algo, CRYPT_MODE mode, CRYPT_QUERY_INFO& info);

} // namespace ckx
