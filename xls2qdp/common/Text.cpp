// SPDX-License-Identifier: MIT
#include "Text.h"

#include <algorithm>
#include <array>
#include <iconv.h>
#include <vector>

namespace xls2qdp {
namespace {

// Decodes one UTF-8 sequence at text[pos]; returns its length, 0 when invalid.
std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(pos + i) & 0x3F);
    }
    return length;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t upperCodePoint(char32_t cp) {
    if (cp >= U'a' && cp <= U'z') return cp - 0x20;
    if (cp < 0xE0) return cp;
    if (cp <= 0xFE) return cp == 0xF7 ? cp : cp - 0x20; // Latin-1, except the division sign
    if (cp == 0xFF) return 0x178;
    if (cp >= 0x100 && cp <= 0x137) return cp & 1 ? cp - 1 : cp; // pairs: even upper, odd lower
    if (cp >= 0x139 && cp <= 0x148) return cp & 1 ? cp : cp - 1; // pairs: odd upper, even lower
    if (cp >= 0x14A && cp <= 0x177) return cp & 1 ? cp - 1 : cp;
    if (cp >= 0x179 && cp <= 0x17E) return cp & 1 ? cp : cp - 1;
    return cp;
}

// The code points of Windows-1250's upper half, taken from the system's
// converter so that the table cannot drift from what the package layer uses.
const std::vector<char32_t>& windows1250UpperHalf() {
    static const std::vector<char32_t> table = [] {
        std::vector<char32_t> result;
        iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1250");
        if (cd == reinterpret_cast<iconv_t>(-1)) return result;
        for (int b = 0x80; b <= 0xFF; ++b) {
            char in = static_cast<char>(b);
            std::array<unsigned char, 8> out{};
            char* inPtr = &in;
            std::size_t inLeft = 1;
            char* outPtr = reinterpret_cast<char*>(out.data());
            std::size_t outLeft = out.size();
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
                outLeft == out.size() - 4) {
                result.push_back(static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                                       (out[3] << 24)));
            }
        }
        iconv_close(cd);
        std::sort(result.begin(), result.end());
        return result;
    }();
    return table;
}

} // namespace

std::string upperPolish(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            out += static_cast<char>(c >= 'a' && c <= 'z' ? c - 0x20 : c);
            ++pos;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(text, pos, cp);
        if (length == 0) {
            out += text[pos++];
            continue;
        }
        appendUtf8(out, upperCodePoint(cp));
        pos += length;
    }
    return out;
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

std::string_view stripBlanks(std::string_view text) {
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

bool isWindows1250Character(char32_t codePoint) {
    if (codePoint < 0x80) return true;
    const auto& table = windows1250UpperHalf();
    return std::binary_search(table.begin(), table.end(), codePoint);
}

char32_t firstNonWindows1250Character(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(text, pos, cp);
        if (length == 0) return 0xFFFD; // not UTF-8 at all
        if (!isWindows1250Character(cp)) return cp;
        pos += length;
    }
    return 0;
}

} // namespace xls2qdp
