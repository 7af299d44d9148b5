// SPDX-License-Identifier: MIT
#include "CipherSession.h"

namespace qdp {

Result CipherSession::keyIv(const char* key, const char* iv) {
    // seclay answers 97 itself when no session exists yet.
    return fromSeclay(SeclayKeyIv(handle_, key ? key : "", iv ? iv : ""));
}

Result CipherSession::clear() {
    return fromSeclay(SeclayClear(handle_));
}

void CipherSession::reset() {
    if (handle_ != 0) SeclayDestroy(handle_);
    handle_ = 0;
}

std::uint32_t CipherSession::roundedSize(std::uint32_t n) const {
    std::uint32_t size = n;
    if (handle_ != 0 && n != 0 && SeclaySetUpSize(handle_, &size) != SECLAY_OK) size = n;
    return size;
}

Result CipherSession::encrypt(std::span<char> buffer, std::uint32_t n) const {
    // A length of 0 would make seclay measure the buffer as text.
    if (n == 0) return Result::Ok;
    if (buffer.size() < roundedSize(n)) return Result::CryptFailed;
    return SeclayEncryptE(handle_, buffer.data(), n) == SECLAY_OK ? Result::Ok
                                                                  : Result::CryptFailed;
}

} // namespace qdp
