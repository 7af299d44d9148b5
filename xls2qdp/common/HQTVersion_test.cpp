// SPDX-License-Identifier: MIT
#include "HQTInfo.h"
#include "HQTVersion.h"
#include "common/testing/RecordingSink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>

namespace xls2qdp {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(FormatVersion, WritesThePatternsShape) {
    const struct {
        const char* pattern;
        double value;
        const char* text;
    } cases[] = {
        {"0.00", 2.02, "2.02"},      {"0000", 3, "0003"},     {"0.0000", 1.0101, "1.0101"},
        {"0.0000", 1.01, "1.0100"},  {"0.00", 12.5, "12.50"}, {"0000", 12345, "12345"},
        {"0.0000", 12.5, "12.5000"}, {"0.00", 0.5, "0.50"},   {"00.00", 1.5, "01.50"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(THQTVersion::FormatVersion(c.pattern, c.value), c.text)
            << c.pattern << " " << c.value;
}

// Needs a locale whose decimal point is a comma (scripts/setup installs
// pl_PL.UTF-8); without one the test is skipped, and says so.
TEST(FormatVersion, IgnoresADecimalCommaLocale) {
    if (!std::setlocale(LC_NUMERIC, "pl_PL.UTF-8")) GTEST_SKIP() << "locale pl_PL.UTF-8 missing";
    struct RestoreLocale {
        ~RestoreLocale() { std::setlocale(LC_NUMERIC, "C"); }
    } restore;
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(THQTVersion::FormatVersion("0.00", 2.02), "2.02");
    EXPECT_EQ(THQTVersion::FormatVersion("0.0000", 1.0101), "1.0101");
}

TEST(CheckVersion, AcceptsOnlyTheExactShapeAndWarnsOtherwise) {
    const struct {
        const char* pattern;
        double value;
        bool ok;
    } cases[] = {{"0.00", 2.02, true},    {"0.00", 12.5, false},  {"0000", 3, true},
                 {"0000", 12345, false},  {"0.0000", 1.01, true}, {"0.0000", 12.5, false},
                 {"0.0000", 1.0101, true}};
    for (const auto& c : cases) {
        testing::RecordingSink messages;
        THQTVersion version;
        version.setMessageSink(&messages);
        EXPECT_EQ(version.CheckVersion(c.pattern, c.value, true), c.ok)
            << c.pattern << " " << c.value;
        if (c.ok)
            EXPECT_THAT(messages.texts, IsEmpty());
        else
            EXPECT_THAT(messages.texts, ElementsAre("Nie poprawny zapis numeru wersji!"));
    }
}

TEST(SetSystem, RefusesBadValuesAndLeavesTheRecordAsItWas) {
    const struct {
        const char* code;
        double version, build;
        const char* message;
    } cases[] = {
        {"", 2.02, 3, "Proszę podać kod systemu!"},
        {"   ", 2.02, 3, "Proszę podać kod systemu!"},
        {"KW", 0, 3, "Proszę podać numer wersji systemu!"},
        {"KW", -1, 3, "Proszę podać numer wersji systemu!"},
        {"KW", 2.02, 0, "Proszę podać kolejny numer budowy systemu!"},
        {"KW", 12.5, 3, "Nie poprawny zapis numeru wersji!"},
        {"KW", 2.02, 12345, "Nie poprawny zapis numeru wersji!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        testing::RecordingSink messages;
        THQTVersion version;
        ASSERT_TRUE(version.SetSystem("OLD", false, 1.5, 7, -1, false));
        version.setMessageSink(&messages);
        EXPECT_FALSE(version.SetSystem(c.code, false, c.version, c.build, -1, true));
        EXPECT_THAT(messages.texts, ElementsAre(c.message));
        EXPECT_EQ(version.systemCode(), "OLD");
        EXPECT_EQ(version.systemVersionText(), "1.50");
        EXPECT_EQ(version.buildText(), "0007");

        testing::RecordingSink silent;
        version.setMessageSink(&silent);
        EXPECT_FALSE(version.SetSystem(c.code, false, c.version, c.build, -1, false));
        EXPECT_THAT(silent.texts, IsEmpty());
    }
}

TEST(SetSystem, LocalVersionIsOptional) {
    THQTVersion version;
    ASSERT_TRUE(version.SetSystem("KW", false, 2.02, 3, -1, false));
    EXPECT_EQ(version.localVersionText(), "");
    ASSERT_TRUE(version.SetSystem("KW", false, 2.02, 3, 2.1, false));
    EXPECT_EQ(version.localVersionText(), "2.10");
    // A badly written local version fails but keeps what was stored before it.
    EXPECT_FALSE(version.SetSystem("KX", false, 2.03, 4, 12.5, false));
    EXPECT_EQ(version.systemCode(), "KX");
    EXPECT_EQ(version.localVersionText(), "2.10");
}

TEST(SetModule, ChecksCodeAndVersion) {
    testing::RecordingSink messages;
    THQTVersion version;
    version.setMessageSink(&messages);
    EXPECT_FALSE(version.SetModule(" ", false, 1.01, false, true));
    EXPECT_FALSE(version.SetModule("M", false, 0, false, true));
    EXPECT_FALSE(version.SetModule("M", false, 12.5, false, true));
    EXPECT_THAT(messages.texts,
                ElementsAre("Proszę podać kod modułu!", "Proszę podać numer wersji modułu!",
                            "Nie poprawny zapis numeru wersji!"));
    EXPECT_EQ(version.moduleCode(), "");
    EXPECT_TRUE(version.SetModule("M", false, 1.01, false, true));
    EXPECT_EQ(version.moduleVersionText(), "1.0100");
}

TEST(AboutTexts, AreBuiltFromACopiedRecord) {
    THQTVersion registered;
    ASSERT_TRUE(registered.SetSystem("KW", false, 2.02, 3, -1, false));
    ASSERT_TRUE(registered.SetModule("KW_XLSIMP", false, 1.0101, false, false));
    THQTInfo info;
    info.programName = "Import danych z XLS";
    info.productFamilyName = "Pakiet QDP";

    THQTVersion copy;
    copy = registered;
    THQTInfo infoCopy;
    infoCopy = info;
    const AboutTexts texts = infoCopy.BuildAboutTexts(copy);
    EXPECT_EQ(texts.product, std::string(kMakersMark) + "Import danych z XLS");
    EXPECT_EQ(texts.system, "System: Pakiet QDP wersja: 2.02.0003");
    EXPECT_EQ(texts.localVersion, "");
    EXPECT_EQ(texts.moduleName, "Import danych z XLS");
    EXPECT_EQ(texts.module, "Moduł: KW_XLSIMP wersja: 1.0101");
    EXPECT_EQ(texts.description, "");

    ASSERT_TRUE(copy.SetSystem("KW", false, 2.02, 3, 2.02, false)); // same as the system: no line
    EXPECT_EQ(info.BuildAboutTexts(copy).localVersion, "");
    ASSERT_TRUE(copy.SetSystem("KW", false, 2.02, 3, 2.05, false));
    EXPECT_EQ(info.BuildAboutTexts(copy).localVersion,
              "Wersja lokalna systemu związana z modułem: 2.05");
}

TEST(ShowTechHelp, WarnsWithoutAHelpFile) {
    testing::RecordingSink messages;
    THQTInfo info;
    info.setMessageSink(&messages);
    EXPECT_EQ(info.ShowTechHelp(true), "");
    EXPECT_EQ(info.ShowTechHelp(false), "");
    EXPECT_THAT(messages.texts, ElementsAre("Brak pliku pomocy technicznej!"));
    info.helpFileName = "pomoc.pdf";
    EXPECT_EQ(info.ShowTechHelp(true), "pomoc.pdf");
    EXPECT_EQ(messages.texts.size(), 1u);
}

} // namespace
} // namespace xls2qdp
