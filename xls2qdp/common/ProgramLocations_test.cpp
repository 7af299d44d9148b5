// SPDX-License-Identifier: MIT
#include "ProgramLocations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;

class ProgramLocationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("xls2qdp-locations-" + std::to_string(::getpid()));
        fs::create_directories(root_ / "bin");
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root_); }
    void touch(const fs::path& file) { std::ofstream(file) << ""; }
    fs::path root_;
};

TEST_F(ProgramLocationsTest, AFolderWithTheSettingsOrDictionariesIsAPortableInstall) {
    touch(root_ / "bin" / kCommuneDictionaryFile);
    touch(root_ / "bin" / kWorkingTableFile);
    const auto locations = findProgramLocations(root_ / "bin");
    EXPECT_EQ(locations.iniFile, root_ / "bin" / "xls2qdp.INI");
    EXPECT_EQ(locations.dictionaryDir, root_ / "bin");
    EXPECT_EQ(locations.workingTableDir, root_ / "bin");

    touch(root_ / "bin" / "xls2qdp.ini"); // only the lower-case name exists
    EXPECT_EQ(findProgramLocations(root_ / "bin").iniFile, root_ / "bin" / "xls2qdp.ini");
}

TEST_F(ProgramLocationsTest, AnInstalledProgramUsesTheUserFolders) {
    const auto locations = findProgramLocations(root_ / "bin");
    EXPECT_EQ(locations.iniFile, root_ / "config" / "xls2qdp" / "xls2qdp.INI");
    EXPECT_EQ(locations.dictionaryDir, root_ / "share" / "xls2qdp");
    EXPECT_EQ(locations.workingTableDir, root_ / "data" / "xls2qdp");
}

TEST_F(ProgramLocationsTest, AnExplicitIniFileWins) {
    const auto locations = findProgramLocations(root_ / "bin", root_ / "my.ini");
    EXPECT_EQ(locations.iniFile, root_ / "my.ini");
}

} // namespace
} // namespace xls2qdp
