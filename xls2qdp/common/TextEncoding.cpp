// SPDX-License-Identifier: MIT
#include "TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <string>

namespace xls2qdp {

void appendUtf8(std::string& out, char32_t c) {
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

std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& character) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || pos + length > text.size()) return 0;
    char32_t c = length == 1   ? lead
                 : length == 2 ? (lead & 0x1F)
                 : length == 3 ? (lead & 0x0F)
                               : (lead & 0x07);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    character = c;
    return length;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, pos, c);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::size_t utf8Length(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string_view utf8Prefix(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if ((static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80) {
            if (seen == count) return text.substr(0, pos);
            ++seen;
        }
    }
    return text;
}

void appendUtf16LeAsUtf8(std::string& out, const std::uint8_t* bytes, std::size_t units) {
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = bytes[2 * i] | (char32_t{bytes[2 * i + 1]} << 8);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units) {
            const char32_t low = bytes[2 * i + 2] | (char32_t{bytes[2 * i + 3]} << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(out, c);
    }
}

void appendLatin1AsUtf8(std::string& out, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        appendUtf8(out, bytes[i]);
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
        appendLatin1AsUtf8(out, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
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
            appendUtf8(out, 0xFFFD);
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
