// SPDX-License-Identifier: MIT
// INI files written on Windows hold their Polish names and values in the
// Windows-1250 code page; this converts between it and UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace upkeep {

// Every byte has a character; the five bytes the code page leaves unused
// become characters of the private-use area, so they still compare only
// with themselves.
[[nodiscard]] std::string utf8FromWindows1250(std::string_view bytes);

// nullopt when the text holds a character the code page has no byte for.
[[nodiscard]] std::optional<std::string> windows1250FromUtf8(std::string_view utf8);

} // namespace upkeep
