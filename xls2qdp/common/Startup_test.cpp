// SPDX-License-Identifier: MIT
#include "Startup.h"

#include "IniProfile.h"
#include "common/testing/RecordingSink.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
    const auto ini = writeIni("[SYSTEM]\r\nNrInstalacji=  77 \r\nKodSwiadcz=123456789\r\n"
                              "KodOddzialuNFZ=07\r\nKodWojew=2\r\n");
    const StartupResult result = runStartup(ini, dir_, messages_);

    EXPECT_THAT(messages_.texts, IsEmpty());
    EXPECT_FALSE(result.terminate);
    EXPECT_EQ(result.settings.NrInstalacji, "  77 "); // blanks kept: the value is used as read
    EXPECT_EQ(result.settings.KodSwiadcz, "123456789");
    EXPECT_EQ(result.settings.KodOddzialuNFZ, "07");
    EXPECT_EQ(result.settings.KodWojew, "02");
    EXPECT_EQ(result.settings.ProgramDir, (dir_ / "").string());
    EXPECT_EQ(result.settings.ExportDocVersion, 4);
    EXPECT_EQ(result.settings.ExportDocVariant, 1);
    EXPECT_EQ(versionLabelText(result.version), "v.2.02.1.0101");
}

TEST_F(StartupTest, MissingIniShowsItsMessageThenEveryKeyMessage) {
    const fs::path ini = dir_ / "xls2qdp.INI";
    const StartupResult result = runStartup(ini, dir_, messages_);

    EXPECT_TRUE(result.terminate);
    EXPECT_THAT(messages_.texts, ElementsAre("Brak pliku INI: \r\n" + ini.string(), kMissingNfz,
                                             kMissingWojew, kMissingInstalacja, kMissingSwiadcz));
    for (MessageKind kind : messages_.kinds)
        EXPECT_EQ(kind, MessageKind::Error);
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
        EXPECT_THAT(messages.texts, ElementsAre(c.expected));
    }
}

TEST_F(StartupTest, KeysOutsideTheSystemSectionDoNotCount) {
    const auto ini = writeIni("[OTHER]\nNrInstalacji=1\nKodSwiadcz=5\nKodOddzialuNFZ=07\n"
                              "KodWojew=12\n[system]\nkodwojew = 14\n");
    const StartupResult result = runStartup(ini, dir_, messages_);
    EXPECT_TRUE(result.terminate);
    EXPECT_THAT(messages_.texts, ElementsAre(kMissingNfz, kMissingInstalacja, kMissingSwiadcz));
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
