// SPDX-License-Identifier: MIT
#include "common/Windows1250.h"

#include "common/TextEncoding.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

TEST(Windows1250, PolishAndCentralEuropeanLettersBecomeSingleBytes) {
    struct Case {
        const char* utf8;
        const char* cp1250;
    } cases[] = {
        {"ąćęłńóśźż", "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF"},
        {"ĄĆĘŁŃÓŚŹŻ", "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF"},
        {"Müller Ďurček Ő", "M\xFCller \xCFur\xE8"
                            "ek \xD5"},
        {"„cytat” – 5 €", "\x84"
                          "cytat\x94 \x96 5 \x80"},
        {"ASCII only 123", "ASCII only 123"},
        {"", ""},
    };
    Windows1250Encoder encoder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::string out;
        Windows1250Failure failure;
        ASSERT_TRUE(encoder.encode(c.utf8, out, failure));
        EXPECT_EQ(out, c.cp1250);
        EXPECT_EQ(windows1250ToUtf8(out), std::string(c.utf8));
    }
}

// Every character of the Basic Multilingual Plane, alone and amid other
// text: the code page's characters become the byte that reads back as them,
// every other is refused at its place.
TEST(Windows1250, EveryCharacterEitherRoundTripsOrIsRefused) {
    Windows1250Encoder encoder;
    int held = 0;
    for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string character;
        appendUtf8(character, cp);
        const std::string text = "ą" + character + "x";
        std::string out;
        Windows1250Failure failure;
        const bool encoded = encoder.encode(text, out, failure);
        ASSERT_EQ(encoded, isWindows1250Character(cp)) << std::hex << static_cast<unsigned>(cp);
        if (encoded) {
            ++held;
            ASSERT_EQ(out.size(), 3u) << std::hex << static_cast<unsigned>(cp);
            ASSERT_EQ(windows1250ToUtf8(out), text) << std::hex << static_cast<unsigned>(cp);
        } else {
            ASSERT_FALSE(failure.invalidUtf8) << std::hex << static_cast<unsigned>(cp);
            ASSERT_TRUE(failure.character == cp) << std::hex << static_cast<unsigned>(cp);
            ASSERT_EQ(failure.byteOffset, 2u);
        }
    }
    EXPECT_EQ(held, 250); // bytes 1 to 255 less the five unassigned ones
}

// A byte above 0x7F anywhere in texts around the eight bytes looked at together.
TEST(Windows1250, IsAsciiSeesAHighByteAnywhere) {
    for (std::size_t length = 0; length <= 20; ++length) {
        const std::string plain(length, 'a');
        EXPECT_TRUE(isAscii(plain)) << length;
        for (std::size_t at = 0; at < length; ++at) {
            std::string text = plain;
            text[at] = '\x80';
            EXPECT_FALSE(isAscii(text)) << length << " " << at;
        }
    }
}

TEST(Windows1250, CharacterOutsideTheCodePageIsReportedNotDropped) {
    struct Case {
        const char* utf8;
        std::size_t offset;
        char32_t character;
        const char* description;
    } cases[] = {
        {"Muñoz", 2, U'ñ',
         "znak „ñ” (U+00F1), którego nie można zapisać w stronie kodowej Windows-1250"},
        {"Олена", 0, U'О',
         "znak „О” (U+041E), którego nie można zapisać w stronie kodowej Windows-1250"},
        {"Søren", 1, U'ø',
         "znak „ø” (U+00F8), którego nie można zapisać w stronie kodowej Windows-1250"},
        {"ok 😀", 3, U'😀',
         "znak „😀” (U+1F600), którego nie można zapisać w stronie kodowej Windows-1250"},
    };
    Windows1250Encoder encoder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        std::string out;
        Windows1250Failure failure;
        ASSERT_FALSE(encoder.encode(c.utf8, out, failure));
        EXPECT_FALSE(failure.invalidUtf8);
        EXPECT_EQ(failure.byteOffset, c.offset);
        EXPECT_EQ(failure.character, c.character);
        EXPECT_EQ(describeWindows1250Failure(c.utf8, failure), c.description);
    }
    // The encoder is usable again after a failure.
    std::string out;
    Windows1250Failure failure;
    ASSERT_TRUE(encoder.encode("żółw", out, failure));
    EXPECT_EQ(out, "\xBF\xF3\xB3w");
}

TEST(Windows1250, InvalidUtf8IsReportedWithItsByte) {
    Windows1250Encoder encoder;
    for (const char* text : {"ab\xC3",
                             "ab\xFF"
                             "cd",
                             "ab\xC3\x28", "ab\xED\xA0\x80"}) {
        SCOPED_TRACE(text);
        std::string out;
        Windows1250Failure failure;
        ASSERT_FALSE(encoder.encode(text, out, failure));
        EXPECT_TRUE(failure.invalidUtf8);
        EXPECT_EQ(failure.byteOffset, 2u);
        EXPECT_EQ(failure.badByte, static_cast<unsigned char>(text[2]));
        EXPECT_NE(describeWindows1250Failure(text, failure).find("błędny zapis UTF-8"),
                  std::string::npos);
    }
}

TEST(Windows1250, ATextIsFittedLetterByLetterAndWhatWasReplacedIsNamed) {
    const struct {
        const char* in;
        const char* out;
        std::u32string replaced;
    } cases[] = {
        {"Muñoz", "Munoz", U"ñ"},
        {"Ørsted Ångström", "Orsted Angström", U"ØÅ"}, // ö is a letter of the code page
        {"Nguyễn", "Nguyen", U"ễ"},
        {"Жуков", "?????", U"Жуков"},
        {"Długa\u2009Wąska", "Długa Wąska", U"\u2009"},  // a thin space becomes a blank
        {"Jan\u200BKowalski", "JanKowalski", U"\u200B"}, // a zero-width space goes
        {"ab\xFF"
         "c",
         "ab?c", U"\uFFFD"},
    };
    for (const auto& c : cases) {
        std::string out;
        std::u32string replaced;
        ASSERT_TRUE(fitWindows1250(c.in, out, replaced)) << c.in;
        EXPECT_EQ(out, c.out) << c.in;
        EXPECT_EQ(replaced, c.replaced) << c.in;
    }
    std::string untouched = "kept";
    std::u32string none;
    EXPECT_FALSE(fitWindows1250("Zażółć gęślą jaźń „x” – €", untouched, none));
    EXPECT_EQ(untouched, "kept");
    EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace xls2qdp
