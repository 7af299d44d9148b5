// SPDX-License-Identifier: MIT
// Windows-1250, the code page of the texts inside packages: which characters
// it holds, and conversion between the importer's UTF-8 texts and its bytes.
// A character Windows-1250 cannot hold is never replaced or dropped: the
// conversion fails and says which character it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace xls2qdp {

struct Windows1250Failure {
    std::size_t byteOffset = 0; // where the character starts in the UTF-8 text
    char32_t character = 0;     // the character (meaningful when !invalidUtf8)
    bool invalidUtf8 = false;   // the text was not valid UTF-8 at byteOffset
    unsigned char badByte = 0;  // the offending byte when invalidUtf8
};

// Whether every byte is below 0x80: such a text is the same in UTF-8 and in
// Windows-1250. Asked of every value on its way to a package, most of them a
// few bytes long: inline, eight bytes at a time.
inline bool isAscii(std::string_view text) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const char* p = text.data();
    std::size_t left = text.size();
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if (word & kHighBits) return false;
    }
    for (; left > 0; ++p, --left)
        if (static_cast<unsigned char>(*p) >= 0x80) return false;
    return true;
}

// Converts UTF-8 texts to Windows-1250 through a table of the code page's
// upper half, made once from the system's own conversion (the same one
// windows1250ToUtf8 uses), so that it cannot drift from it.
class Windows1250Encoder {
public:
    Windows1250Encoder();

    // UTF-8 -> Windows-1250. On failure returns false, leaves out unspecified
    // and describes the first character that could not be converted.
    bool encode(std::string_view utf8, std::string& out, Windows1250Failure& failure);

private:
    const unsigned char* byteOf_; // by code point below U+2200: its byte, or 0
};

// Windows-1250 -> UTF-8 (every byte value has a meaning except the five
// unassigned ones, which give std::nullopt).
std::optional<std::string> windows1250ToUtf8(std::string_view cp1250);

// Whether Windows-1250 has a character for this code point.
bool isWindows1250Character(char32_t codePoint);

// The first character of a UTF-8 text that Windows-1250 cannot hold, or 0;
// U+FFFD when the text is not valid UTF-8.
char32_t firstNonWindows1250Character(std::string_view utf8);

// Makes a UTF-8 text fit Windows-1250, for a value that must reach a package
// whatever it holds: a letter the code page lacks loses its diacritic where
// the code page has the base letter ("ñ" -> "n", "Ő" -> "O"), a space of
// another width becomes a blank, an invisible zero-width character is left
// out, anything else becomes "?" (so does a byte that is not UTF-8). Returns
// false when the text fits as it is and leaves out alone; otherwise out gets
// the fitted text and the characters replaced are appended to replaced, in
// order (U+FFFD for a byte that is not UTF-8).
bool fitWindows1250(std::string_view utf8, std::string& out, std::u32string& replaced);

// The replacement fitWindows1250 makes for one character Windows-1250 lacks:
// a letter, a blank, "?", or nothing.
std::string_view windows1250Replacement(char32_t character);

// Polish description of a failed conversion of the text value, for messages:
// "znak „ñ” (U+00F1), którego nie można zapisać w stronie kodowej
// Windows-1250" or "niepoprawny bajt 0xC3 (błędny zapis UTF-8)".
std::string describeWindows1250Failure(std::string_view utf8, const Windows1250Failure& failure);

} // namespace xls2qdp
