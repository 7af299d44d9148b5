// SPDX-License-Identifier: MIT
#include "TextCase.h"

#include <cstdint>
#include <string>
#ifdef _WIN32
#include <windows.h>
#else
#include <locale.h>
#include <wctype.h>
#endif

namespace upkeep {

char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    }
    if (length == 0 || pos + length > text.size()) {
        ++pos;
        return kInvalidUtf8 | lead;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kInvalidUtf8 | lead;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    pos += length;
    return cp;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (nextCodePoint(text, pos) & kInvalidUtf8) return false;
    }
    return true;
}

namespace {

char32_t foldCase(char32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 'a' + 'A' : cp;
    if (cp & kInvalidUtf8) return cp;
#ifdef _WIN32
    // The C runtime's towupper maps only a to z in the "C" locale; the
    // system's own table maps every letter, as the registry and the profile
    // functions compare names.
    if (cp > 0xFFFF) return cp;
    const auto letter = static_cast<wchar_t>(cp);
    wchar_t upper = letter;
    if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &letter, 1, &upper, 1) != 1) return cp;
    return static_cast<char32_t>(upper);
#else
    // The letters' case mapping comes from the C.UTF-8 locale, whatever
    // locale the calling script runs under.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (utf8 == locale_t{}) return cp;
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), utf8));
#endif
}

} // namespace

bool equalNoCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (foldCase(nextCodePoint(a, i)) != foldCase(nextCodePoint(b, j))) return false;
    }
    return i == a.size() && j == b.size();
}

std::string foldedName(std::string_view text) {
    std::string key;
    key.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t cp = foldCase(nextCodePoint(text, pos));
        // Four bytes a character: a key, not a text.
        for (int shift = 24; shift >= 0; shift -= 8)
            key += static_cast<char>((cp >> shift) & 0xFF);
    }
    return key;
}

std::string asciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

} // namespace upkeep
