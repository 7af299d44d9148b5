// SPDX-License-Identifier: MIT
// The library's result codes as one type; the numbers are part of the
// exported interface (see SeclayResult in the public header).
#pragma once

#include <cstdint>

namespace seclay {

enum class Result : std::int32_t {
    Fail = 0, // SeclayY/SeclayX and the EBCD text form; SeclayZ's constant answer
    Ok = 1,
    BadHandle = 4,
    NoMemory = 20,
    EncryptFailed = 51, // also: a crypto context could not be released
    DecryptFailed = 54,
    QueryFailed = 55,
    KeyTooShort = 56,
    KeyTooLong = 57,
    IvTooShort = 58,
    IvTooLong = 59,
    BadAlgo = 60,
    BadMode = 61,
    KeyLoadFailed = 62,
    IvLoadFailed = 63,
    BadSize = 65,
    WeakKey = 66,
    ContextFailed = 81,
    NoContext = 94,
    OddHex = 95,
    NullHandle = 97,
};

[[nodiscard]] constexpr std::int32_t code(Result r) {
    return static_cast<std::int32_t>(r);
}

} // namespace seclay
