// SPDX-License-Identifier: MIT
// Case-insensitive comparison of key, value, section and entry names, the way
// Windows compares registry and INI names: letters of any alphabet, not only
// ASCII, match their other case ("ZAŻÓŁĆ" equals "zażółć").
#pragma once

#include <string>
#include <string_view>

namespace upkeep {

// Compares two UTF-8 texts letter by letter with case folded. Bytes that are
// not valid UTF-8 are compared as they are.
[[nodiscard]] bool equalNoCase(std::string_view a, std::string_view b);

// A key that two names share exactly when equalNoCase holds for them, for
// looking names up in hash tables.
[[nodiscard]] std::string foldedName(std::string_view text);

// Decodes the UTF-8 sequence at text[pos] and moves pos past it. A byte that
// does not start a valid sequence is returned as kInvalidUtf8 | byte, which
// is no character, and pos moves on by one.
inline constexpr char32_t kInvalidUtf8 = 0x80000000u;
[[nodiscard]] char32_t nextCodePoint(std::string_view text, std::size_t& pos);

// Whether the whole text is valid UTF-8.
[[nodiscard]] bool isValidUtf8(std::string_view text);

// ASCII upper case, for recognising the tool's own keywords.
[[nodiscard]] std::string asciiUpper(std::string_view text);

} // namespace upkeep
