// SPDX-License-Identifier: MIT
// UTF-8, the importer's own text encoding: writing and reading its
// characters, measuring and cutting texts by characters, and turning the
// character sets workbook files use (UTF-16, Latin-1, Windows code pages)
// into it. The only UTF-8 encoder and decoder of the importer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace xls2qdp {

// Appends the character; a surrogate or a value beyond U+10FFFF becomes U+FFFD.
void appendUtf8(std::string& out, char32_t character);

// Decodes the character that starts at text[pos] (pos < text.size()) and
// returns its length in bytes; 0 when the bytes there are not valid UTF-8
// (a stray or missing continuation byte, an overlong form, a surrogate, a
// value beyond U+10FFFF, a sequence cut short).
std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& character);

bool isValidUtf8(std::string_view text);

// Number of characters (code points) of a UTF-8 text; a Windows-1250 package
// field holds one byte per character, so this is what its width limits.
std::size_t utf8Length(std::string_view text);

// The first `count` characters of a UTF-8 text.
std::string_view utf8Prefix(std::string_view text, std::size_t count);

// UTF-16 little-endian bytes; an unpaired surrogate becomes U+FFFD.
void appendUtf16LeAsUtf8(std::string& out, const std::uint8_t* bytes, std::size_t units);
// ISO-8859-1 bytes (also the "compressed" 8-bit strings of .xls files).
void appendLatin1AsUtf8(std::string& out, const std::uint8_t* bytes, std::size_t count);

// Converts 8-bit text of a Windows code page (1250, 1252, ...) into UTF-8.
// Unknown code pages fall back to Windows-1252; bytes the code page does not
// define become U+FFFD.
class CodePageDecoder {
public:
    explicit CodePageDecoder(int codePage = 1252);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;
    void setCodePage(int codePage);
    void append(std::string& out, std::string_view bytes);

private:
    void* iconv_ = nullptr; // iconv_t
};

} // namespace xls2qdp
