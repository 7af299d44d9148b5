// SPDX-License-Identifier: MIT
// The padding rule: data is filled up to a whole number of units (the key
// length) with the byte 0x80 and then zeros; whole data gets nothing.
#pragma once

#include <cstdint>
#include <cstring>

namespace seclay {

inline constexpr std::uint8_t kPaddingMarker = 0x80;

// p = (unit - n mod unit) mod unit; 0 when there is no unit.
[[nodiscard]] constexpr std::uint32_t paddingFor(std::uint32_t n, std::uint32_t unit) {
    return unit == 0 ? 0 : (unit - n % unit) % unit;
}

// Writes the marker at n and p - 1 zeros after it. REQUIRES: room for n + p.
inline void applyPadding(std::uint8_t* data, std::uint32_t n, std::uint32_t p) {
    if (p == 0) return;
    data[n] = kPaddingMarker;
    std::memset(data + n + 1, 0, p - 1);
}

// After deciphering n bytes that were not a whole number of units: if the
// first zero byte among them follows a marker, the marker becomes zero too,
// so the data reads as the text it was.
inline void removeMarker(std::uint8_t* data, std::uint32_t n) {
    const void* zero = std::memchr(data, 0, n);
    if (!zero) return;
    const auto at = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - data);
    if (at > 0 && data[at - 1] == kPaddingMarker) data[at - 1] = 0;
}

} // namespace seclay
