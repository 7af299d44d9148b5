// SPDX-License-Identifier: MIT
#include "PrivateFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class PrivateFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "xls2qdp-private-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
        oldMask_ = ::umask(022);
    }
    void TearDown() override {
        ::umask(oldMask_);
        fs::remove_all(root_);
    }

    fs::path root_;
    mode_t oldMask_ = 0;
};

TEST_F(PrivateFiles, FoldersAndFilesOfOursLoseTheRightsOfOthers) {
    const fs::path folder = root_ / "share" / "xls2qdp";
    makePrivateFolder(folder);
    EXPECT_EQ(modeOf(folder), 0700);
    EXPECT_EQ(modeOf(folder.parent_path()), 0755); // the parents as the umask says

    // What an earlier version left readable by everyone.
    ::chmod(folder.c_str(), 0755);
    const fs::path table = folder / "xls_imp.db";
    std::ofstream(table) << "table";
    EXPECT_EQ(modeOf(table), 0644);
    makePrivateFolder(folder);
    makePrivateFile(table);
    EXPECT_EQ(modeOf(folder), 0700);
    EXPECT_EQ(modeOf(table), 0600);

    std::ofstream(root_ / "plik") << "not a folder";
    EXPECT_THROW(makePrivateFolder(root_ / "plik"), fs::filesystem_error);
}

} // namespace
} // namespace xls2qdp
