// SPDX-License-Identifier: MIT
// Text helpers for UTF-8 names as the import compares and measures them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xls2qdp {

// Upper-cases a UTF-8 text as a Polish locale does for every letter that
// Windows-1250 can hold (ASCII, Latin-1 and Latin Extended-A: "ąćęłńóśźż" ->
// "ĄĆĘŁŃÓŚŹŻ"). Other characters and invalid bytes pass unchanged. This is
// the key under which names are compared case-insensitively.
std::string upperPolish(std::string_view text);

// Number of characters (code points) of a UTF-8 text; a Windows-1250 package
// field holds one byte per character, so this is what its width limits.
std::size_t utf8Length(std::string_view text);

// The first `count` characters of a UTF-8 text.
std::string_view utf8Prefix(std::string_view text, std::size_t count);

// The text without leading and trailing blanks (space, tab, CR, LF).
std::string_view stripBlanks(std::string_view text);

// Whether Windows-1250 has a character for this code point.
bool isWindows1250Character(char32_t codePoint);

// The first character of a UTF-8 text that Windows-1250 cannot hold, or 0.
char32_t firstNonWindows1250Character(std::string_view text);

} // namespace xls2qdp
