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

// ASCII upper case, for recognising the tool's own keywords.
[[nodiscard]] std::string asciiUpper(std::string_view text);

} // namespace upkeep
