// SPDX-License-Identifier: MIT
// Writing INI values: what the reader gives back, and what stays as it was.
#include "IniProfile.h"

#include "Startup.h"
#include "common/testing/RecordingSink.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;

class IniWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "xls2qdp-ini-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        file_ = dir_ / "xls2qdp.INI";
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& text) const { std::ofstream(file_, std::ios::binary) << text; }
    std::string content() const {
        std::ifstream in(file_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
    fs::path file_;
};

TEST_F(IniWriteTest, ChangesOnlyTheValuesItSets) {
    const struct {
        const char* name;
        std::string before;
        IniValues values;
        std::string after;
    } cases[] = {
        {"a value in place: mark, CRLF, comments, the key's spelling and the other section kept",
         "\xEF\xBB\xBF; ustawienia\r\n[system]\r\n  kodwojew = 12 \r\nKodSwiadcz=5\r\n"
         "[OUTPUT]\r\nKodWojew=99\r\n",
         {{"KodWojew", "14"}},
         "\xEF\xBB\xBF; ustawienia\r\n[system]\r\n  kodwojew =14\r\nKodSwiadcz=5\r\n"
         "[OUTPUT]\r\nKodWojew=99\r\n"},
        {"the first of two lines of a key, as the reader finds it",
         "[SYSTEM]\nKey=a\nKey=b\n[SYSTEM]\nKey=c\n",
         {{"Key", "x"}},
         "[SYSTEM]\nKey=x\nKey=b\n[SYSTEM]\nKey=c\n"},
        {"a key only in the second occurrence of the section is changed there",
         "[SYSTEM]\nA=1\n[OTHER]\nKey=o\n[SYSTEM]\nKey=c\n",
         {{"Key", "x"}},
         "[SYSTEM]\nA=1\n[OTHER]\nKey=o\n[SYSTEM]\nKey=x\n"},
        {"a missing key at the end of the section, before the blank lines",
         "[SYSTEM]\r\nA=1\r\n\r\n[OUTPUT]\r\nOUTPATH=c\r\n",
         {{"B", "2"}},
         "[SYSTEM]\r\nA=1\r\nB=2\r\n\r\n[OUTPUT]\r\nOUTPATH=c\r\n"},
        {"a missing section at the end, after a last line without its line end",
         "[OUTPUT]\nOUTPATH=c",
         {{"A", "1"}, {"B", "2"}},
         "[OUTPUT]\nOUTPATH=c\n\n[SYSTEM]\nA=1\nB=2\n"},
        {"an empty section gets the key after its header",
         "[SYSTEM]\r\n",
         {{"A", "1"}},
         "[SYSTEM]\r\nA=1\r\n"},
    };
    for (const auto& c : cases) {
        write(c.before);
        ASSERT_FALSE(writeIniValues(file_, "SYSTEM", c.values)) << c.name;
        EXPECT_EQ(content(), c.after) << c.name;
    }
}

TEST_F(IniWriteTest, TheReaderGivesEveryValueBack) {
    const char* values[] = {"77",     " 77 ",  "\"quoted\"", "'x'",     "",     "a=b",      "a;b",
                            "zażółć", "\"one", "\t tab",     "x \"y\"", "\"\"", "c:\\dir\\"};
    write("[SYSTEM]\r\nValue=old\r\n");
    for (const char* value : values) {
        ASSERT_FALSE(writeIniValues(file_, "SYSTEM", {{"Value", value}})) << value;
        EXPECT_EQ(readIniValue(file_, "SYSTEM", "Value"), value) << content();
    }
}

TEST_F(IniWriteTest, ANewFileIsMadeInItsFolderForItsOwnerOnly) {
    const fs::path file = dir_ / "config" / "xls2qdp" / "xls2qdp.INI";
    ASSERT_FALSE(writeIniValues(file, "SYSTEM", {{"NrInstalacji", "1"}}));
    EXPECT_EQ(readIniValue(file, "SYSTEM", "NrInstalacji"), "1");
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(IniWriteTest, ALineBreakInAValueWritesNothing) {
    write("[SYSTEM]\nA=1\n");
    for (const char* value : {"1\n2", "1\r", "x\ny"}) {
        EXPECT_EQ(writeIniValues(file_, "SYSTEM", {{"B", "ok"}, {"A", value}}),
                  std::make_error_code(std::errc::invalid_argument));
    }
    EXPECT_EQ(writeIniValues(file_, "SYSTEM", {{"A=B", "1"}}),
              std::make_error_code(std::errc::invalid_argument));
    EXPECT_EQ(content(), "[SYSTEM]\nA=1\n");
}

TEST_F(IniWriteTest, SavedSettingsStartTheProgramAsTheyAre) {
    write("; mine\n[SYSTEM]\nKodWojew=2\n");
    GlobalVar settings;
    settings.NrInstalacji = "AB 1";
    settings.KodSwiadcz = "000000012345";
    settings.KodOddzialuNFZ = "07";
    settings.KodWojew = "14";
    ASSERT_FALSE(saveSettings(file_, settings));
    testing::RecordingSink messages;
    const StartupResult startup = runStartup(file_, dir_, messages);
    EXPECT_FALSE(startup.terminate);
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(startup.settings.NrInstalacji, "AB 1");
    EXPECT_EQ(startup.settings.KodSwiadcz, "000000012345");
    EXPECT_EQ(startup.settings.KodOddzialuNFZ, "07");
    EXPECT_EQ(startup.settings.KodWojew, "14");
    EXPECT_EQ(content(), "; mine\n[SYSTEM]\nKodWojew=14\nNrInstalacji=AB 1\n"
                         "KodSwiadcz=000000012345\nKodOddzialuNFZ=07\n");
}

} // namespace
} // namespace xls2qdp
