// SPDX-License-Identifier: MIT
#include "Startup.h"

#include "IniProfile.h"
#include "common/testing/RecordingSink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kMissingNfz = "W pliku INI brak informacji o kodzie oddiału NFZ lub błędny "
                                "wpis:\r\nSekcja: [SYSTEM] klucz: KodOddzialuNFZ";
const std::string kMissingWojew = "W pliku INI brak informacji o kodzie województwa lub błędny "
                                  "wpis:\r\nSekcja: [SYSTEM] klucz: KodWojew";
const std::string kMissingInstalacja = "W pliku INI brak informacji o numerze instalacji lub "
                                       "błędny wpis:\r\nSekcja: [SYSTEM] klucz: NrInstalacji";
const std::string kMissingSwiadcz = "W pliku INI brak informacji o kodzie świadczeniodawcy lub "
                                    "błędny wpis:\r\nSekcja: [SYSTEM] klucz: KodSwiadcz";

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("xls2qdp-startup-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path writeIni(const std::string& text) {
        const fs::path file = dir_ / "xls2qdp.INI";
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

    fs::path dir_;
    testing::RecordingSink messages_;
};

TEST_F(StartupTest, CompleteIniGivesTheSettingsWithoutMessages) {
    const auto ini = writeIni("[SYSTEM]\r\nNrInstalacji=  77 \r\nKodSwiadcz=\"123456789\"\r\n"
                              "KodOddzialuNFZ=07\r\nKodWojew=2\r\n");
    const StartupResult result = runStartup(ini, dir_, messages_);

    EXPECT_THAT(messages_.texts, IsEmpty());
    EXPECT_FALSE(result.terminate);
    // As the profile functions hand values over: without blanks or quotes around them.
    EXPECT_EQ(result.settings.NrInstalacji, "77");
    EXPECT_EQ(result.settings.KodSwiadcz, "123456789");
    EXPECT_EQ(result.settings.KodOddzialuNFZ, "07");
    EXPECT_EQ(result.settings.KodWojew, "02");
    EXPECT_EQ(result.settings.ProgramDir, (dir_ / "").string());
    EXPECT_EQ(result.settings.ExportDocVersion, 4);
    EXPECT_EQ(result.settings.ExportDocVariant, 1);
    EXPECT_EQ(versionLabelText(result.version), "v.2.02.1.0101");
}

TEST_F(StartupTest, AMissingIniIsOneMessageNamingTheFileAndTheSample) {
    const fs::path ini = dir_ / "xls2qdp.INI";
    const fs::path sample = dir_ / "xls2qdp.INI.sample";
    std::ofstream(sample) << "[SYSTEM]\n";
    const StartupResult result = runStartup(ini, dir_, messages_, sample);

    EXPECT_TRUE(result.terminate);
    EXPECT_THAT(messages_.texts, ElementsAre("Brak pliku INI: \r\n" + ini.string() +
                                             "\r\nWzór ustawień: " + sample.string() +
                                             "\r\nSkopiuj go pod powyższą nazwą i wpisz w nim dane "
                                             "świadczeniodawcy."));
    EXPECT_EQ(messages_.kinds.front(), MessageKind::Error);

    // Without a sample there is nothing to point at.
    testing::RecordingSink alone;
    EXPECT_TRUE(runStartup(ini, dir_, alone, dir_ / "none.sample").terminate);
    EXPECT_THAT(alone.texts, ElementsAre("Brak pliku INI: \r\n" + ini.string()));
}

TEST_F(StartupTest, EachMissingOrBlankKeyShowsExactlyItsMessage) {
    const struct {
        const char* ini;
        std::string expected;
    } cases[] = {
        {"NrInstalacji=1\nKodOddzialuNFZ=07\nKodWojew=12\n", kMissingSwiadcz},
        {"NrInstalacji=1\nKodSwiadcz=5\nKodOddzialuNFZ=07\nKodWojew=   \n", kMissingWojew},
        {"NrInstalacji=\nKodSwiadcz=5\nKodOddzialuNFZ=07\nKodWojew=12\n", kMissingInstalacja},
        {"NrInstalacji=1\nKodSwiadcz=5\nKodWojew=12\n", kMissingNfz},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        testing::RecordingSink messages;
        const StartupResult result =
            runStartup(writeIni(std::string("[SYSTEM]\n") + c.ini), dir_, messages);
        EXPECT_TRUE(result.terminate);
        ASSERT_EQ(messages.texts.size(), 1u);
        EXPECT_THAT(messages.texts[0], ::testing::StartsWith(c.expected + "\r\nBrak wartości"));
    }
}

TEST_F(StartupTest, ValuesOfTheWrongFormAreRefusedWithTheKeyValueAndForm) {
    const struct {
        const char* line;
        std::string expected;
    } cases[] = {
        {"KodOddzialuNFZ=99", kMissingNfz + "\r\nWartość „99” jest błędna: oczekiwano "
                                            "dwucyfrowego kodu oddziału NFZ pacjenta od 01 do 16."},
        {"KodOddzialuNFZ=6", kMissingNfz + "\r\nWartość „6” jest błędna"},
        {"KodWojew=XX", kMissingWojew + "\r\nWartość „XX” jest błędna: oczekiwano dwucyfrowego "
                                        "kodu województwa: 02, 04,"},
        {"KodWojew=13", kMissingWojew + "\r\nWartość „13” jest błędna"},
        {"KodWojew=34", kMissingWojew + "\r\nWartość „34” jest błędna"},
        {"NrInstalacji=1234567890",
         kMissingInstalacja + "\r\nWartość „1234567890” ma 10 znaków, za dużo: oczekiwano"},
        {"KodSwiadcz=abc", kMissingSwiadcz + "\r\nWartość „abc” jest błędna: oczekiwano kodu "
                                             "świadczeniodawcy nadanego przez NFZ: same cyfry"},
        {"KodSwiadcz=12345678901234567",
         kMissingSwiadcz + "\r\nWartość „12345678901234567” ma 17 cyfr, za dużo"},
    };
    const std::string good =
        "NrInstalacji=1\nKodSwiadcz=000000012345\nKodOddzialuNFZ=07\nKodWojew=12\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        testing::RecordingSink messages;
        // The key given first wins, as the profile functions read it.
        const StartupResult result =
            runStartup(writeIni("[SYSTEM]\n" + std::string(c.line) + "\n" + good), dir_, messages);
        EXPECT_TRUE(result.terminate);
        ASSERT_EQ(messages.texts.size(), 1u);
        EXPECT_THAT(messages.texts[0], ::testing::StartsWith(c.expected));
    }
    for (const char* right : {"KodOddzialuNFZ=01", "KodOddzialuNFZ=16", "KodWojew=2", "KodWojew=32",
                              "NrInstalacji=123456789", "KodSwiadcz=1234567890123456"}) {
        SCOPED_TRACE(right);
        testing::RecordingSink messages;
        EXPECT_FALSE(
            runStartup(writeIni("[SYSTEM]\n" + std::string(right) + "\n" + good), dir_, messages)
                .terminate);
        EXPECT_THAT(messages.texts, IsEmpty());
    }
}

TEST_F(StartupTest, TheInstalledSampleFailsEveryCheck) {
    const char* source = std::getenv("QDP_SOURCE_DIR"); // set by ctest
    const fs::path sample = fs::path(source ? source : ".") / "xls2qdp/xls2qdp.INI.sample";
    ASSERT_TRUE(fs::exists(sample)) << sample;
    const StartupResult result = runStartup(sample, dir_, messages_);
    EXPECT_TRUE(result.terminate);
    EXPECT_THAT(messages_.texts, ElementsAre(::testing::StartsWith(kMissingNfz),
                                             ::testing::StartsWith(kMissingWojew),
                                             ::testing::StartsWith(kMissingInstalacja),
                                             ::testing::StartsWith(kMissingSwiadcz)));
}

TEST_F(StartupTest, KeysOutsideTheSystemSectionDoNotCount) {
    const auto ini = writeIni("[OTHER]\nNrInstalacji=1\nKodSwiadcz=5\nKodOddzialuNFZ=07\n"
                              "KodWojew=12\n[system]\nkodwojew = 14\n");
    const StartupResult result = runStartup(ini, dir_, messages_);
    EXPECT_TRUE(result.terminate);
    EXPECT_THAT(messages_.texts, ElementsAre(::testing::StartsWith(kMissingNfz),
                                             ::testing::StartsWith(kMissingInstalacja),
                                             ::testing::StartsWith(kMissingSwiadcz)));
    EXPECT_EQ(result.settings.KodWojew, "14"); // section and key names ignore case
}

TEST(KodWojew, IsTrimmedAndASingleCharacterGetsALeadingZero) {
    const struct {
        const char* read;
        const char* used;
    } cases[] = {{"2", "02"}, {" 12 ", "12"}, {"123", "123"}, {" 7\t", "07"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(normalizeKodWojew(c.read), c.used) << c.read;
}

TEST(IniProfile, ReadsLikeTheProfileFunctions) {
    const fs::path file =
        fs::temp_directory_path() / ("xls2qdp-ini-" + std::to_string(::getpid()) + ".ini");
    std::ofstream(file, std::ios::binary)
        << "\xEF\xBB\xBF[SYSTEM]\r\n; comment\r\nKey=first\r\nkey=second\r\n"
           "Spaced = a b \r\nQuoted= \"c:\\dir \" \r\n[ Next ]\r\nKey=next\r\n";
    EXPECT_EQ(readIniString(file, "SYSTEM", "KEY"), "first");
    EXPECT_EQ(readIniString(file, "system", "Spaced"), " a b ");
    EXPECT_EQ(readIniValue(file, "system", "Spaced"), "a b");
    EXPECT_EQ(readIniString(file, "SYSTEM", "Quoted"), " \"c:\\dir \" ");
    EXPECT_EQ(readIniValue(file, "SYSTEM", "Quoted"), "c:\\dir ");
    EXPECT_EQ(readIniString(file, "Next", "Key"), "next");
    EXPECT_EQ(readIniString(file, "SYSTEM", "Missing", "dflt"), "dflt");
    EXPECT_EQ(readIniString(file.string() + ".none", "SYSTEM", "Key", "d"), "d");
    EXPECT_EQ(readIniValue(file, "SYSTEM", "Missing", " d "), " d ");
    fs::remove(file);
}

} // namespace
} // namespace xls2qdp
