// SPDX-License-Identifier: MIT
// Conversions of the character sets workbook files use into UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xls2qdp {

void AppendUtf8(std::string& out, char32_t c);
// UTF-16 little-endian bytes; an unpaired surrogate becomes U+FFFD.
void AppendUtf16LeAsUtf8(std::string& out, const std::uint8_t* bytes, std::size_t units);
// ISO-8859-1 bytes (also the "compressed" 8-bit strings of .xls files).
void AppendLatin1AsUtf8(std::string& out, const std::uint8_t* bytes, std::size_t count);
bool IsValidUtf8(std::string_view text);

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
