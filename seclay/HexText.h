// SPDX-License-Identifier: MIT
// The two hexadecimal text forms of enciphered bytes: two upper-case digits
// per byte, high half first, then a zero byte. The table-driven form has no
// length limit and works through one shared, growing scratch buffer; the
// formatted form works in a fixed buffer and stops at kFormattedLimit digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace seclay {

inline constexpr std::size_t kFormattedLimit = 4016; // digits, i.e. 2008 bytes

enum class HexStatus { Ok, OddLength, BadDigit, TooLong };

// Turns the first count bytes of buffer into their text in place.
// REQUIRES: room for 2 * count + 1 bytes.
void writeHexTable(std::uint8_t* buffer, std::size_t count);
// Same text, formatted conversion; TooLong (buffer untouched) over the limit.
[[nodiscard]] HexStatus writeHexFormatted(std::uint8_t* buffer, std::size_t count);

// Turns the zero-terminated text in buffer into bytes at its start and sets
// *count to their number. Any failure leaves the buffer as it was.
// The table-driven reader takes only "0123456789ABCDEF".
[[nodiscard]] HexStatus readHexTable(std::uint8_t* buffer, std::size_t* count);
// The formatted reader also takes lower-case digits, and at most the limit.
[[nodiscard]] HexStatus readHexFormatted(std::uint8_t* buffer, std::size_t* count);

// The shared scratch buffer: at least size bytes, all zero. Kept between
// calls, replaced only by a larger request. Not thread-safe.
[[nodiscard]] std::span<char> scratchArea(std::size_t size);
[[nodiscard]] std::size_t scratchCapacity();

} // namespace seclay
