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
        m_root = fs::temp_directory_path() / ("xls2qdp-locations-" + std::to_string(::getpid()));
        fs::create_directories(m_root / "bin");
        ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_root / "data").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(m_root); }
    void touch(const fs::path& file) { std::ofstream(file) << ""; }
    fs::path m_root;
};

TEST_F(ProgramLocationsTest, AFolderWithTheSettingsOrDictionariesIsAPortableInstall) {
    touch(m_root / "bin" / kCommuneDictionaryFile);
    touch(m_root / "bin" / kWorkingTableFile);
    const auto locations = findProgramLocations(m_root / "bin");
    EXPECT_EQ(locations.iniFile, m_root / "bin" / "xls2qdp.INI");
    EXPECT_EQ(locations.dictionaryDir, m_root / "bin");
    EXPECT_EQ(locations.workingTableDir, m_root / "bin");

    touch(m_root / "bin" / "xls2qdp.ini"); // only the lower-case name exists
    EXPECT_EQ(findProgramLocations(m_root / "bin").iniFile, m_root / "bin" / "xls2qdp.ini");
}

TEST_F(ProgramLocationsTest, AnInstalledProgramUsesTheUserFolders) {
    const auto locations = findProgramLocations(m_root / "bin");
    EXPECT_EQ(locations.iniFile, m_root / "config" / "xls2qdp" / "xls2qdp.INI");
    EXPECT_EQ(locations.dictionaryDir, m_root / "share" / "xls2qdp");
    EXPECT_EQ(locations.workingTableDir, m_root / "data" / "xls2qdp");
}

TEST_F(ProgramLocationsTest, AnExplicitIniFileWins) {
    const auto locations = findProgramLocations(m_root / "bin", m_root / "my.ini");
    EXPECT_EQ(locations.iniFile, m_root / "my.ini");
}

} // namespace
} // namespace xls2qdp
