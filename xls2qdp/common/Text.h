// SPDX-License-Identifier: MIT
// Text helpers every layer of the importer shares: trimming, folder names
// with their trailing delimiter, and Polish upper case. Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace xls2qdp {

// The text without blanks and control characters (the bytes up to 0x20) at
// either end. UTF-8 never uses those bytes inside a character.
std::string_view trimBlanksAndControls(std::string_view text);

// The Unicode spaces that text pasted from web pages and other programs
// brings along: the no-break space, the typographic spaces, the zero-width
// space and joiner, the byte order mark.
bool isUnicodeBlank(char32_t character);

// trimBlanksAndControls that also takes the Unicode spaces above for blanks.
std::string_view trimUnicodeBlanks(std::string_view text);

// A number with its noun in the Polish form that number takes:
// countedNoun(1, "wiersz", "wiersze", "wierszy") is "1 wiersz", 3 gives
// "3 wiersze", 5 and 12 give "5 wierszy", "12 wierszy", 22 gives "22 wiersze".
std::string countedNoun(long long number, std::string_view one, std::string_view few,
                        std::string_view many);

// True for the characters that end a folder name on this platform.
bool isPathDelimiter(char c);

// The folder name with a path delimiter at its end, appended when it lacks
// one. An empty name stays empty: it names no folder, and never the root.
std::string withTrailingDelimiter(std::string folder);

// Upper-cases a UTF-8 text as a Polish locale does for every letter that
// Windows-1250 can hold (ASCII, Latin-1 and Latin Extended-A: "ąćęłńóśźż" ->
// "ĄĆĘŁŃÓŚŹŻ"). Other characters and bytes that are not UTF-8 pass
// unchanged. This is the key under which names are compared
// case-insensitively, in the dictionaries' indexes too.
std::string upperPolish(std::string_view text);

} // namespace xls2qdp
