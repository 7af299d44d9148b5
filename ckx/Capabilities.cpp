// SPDX-License-Identifier: MIT
#include "Capabilities.h"

#include <array>
#include <cstring>

namespace ckx {
namespace {

constexpr std::array kAlgorithms{
    AlgorithmInfo{CRYPT_ALGO_DES, "DES", 5, 8, 8, 8},
    AlgorithmInfo{CRYPT_ALGO_3DES, "3DES", 5, 16, 24, 8},
    AlgorithmInfo{CRYPT_ALGO_RC2, "RC2", 5, 16, 128, 8},
    AlgorithmInfo{CRYPT_ALGO_RC4, "RC4", 5, 16, 256, 1},
    AlgorithmInfo{CRYPT_ALGO_SAFER, "SAFER", 5, 8, 16, 8},
    AlgorithmInfo{CRYPT_ALGO_BLOWFISH, "Blowfish", 5, 16, 256, 8},
};

const char* modeName(CRYPT_MODE mode) {
    switch (mode) {
    case CRYPT_MODE_STREAM:
        return "Stream";
    case CRYPT_MODE_ECB:
        return "ECB";
    case CRYPT_MODE_CBC:
        return "CBC";
    case CRYPT_MODE_CFB:
        return "CFB";
    case CRYPT_MODE_OFB:
        return "OFB";
    case CRYPT_MODE_PCBC:
        return "PCBC";
    default:
        return "";
    }
}

} // namespace

const AlgorithmInfo* findAlgorithm(CRYPT_ALGO algo) {
    for (const auto& info : kAlgorithms)
        if (info.algo == algo) return &info;
    return nullptr;
}

int checkAlgoMode(CRYPT_ALGO algo, CRYPT_MODE mode) {
    const AlgorithmInfo* info = findAlgorithm(algo);
    if (!info) return CRYPT_NOALGO;
    if (info->blockSize == 1) return mode == CRYPT_MODE_STREAM ? CRYPT_OK : CRYPT_NOMODE;
    switch (mode) {
    case CRYPT_MODE_ECB:
    case CRYPT_MODE_CBC:
    case CRYPT_MODE_CFB:
    case CRYPT_MODE_OFB:
    case CRYPT_MODE_PCBC:
        return CRYPT_OK;
    default:
        return CRYPT_NOMODE;
    }
}

bool modeNeedsIv(CRYPT_MODE mode) {
    return mode == CRYPT_MODE_CBC || mode == CRYPT_MODE_CFB || mode == CRYPT_MODE_OFB ||
           mode == CRYPT_MODE_PCBC;
}

bool modeNeedsWholeBlocks(CRYPT_MODE mode) {
    return mode == CRYPT_MODE_ECB || mode == CRYPT_MODE_CBC || mode == CRYPT_MODE_PCBC;
}

void describe(CRYPT_ALGO algo, CRYPT_MODE mode, CRYPT_QUERY_INFO& info) {
    const AlgorithmInfo& algorithm = *findAlgorithm(algo);
    std::memset(&info, 0, sizeof info);
    info.cryptAlgo = algo;
    info.cryptMode = mode;
    info.algoName = algorithm.name;
    info.modeName = modeName(mode);
    // Feedback modes run byte by byte; the 3DES entries have always reported
    // their block size there, and callers may compare against it.
    bool feedback = mode == CRYPT_MODE_CFB || mode == CRYPT_MODE_OFB;
    info.blockSize = feedback && algo != CRYPT_ALGO_3DES ? 1 : algorithm.blockSize;
    info.minKeySize = algorithm.minKeySize;
    info.keySize = algorithm.keySize;
    info.maxKeySize = algorithm.maxKeySize;
    if (modeNeedsIv(mode)) {
        info.minIVsize = kMinIvSize;
        info.ivSize = kIvSize;
        info.maxIVsize = kIvSize;
    }
    info.speed = CRYPT_ERROR;
}

} // namespace ckx
