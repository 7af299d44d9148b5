// SPDX-License-Identifier: MIT
#include "Windows1250.h"

#include "TextEncoding.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace xls2qdp {
namespace {

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

iconv_t openConversion(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == kNoConversion && std::string_view(to) == "CP1250")
        cd = iconv_open("WINDOWS-1250", from);
    if (cd == kNoConversion && std::string_view(from) == "CP1250")
        cd = iconv_open(to, "WINDOWS-1250");
    if (cd == kNoConversion) throw std::runtime_error("iconv: Windows-1250 conversion unavailable");
    return cd;
}

} // namespace

std::optional<std::string> windows1250ToUtf8(std::string_view cp1250) {
    if (isAscii(cp1250)) return std::string(cp1250);
    iconv_t cd = openConversion("UTF-8", "CP1250");
    std::string out(cp1250.size() * 3, '\0');
    char* in = const_cast<char*>(cp1250.data());
    std::size_t inLeft = cp1250.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    std::size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

namespace {

// Beyond the last character of the code page (U+2122).
constexpr char32_t kTableEnd = 0x2200;

// The byte of every code point below kTableEnd that Windows-1250 holds (0
// for none), taken from the same conversion that windows1250ToUtf8 uses, so
// that the answers cannot drift from it.
const std::vector<unsigned char>& bytesByCodePoint() {
    static const std::vector<unsigned char> table = [] {
        std::vector<unsigned char> result(kTableEnd, 0);
        for (int b = 1; b <= 0xFF; ++b) {
            const auto utf8 = windows1250ToUtf8(std::string(1, static_cast<char>(b)));
            char32_t cp = 0;
            if (utf8 && !utf8->empty() && decodeUtf8(*utf8, 0, cp) == utf8->size()) {
                if (cp >= kTableEnd) throw std::logic_error("Windows-1250 table too short");
                result[cp] = static_cast<unsigned char>(b);
            }
        }
        return result;
    }();
    return table;
}

} // namespace

bool isWindows1250Character(char32_t codePoint) {
    return codePoint < 0x80 || (codePoint < kTableEnd && bytesByCodePoint()[codePoint] != 0);
}

Windows1250Encoder::Windows1250Encoder() : byteOf_(bytesByCodePoint().data()) {}

bool Windows1250Encoder::encode(std::string_view utf8, std::string& out,
                                Windows1250Failure& failure) {
    if (isAscii(utf8)) { // the common case needs no conversion
        out.assign(utf8);
        return true;
    }
    out.resize(utf8.size()); // Windows-1250 never needs more bytes than UTF-8
    std::size_t length = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[pos]);
        if (lead < 0x80) {
            out[length++] = static_cast<char>(lead);
            ++pos;
            continue;
        }
        char32_t cp = 0;
        const std::size_t size = decodeUtf8(utf8, pos, cp);
        if (size == 0 || cp >= kTableEnd || byteOf_[cp] == 0) {
            failure = {};
            failure.byteOffset = pos;
            if (size != 0) {
                failure.character = cp;
            } else {
                failure.invalidUtf8 = true;
                failure.badByte = lead;
            }
            return false;
        }
        out[length++] = static_cast<char>(byteOf_[cp]);
        pos += size;
    }
    out.resize(length);
    return true;
}

char32_t firstNonWindows1250Character(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(utf8, pos, cp);
        if (length == 0) return 0xFFFD; // not UTF-8 at all
        if (!isWindows1250Character(cp)) return cp;
        pos += length;
    }
    return 0;
}

namespace {

// Base letters of the Latin letters Windows-1250 lacks, one character per
// code point from the first code point of the row: "." marks a character the
// code page holds, "?" one without a base letter it holds.
constexpr char32_t kLatinFrom = 0xC0;
constexpr std::string_view kLatinBases =
    "A..A.A?.E.E.I..I?NO..O..OU.U..?.a..a.a?.e.e.i..i?no..o..ou.u..?y" // U+00C0
    "Aa......CcCc......EeEeEe....GgGgGgGgHhHhIiIiIiIiIi??JjKk?..Ll..?" // U+0100
    "?....Nn..???OoOo..??..Rr....Ss........TtUuUuUu....UuWwYyY......?" // U+0140
    "b??????????????????????I????????Oo?????????????Uu????Zz?????????" // U+0180
    "?????????????AaIiOoUuUuUuUuUu?AaAa??GgGgKkOoOo??j???Gg??NnAa????" // U+01C0
    "AaAaEeEeIiIiOoOoRrRrUuUuSsTt??Hh??????AaEeOoOoOoOoYy??????A?????" // U+0200
    "??????EeJj??RrYy";                                                // U+0240
constexpr char32_t kLatinExtraFrom = 0x1E00;
constexpr std::string_view kLatinExtraBases =
    "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"  // U+1E00
    "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"  // U+1E40
    "WwWwWwWwWwXxXxYyZzZzZzhtwy??????AaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"  // U+1E80
    "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYy??????"; // U+1EC0

char baseLetter(char32_t cp) {
    if (cp >= kLatinFrom && cp - kLatinFrom < kLatinBases.size())
        return kLatinBases[cp - kLatinFrom];
    if (cp >= kLatinExtraFrom && cp - kLatinExtraFrom < kLatinExtraBases.size())
        return kLatinExtraBases[cp - kLatinExtraFrom];
    return '?';
}

} // namespace

std::string_view windows1250Replacement(char32_t cp) {
    if (cp == 0x200B || cp == 0x200C || cp == 0x200D || cp == 0x2060 || cp == 0xFEFF) return "";
    if (cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 ||
        cp == 0x202F || cp == 0x205F || cp == 0x3000)
        return " ";
    static constexpr std::string_view kLetters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const char base = baseLetter(cp);
    const std::size_t at = kLetters.find(base);
    return at == std::string_view::npos ? "?" : kLetters.substr(at, 1);
}

bool fitWindows1250(std::string_view utf8, std::string& out, std::u32string& replaced) {
    if (!firstNonWindows1250Character(utf8)) return false;
    std::string fitted;
    fitted.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
            fitted += utf8[pos++];
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = decodeUtf8(utf8, pos, cp);
        if (length == 0) { // not UTF-8: one byte at a time
            replaced += U'\uFFFD';
            fitted += '?';
            ++pos;
            continue;
        }
        if (isWindows1250Character(cp)) {
            fitted.append(utf8.substr(pos, length));
        } else {
            replaced += cp;
            fitted += windows1250Replacement(cp);
        }
        pos += length;
    }
    out = std::move(fitted);
    return true;
}

std::string describeWindows1250Failure(std::string_view utf8, const Windows1250Failure& failure) {
    char code[16];
    if (failure.invalidUtf8) {
        std::snprintf(code, sizeof code, "0x%02X", failure.badByte);
        return std::string("niepoprawny bajt ") + code + " (błędny zapis UTF-8)";
    }
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(failure.character));
    // The character itself, copied from the text, so the user can find it.
    std::size_t length = 1;
    while (failure.byteOffset + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[failure.byteOffset + length]) & 0xC0) == 0x80)
        ++length;
    std::string shown(utf8.substr(failure.byteOffset, length));
    return "znak „" + shown + "” (" + code +
           "), którego nie można zapisać w stronie kodowej Windows-1250";
}

} // namespace xls2qdp
