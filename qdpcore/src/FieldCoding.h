// SPDX-License-Identifier: MIT
// Putting values into fixed-width fields of the package file and taking
// them out again.
#pragma once

#include "FileFormat.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace qdp::format {

// The bytes of one field inside a header image.
inline std::span<char> slice(std::span<char> image, Field field) {
    return image.subspan(field.offset, field.width);
}
inline std::span<const char> slice(std::span<const char> image, Field field) {
    return image.subspan(field.offset, field.width);
}

// Left-aligned text padded with zero bytes; at least one zero byte stays,
// so a longer text is cut to width - 1.
inline void putText(std::span<char> field, std::string_view text) {
    std::fill(field.begin(), field.end(), '\0');
    if (field.empty()) return;
    const std::size_t n = std::min(text.size(), field.size() - 1);
    std::memcpy(field.data(), text.data(), n);
}

// Left-aligned decimal digits padded with zero bytes. A value at or above
// the limit leaves the field all zero (the format cannot hold it).
inline void putNumber(std::span<char> field, std::uint64_t value, std::uint64_t limit) {
    std::fill(field.begin(), field.end(), '\0');
    if (value >= limit) return;
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(end - digits), field.size());
    std::memcpy(field.data(), digits, n);
}
inline void putNumber(std::span<char> field, std::uint64_t value) {
    putNumber(field, value, limitForWidth(field.size()));
}

// The text of a field up to its first zero byte (or its whole width).
inline std::string_view parseText(std::span<const char> field) {
    const auto zero = std::find(field.begin(), field.end(), '\0');
    return {field.data(), static_cast<std::size_t>(zero - field.begin())};
}

// A decimal number within the field: leading blanks and a sign allowed,
// digits up to the first other byte; no digits give 0. Saturates instead of
// overflowing.
inline std::int64_t parseNumber(std::span<const char> field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t kCap = INT64_MAX / 10 - 10;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        if (value < kCap) value = value * 10 + (field[i] - '0');
    }
    return negative ? -value : value;
}

// A decimal text given by a caller (sizes and precisions of field
// definitions): the same rule, up to the text's terminating zero.
inline std::int64_t parseDecimalText(std::string_view text) {
    return parseNumber(std::span<const char>(text.data(), text.size()));
}

} // namespace qdp::format
