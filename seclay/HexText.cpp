// SPDX-License-Identifier: MIT
#include "HexText.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

namespace seclay {
namespace {

constexpr std::string_view kDigits = "0123456789ABCDEF";

std::vector<char> scratch; // lives as long as the library is loaded

int upperDigit(char c) {
    auto at = kDigits.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

int anyCaseDigit(char c) {
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return upperDigit(c);
}

// Checks a text of t characters and decodes it from source into out.
template <typename DigitFn>
bool decodePairs(const char* source, std::size_t t, DigitFn digit, std::uint8_t* out) {
    for (std::size_t i = 0; i < t; i += 2) {
        int high = digit(source[i]), low = digit(source[i + 1]);
        if (high < 0 || low < 0) return false;
        if (out) out[i / 2] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return true;
}

} // namespace

std::span<char> scratchArea(std::size_t size) {
    if (size > scratch.size())
        scratch = std::vector<char>(size, 0);
    else
        std::fill(scratch.begin(), scratch.end(), 0);
    return {scratch.data(), size};
}

std::size_t scratchCapacity() {
    return scratch.size();
}

void writeHexTable(std::uint8_t* buffer, std::size_t count) {
    std::span<char> text = scratchArea(2 * count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        text[2 * i] = kDigits[buffer[i] >> 4];
        text[2 * i + 1] = kDigits[buffer[i] & 0x0F];
    }
    text[2 * count] = 0;
    std::memset(buffer, 0, 2 * count + 1);
    std::memcpy(buffer, text.data(), 2 * count + 1);
}

HexStatus writeHexFormatted(std::uint8_t* buffer, std::size_t count) {
    if (2 * count > kFormattedLimit) return HexStatus::TooLong;
    std::array<std::uint8_t, kFormattedLimit / 2> bytes;
    std::memcpy(bytes.data(), buffer, count);
    for (std::size_t i = 0; i < count; ++i) {
        buffer[2 * i] = static_cast<std::uint8_t>(kDigits[bytes[i] >> 4]);
        buffer[2 * i + 1] = static_cast<std::uint8_t>(kDigits[bytes[i] & 0x0F]);
    }
    buffer[2 * count] = 0;
    return HexStatus::Ok;
}

HexStatus readHexTable(std::uint8_t* buffer, std::size_t* count) {
    const char* text = reinterpret_cast<const char*>(buffer);
    const std::size_t t = std::strlen(text);
    if (t % 2 != 0) return HexStatus::OddLength;
    // Check every digit before the buffer is touched.
    if (!decodePairs(text, t, upperDigit, nullptr)) return HexStatus::BadDigit;
    std::span<char> copy = scratchArea(t + 1);
    std::memcpy(copy.data(), text, t);
    std::memset(buffer, 0, t);
    decodePairs(copy.data(), t, upperDigit, buffer);
    *count = t / 2;
    return HexStatus::Ok;
}

HexStatus readHexFormatted(std::uint8_t* buffer, std::size_t* count) {
    const char* text = reinterpret_cast<const char*>(buffer);
    // Looks no further than one character past the limit.
    const std::size_t t = strnlen(text, kFormattedLimit + 1);
    if (t > kFormattedLimit) return HexStatus::TooLong;
    if (t % 2 != 0) return HexStatus::OddLength;
    if (!decodePairs(text, t, anyCaseDigit, nullptr)) return HexStatus::BadDigit;
    std::array<char, kFormattedLimit + 1> copy;
    std::memcpy(copy.data(), text, t);
    std::memset(buffer, 0, t);
    decodePairs(copy.data(), t, anyCaseDigit, buffer);
    *count = t / 2;
    return HexStatus::Ok;
}

} // namespace seclay
