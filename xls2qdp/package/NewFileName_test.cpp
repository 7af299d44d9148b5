// SPDX-License-Identifier: MIT
#include "common/testing/RecordingSink.h"
#include "package/NewFileName.h"
#include "package/testing/FakeQdpLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;

class NewFileNameTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("qdp_names_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        folderText = folder.string() + "/";
    }
    void TearDown() override { fs::remove_all(folder); }
    void touch(const std::string& name) { std::ofstream(folderText + name) << "x"; }

    // 15 March, 10:05:07
    FixedClock clock{{2004, 3, 15, 10, 5, 7}};
    testing::FakeQdpLibrary library;
    testing::RecordingSink sink;
    fs::path folder;
    std::string folderText;
};

TEST(Base40, DigitsAndTheLargestStamp) {
    EXPECT_EQ(encodeBase40(0), "0");
    EXPECT_EQ(encodeBase40(39), "Q");
    EXPECT_EQ(encodeBase40(40), "10");
    EXPECT_EQ(encodeBase40(38), "$");
    EXPECT_EQ(encodeBase40(36 * 40 + 37), "_#");
    EXPECT_EQ(encodeBase40(5931123159ULL).size(), 7u); // 59 s, 31 d, 12 m, 23 h, 59 min
    EXPECT_EQ(encodeBase40(40ULL * 40 * 40 * 40 * 40 * 40 - 1), "QQQQQQ");
}

TEST_F(NewFileNameTest, FirstNameIsTheMinuteStamp) {
    OutputFileNamer namer(clock, {&library, &sink});
    std::string name;
    ASSERT_TRUE(namer.fNewFileName(folderText, true, "d", name));
    EXPECT_EQ(name, folderText + "d" + encodeBase40(715031005ULL) + ".qdp"); // "0715031005"
    EXPECT_TRUE(sink.texts.empty());
}

TEST_F(NewFileNameTest, TakenNameFallsBackToTheHourStampWithACounter) {
    OutputFileNamer namer(clock, {&library, &sink});
    touch("d" + encodeBase40(715031005ULL) + ".qdp");
    std::string name;
    ASSERT_TRUE(namer.fNewFileName(folderText, true, "d", name));
    EXPECT_EQ(name, folderText + "d" + encodeBase40(715031002ULL) + ".qdp"); // "07150310" "02"

    // The suffix runs through 00..09 as the counter grows (counter mod 10).
    for (int suffix : {2, 3, 4, 5, 6, 7, 8, 9})
        touch("d" + encodeBase40(715031000ULL + suffix) + ".qdp");
    ASSERT_TRUE(namer.fNewFileName(folderText, true, "d", name));
    // The minute stamp is remembered from the first call, so the counter
    // starts at 1 here: 01 is free.
    EXPECT_EQ(name, folderText + "d" + encodeBase40(715031001ULL) + ".qdp");
    touch("d" + encodeBase40(715031001ULL) + ".qdp");
    ASSERT_TRUE(namer.fNewFileName(folderText, true, "d", name));
    EXPECT_EQ(name, folderText + "d" + encodeBase40(715031000ULL) + ".qdp"); // counter 10
    EXPECT_TRUE(sink.texts.empty());
}

TEST_F(NewFileNameTest, GivesUpWhenEveryCandidateIsTaken) {
    OutputFileNamer namer(clock, {&library, &sink});
    touch("d" + encodeBase40(715031005ULL) + ".qdp");
    for (int suffix = 0; suffix <= 9; ++suffix)
        touch("d" + encodeBase40(715031000ULL + suffix) + ".qdp");
    std::string name = "unchanged";
    EXPECT_FALSE(namer.fNewFileName(folderText, true, "d", name));
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(sink.texts, std::vector<std::string>{"Błąd podczas tworzenia nazwy pliku qdp!"});
    sink.texts.clear();
    EXPECT_FALSE(namer.fNewFileName(folderText, false, "d", name));
    EXPECT_TRUE(sink.texts.empty());
}

TEST_F(NewFileNameTest, NewMinuteGivesANewMinuteStampAndFolderGetsADelimiter) {
    OutputFileNamer namer(clock, {&library, &sink});
    std::string first, second;
    ASSERT_TRUE(namer.fNewFileName(folderText, true, "d", first));
    clock.set({2004, 3, 15, 10, 6, 0});
    ASSERT_TRUE(namer.fNewFileName(folder.string(), true, "d", second));
    EXPECT_EQ(second, folderText + "d" + encodeBase40(15031006ULL) + ".qdp"); // "0015031006"
}

} // namespace
} // namespace xls2qdp
