// SPDX-License-Identifier: MIT
// One seclay session owned by the package (package cipher) or by a field
// definition (field cipher); destroyed with its owner.
#pragma once

#include "Result.h"

#include <seclay/seclay.h>

#include <cstdint>
#include <span>

namespace qdp {

class CipherSession {
public:
    CipherSession() = default;
    ~CipherSession() { reset(); }
    CipherSession(const CipherSession&) = delete;
    CipherSession& operator=(const CipherSession&) = delete;

    [[nodiscard]] bool exists() const { return handle_ != 0; }
    [[nodiscard]] SeclayHandle handle() const { return handle_; }

    // Creates the session on first use, as SeclayAlgoMode does. A refused
    // algorithm or mode destroys the session: a half-set one would take a
    // key and then leave the data unenciphered.
    [[nodiscard]] Result algoMode(std::int32_t algorithm, std::int32_t mode) {
        const Result r = fromSeclay(SeclayAlgoMode(&handle_, algorithm, mode));
        if (!ok(r)) reset();
        return r;
    }
    [[nodiscard]] Result keyIv(const char* key, const char* iv);
    [[nodiscard]] Result clear();
    void reset();

    // Length n rounded up to whole cipher units (unchanged without a key).
    [[nodiscard]] std::uint32_t roundedSize(std::uint32_t n) const;
    // Encrypts the first n bytes of buffer, padding them to whole units; the
    // buffer must hold roundedSize(n) bytes. Works in the caller's copy.
    [[nodiscard]] Result encrypt(std::span<char> buffer, std::uint32_t n) const;

private:
    SeclayHandle handle_ = 0;
};

} // namespace qdp
