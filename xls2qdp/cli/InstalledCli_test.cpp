// SPDX-License-Identifier: MIT
// The command line program as an install lays it out (bin/, lib/,
// share/xls2qdp/, settings and working table in the user's home), run as a
// separate process under the usual umask 022: what it makes holds patients'
// data and must be readable by its owner only.
#include "engine/testing/TestInstall.h"
#include "import/testing/ScratchFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace xls2qdp::cli {
namespace {

namespace fs = std::filesystem;
using xls2qdp::testing::buildBinDir;
using xls2qdp::testing::quoted;
using xls2qdp::testing::runCommand;
using xls2qdp::testing::sourceDir;
using xls2qdp::testing::TestInstall;

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class InstalledCli : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"bin", "lib", "share/xls2qdp", "home/.config/xls2qdp", "out"})
            fs::create_directories(root_ / folder);
        fs::copy_file(buildBinDir() / "xls2qdp-cli", root_ / "bin" / "xls2qdp-cli");
        for (const auto& entry : fs::directory_iterator(buildBinDir())) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("lib") && name.find(".so") != std::string::npos)
                fs::create_symlink(entry.path(), root_ / "lib" / name);
        }
        for (const char* file : {"sl_gminy.db", "sl_miejscowosci.db"})
            fs::create_symlink(buildBinDir() / file, root_ / "share/xls2qdp" / file);
        std::ofstream(root_ / "home/.config/xls2qdp/xls2qdp.INI") << TestInstall::kIni;
    }

    // Runs the installed program with a home of its own under umask 022.
    xls2qdp::testing::CommandResult run(const std::string& arguments) const {
        return runCommand("cd " + quoted(root_) + " && umask 022 && env -u XDG_CONFIG_HOME" +
                          " -u XDG_DATA_HOME HOME=" + quoted(root_ / "home") + " bin/xls2qdp-cli " +
                          arguments + " 2>&1");
    }

    xls2qdp::testing::ScratchFolder scratch_;
    const fs::path root_ = scratch_.path();
};

TEST_F(InstalledCli, PackageReportAndWorkingTableAreTheirOwnersOnly) {
    const fs::path workbook = sourceDir() / "xls2qdp/import/sheets/testdata/declarations.xlsx";
    const fs::path report = root_ / "out" / "raport.csv";
    const auto result =
        run("import " + quoted(workbook) + " --target out --report " + quoted(report));
    ASSERT_EQ(result.status, 0) << result.output;

    fs::path package;
    for (const auto& entry : fs::directory_iterator(root_ / "out"))
        if (entry.path().extension() == ".qdp") package = entry.path();
    ASSERT_FALSE(package.empty()) << result.output;
    EXPECT_THAT(result.output, ::testing::HasSubstr(package.string()));

    const fs::path tableFolder = root_ / "home/.local/share/xls2qdp";
    EXPECT_EQ(modeOf(package), 0600);
    EXPECT_EQ(modeOf(report), 0600);
    EXPECT_EQ(modeOf(tableFolder), 0700);
    EXPECT_EQ(modeOf(tableFolder / "xls_imp.db"), 0600);
    // Nothing else was left beside them.
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "out"), fs::directory_iterator()), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(tableFolder), fs::directory_iterator()), 1);
}

} // namespace
} // namespace xls2qdp::cli
