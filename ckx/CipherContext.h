// SPDX-License-Identifier: MIT
// One context of the public interface: an algorithm in a mode, its key, its
// IV and its chaining state, shared by both directions.
#pragma once

#include "ModeCipher.h"
#include "ckx/ckx.h"

#include <cstdint>
#include <memory>
#include <span>

namespace ckx {

class CipherContext {
public:
    // REQUIRES: checkAlgoMode(algo, mode) == CRYPT_OK.
    CipherContext(CRYPT_ALGO algo, CRYPT_MODE mode);
    ~CipherContext();

    // Each returns a CRYPT_xxx status.
    [[nodiscard]] int loadKey(std::span<const std::uint8_t> key);
    [[nodiscard]] int loadIv(std::span<const std::uint8_t> iv);
    [[nodiscard]] int encrypt(std::span<std::uint8_t> data);
    [[nodiscard]] int decrypt(std::span<std::uint8_t> data);

private:
    [[nodiscard]] int readyFor(std::span<const std::uint8_t> data) const;

    CRYPT_ALGO algo_;
    CRYPT_MODE mode_;
    ChainIv iv_{};
    bool ivLoaded_ = false;
    std::unique_ptr<ModeCipher> cipher_; // set once a key is loaded
};

} // namespace ckx
