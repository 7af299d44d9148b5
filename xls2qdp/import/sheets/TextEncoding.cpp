// SPDX-License-Identifier: MIT
#include "TextEncoding.h"

#include <cerrno>
#include <iconv.h>

#include <string>

namespace xls2qdp {

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16LeAsUtf8(std::string& out, const std::uint8_t* bytes, std::size_t units) {
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = bytes[2 * i] | (char32_t{bytes[2 * i + 1]} << 8);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            const char32_t low = bytes[2 * i + 2] | (char32_t{bytes[2 * i + 3]} << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, c);
    }
}

void AppendLatin1AsUtf8(std::string& out, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        AppendUtf8(out, bytes[i]);
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length;
        char32_t c;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            length = 2;
            c = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            length = 3;
            c = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            length = 4;
            c = b & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

CodePageDecoder::CodePageDecoder(int codePage) {
    setCodePage(codePage);
}

CodePageDecoder::~CodePageDecoder() {
    if (iconv_) iconv_close(static_cast<iconv_t>(iconv_));
}

void CodePageDecoder::setCodePage(int codePage) {
    if (iconv_) iconv_close(static_cast<iconv_t>(iconv_));
    iconv_ = nullptr;
    std::string name;
    switch (codePage) {
    case 367:
        name = "ASCII";
        break;
    case 10000:
        name = "MACINTOSH";
        break;
    case 32768:
        name = "MACINTOSH";
        break;
    case 32769:
        name = "CP1252";
        break;
    default:
        name = "CP" + std::to_string(codePage);
    }
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_ = cd;
}

void CodePageDecoder::append(std::string& out, std::string_view bytes) {
    if (!iconv_) {
        AppendLatin1AsUtf8(out, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        return;
    }
    auto cd = static_cast<iconv_t>(iconv_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // a text starts in the initial state
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A byte the code page leaves undefined: mark it and go on.
            AppendUtf8(out, 0xFFFD);
            ++in;
            --inLeft;
        }
    }
    // Code pages with combining marks (1258, 1255) hold back each letter
    // until they see whether a mark follows: the last one comes out only
    // when the conversion is told the text has ended.
    for (;;) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result != static_cast<std::size_t>(-1) || errno != E2BIG) break;
    }
}

} // namespace xls2qdp
