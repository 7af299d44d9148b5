// SPDX-License-Identifier: MIT
#include "Text.h"

#include "TextEncoding.h"

#include <filesystem>

namespace xls2qdp {
namespace {

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

} // namespace

std::string_view trimBlanksAndControls(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isUnicodeBlank(char32_t c) {
    return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0x2060 || c == 0x3000 || c == 0xFEFF;
}

std::string_view trimUnicodeBlanks(std::string_view text) {
    for (;;) {
        text = trimBlanksAndControls(text);
        bool trimmed = false;
        char32_t cp = 0;
        if (!text.empty() && static_cast<unsigned char>(text.front()) >= 0x80) {
            const std::size_t length = decodeUtf8(text, 0, cp);
            if (length != 0 && isUnicodeBlank(cp)) {
                text.remove_prefix(length);
                trimmed = true;
            }
        }
        if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0x80) {
            // The last character starts at its lead byte, at most four bytes back.
            std::size_t start = text.size() - 1;
            while (start > 0 && text.size() - start < 4 &&
                   (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
                --start;
            const std::size_t length = decodeUtf8(text, start, cp);
            if (length == text.size() - start && isUnicodeBlank(cp)) {
                text.remove_suffix(length);
                trimmed = true;
            }
        }
        if (!trimmed) return text;
    }
}

std::string countedNoun(long long number, std::string_view one, std::string_view few,
                        std::string_view many) {
    const long long n = number < 0 ? -number : number;
    std::string_view noun = many;
    if (n == 1)
        noun = one;
    else if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14))
        noun = few;
    return std::to_string(number) + " " + std::string(noun);
}

bool isPathDelimiter(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string withTrailingDelimiter(std::string folder) {
    if (!folder.empty() && !isPathDelimiter(folder.back()))
        folder += static_cast<char>(std::filesystem::path::preferred_separator);
    return folder;
}

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

} // namespace xls2qdp
