// SPDX-License-Identifier: MIT
// The library's result codes as one type; the numbers are those of the
// exported interface, so a Result crosses the C boundary as its value.
#pragma once

#include "seclay/seclay.h"

#include <cstdint>

namespace seclay {

enum class Result : std::int32_t {
    Fail = SECLAY_FAIL, // SeclayY/SeclayX and the EBCD text form; SeclayZ's constant answer
    Ok = SECLAY_OK,
    BadHandle = SECLAY_BAD_HANDLE,
    NoMemory = SECLAY_NO_MEMORY,
    EncryptFailed = SECLAY_ENCRYPT_FAILED, // also: a crypto context could not be released
    DecryptFailed = SECLAY_DECRYPT_FAILED,
    QueryFailed = SECLAY_QUERY_FAILED,
    KeyTooShort = SECLAY_KEY_TOO_SHORT,
    KeyTooLong = SECLAY_KEY_TOO_LONG,
    IvTooShort = SECLAY_IV_TOO_SHORT,
    IvTooLong = SECLAY_IV_TOO_LONG,
    BadAlgo = SECLAY_BAD_ALGO,
    BadMode = SECLAY_BAD_MODE,
    KeyLoadFailed = SECLAY_KEY_LOAD_FAILED,
    IvLoadFailed = SECLAY_IV_LOAD_FAILED,
    BadSize = SECLAY_BAD_SIZE,
    WeakKey = SECLAY_WEAK_KEY,
    ContextFailed = SECLAY_CONTEXT_FAILED,
    NoContext = SECLAY_NO_CONTEXT,
    OddHex = SECLAY_ODD_HEX,
    NullHandle = SECLAY_NULL_HANDLE,
};

[[nodiscard]] constexpr std::int32_t code(Result r) {
    return static_cast<std::int32_t>(r);
}

} // namespace seclay
