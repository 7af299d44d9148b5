// SPDX-License-Identifier: MIT
#include "Text.h"

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
        {"ŁÓDŹ", "ŁÓDŹ"},
        {"m. kraków", "M. KRAKÓW"},
        {"šťžľĺŕčďňřůűőăâîşţ", "ŠŤŽĽĹŔČĎŇŘŮŰŐĂÂÎŞŢ"},
        {"äöüéíóúýç", "ÄÖÜÉÍÓÚÝÇ"},
        {"ß÷µ 12-345", "ß÷µ 12-345"}, // no single capital: unchanged
        {"жук", "жук"},               // outside the code page: unchanged
        {"a\xFF"
         "b",
         "A\xFF"
         "B"}, // invalid UTF-8 passes through
    };
    for (const auto& c : cases)
        EXPECT_EQ(upperPolish(c.text), c.upper) << c.text;
}

TEST(PolishText, MeasuresAndCutsByCharacters) {
    EXPECT_EQ(utf8Length("Łódź"), 4u);
    EXPECT_EQ(utf8Prefix("Łódź", 2), "Łó");
    EXPECT_EQ(utf8Prefix("ab", 5), "ab");
    EXPECT_EQ(stripBlanks("  a b \t"), "a b");
    EXPECT_EQ(stripBlanks("   "), "");
}

TEST(PolishText, KnowsWhatWindows1250Holds) {
    for (char32_t cp : {U'a', U'ą', U'Ż', U'€', U'„', U'ß', U'§', U'\u00A0'})
        EXPECT_TRUE(isWindows1250Character(cp)) << static_cast<unsigned>(cp);
    for (char32_t cp : {U'ж', U'ñ', U'ø', U'\u0080', U'😀'})
        EXPECT_FALSE(isWindows1250Character(cp)) << static_cast<unsigned>(cp);
    EXPECT_EQ(firstNonWindows1250Character("Kowalski-Żak"), 0u);
    EXPECT_EQ(firstNonWindows1250Character("Muñoz"), U'ñ');
}

} // namespace
} // namespace xls2qdp
