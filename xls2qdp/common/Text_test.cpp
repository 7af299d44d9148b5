// SPDX-License-Identifier: MIT
#include "Text.h"
#include "TextEncoding.h"
#include "Windows1250.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

TEST(PolishText, UpperCasesEveryLetterOfTheCodePage) {
    struct Case {
        const char* text;
        const char* upper;
    } cases[] = {
        {"Imię", "IMIĘ"},
        {"zażółć gęślą jaźń", "ZAŻÓŁĆ GĘŚLĄ JAŹŃ"},
        {"Tytuł_ubezp", "TYTUŁ_UBEZP"},
        {"ŁÓDŹ", "ŁÓDŹ"},
        {"m. kraków", "M. KRAKÓW"},
        {"šťžľĺŕčďňřůűőăâîşţ", "ŠŤŽĽĹŔČĎŇŘŮŰŐĂÂÎŞŢ"},
        {"äöüéíóúýç", "ÄÖÜÉÍÓÚÝÇ"},
        {"ÿ straße €", "Ÿ STRAßE €"},
        {"ß÷µ 12-345", "ß÷µ 12-345"}, // no single capital: unchanged
        {"жук", "жук"},               // outside the code page: unchanged
        {"a\xFF"
         "b",
         "A\xFF"
         "B"},                            // invalid UTF-8 passes through
        {"a\xC3", "A\xC3"},               // cut short: passes through
        {"\xE0\x80\xAF", "\xE0\x80\xAF"}, // overlong form: passes through as it is
    };
    for (const auto& c : cases)
        EXPECT_EQ(upperPolish(c.text), c.upper) << c.text;
    EXPECT_NE(upperPolish("Imie"), upperPolish("Imię"));
}

TEST(PolishText, TrimsBlanksAndControlCharacters) {
    EXPECT_EQ(trimBlanksAndControls("  a b \t"), "a b");
    EXPECT_EQ(trimBlanksAndControls("\r\n\x01x\x1F "), "x");
    EXPECT_EQ(trimBlanksAndControls("   "), "");
    EXPECT_EQ(trimBlanksAndControls("Łódź"), "Łódź");
}

TEST(PolishText, UnicodeSpacesPastedFromElsewhereAreTrimmedToo) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"\u00A0Kowalski\u00A0", "Kowalski"},
        {" \u2009\u00A0 Jan \u200B", "Jan"},
        {"\uFEFF12-345", "12-345"},
        {"a\u00A0b", "a\u00A0b"}, // inside the text a space is kept
        {"\u3000", ""},
        {"Łódź\u2003", "Łódź"},
        {"x\xC2", "x\xC2"}, // a cut character is not a blank
    };
    for (const auto& c : cases)
        EXPECT_EQ(trimUnicodeBlanks(c.in), c.out) << c.in;
}

TEST(PolishText, CountsTakeTheNounsPolishForm) {
    const struct {
        long long n;
        const char* text;
    } cases[] = {{1, "1 wiersz"},    {2, "2 wiersze"},   {4, "4 wiersze"},   {5, "5 wierszy"},
                 {12, "12 wierszy"}, {14, "14 wierszy"}, {22, "22 wiersze"}, {0, "0 wierszy"}};
    for (const auto& c : cases)
        EXPECT_EQ(countedNoun(c.n, "wiersz", "wiersze", "wierszy"), c.text);
}

TEST(PolishText, AFolderGetsItsTrailingDelimiterOnceAndAnEmptyNameStaysEmpty) {
    EXPECT_EQ(withTrailingDelimiter("/tmp/x"), "/tmp/x/");
    EXPECT_EQ(withTrailingDelimiter("/tmp/x/"), "/tmp/x/");
    EXPECT_EQ(withTrailingDelimiter(""), "");
}

TEST(TextEncoding, MeasuresAndCutsByCharacters) {
    EXPECT_EQ(utf8Length("Łódź"), 4u);
    EXPECT_EQ(utf8Prefix("Łódź", 2), "Łó");
    EXPECT_EQ(utf8Prefix("ab", 5), "ab");
}

TEST(TextEncoding, DecodesOnlyValidUtf8) {
    const struct {
        const char* bytes;
        std::size_t length; // 0: not valid UTF-8
        char32_t character;
    } cases[] = {
        {"a", 1, U'a'},     {"ł", 2, U'ł'},         {"€", 3, U'€'},
        {"😀", 4, U'😀'},     {"\xC3", 0, 0},         {"\x80", 0, 0},
        {"\xC0\xAF", 0, 0}, {"\xED\xA0\x80", 0, 0}, {"\xF4\x90\x80\x80", 0, 0},
        {"\xE2\x82", 0, 0},
    };
    for (const auto& c : cases) {
        char32_t character = 0;
        EXPECT_EQ(decodeUtf8(c.bytes, 0, character), c.length) << c.bytes;
        if (c.length != 0) {
            EXPECT_EQ(character, c.character) << c.bytes;
        }
        EXPECT_EQ(isValidUtf8(c.bytes), c.length != 0) << c.bytes;
    }
    std::string out;
    for (char32_t c : {U'a', U'ł', U'€', U'😀', char32_t{0xD800}, char32_t{0x110000}})
        appendUtf8(out, c);
    EXPECT_EQ(out, "ał€😀\uFFFD\uFFFD");
}

TEST(Windows1250, KnowsWhichCharactersItHolds) {
    for (char32_t cp : {U'a', U'ą', U'Ż', U'€', U'„', U'ß', U'§', U'\u00A0'})
        EXPECT_TRUE(isWindows1250Character(cp)) << static_cast<unsigned>(cp);
    for (char32_t cp : {U'ж', U'ñ', U'ø', U'\u0080', U'😀'})
        EXPECT_FALSE(isWindows1250Character(cp)) << static_cast<unsigned>(cp);
    EXPECT_EQ(firstNonWindows1250Character("Kowalski-Żak"), 0u);
    EXPECT_EQ(firstNonWindows1250Character("Muñoz"), U'ñ');
    EXPECT_EQ(firstNonWindows1250Character("a\xFF"), U'\uFFFD');
}

} // namespace
} // namespace xls2qdp
