// SPDX-License-Identifier: MIT
#include "FileErrorText.h"
#include "FileReplacement.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace xls2qdp {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNewContent = "Wiersz;Kolumna;Wartość;Uwaga\r\n7;F;x;nowy\r\n";
constexpr uid_t kOtherUser = 65534; // nobody
constexpr gid_t kOtherGroup = 65534;

const bool kRoot = ::geteuid() == 0;

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, const std::string& text, mode_t mode) {
    std::ofstream(file, std::ios::binary) << text;
    ::chmod(file.c_str(), mode);
}

struct stat statOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

std::error_code save(const fs::path& file) {
    return replaceFileContent(file, [](std::ostream& out) { out << kNewContent; });
}

// A save done by the unprivileged user when we are root (so that the
// system's access checks apply), else by ourselves: the error number.
int saveAsOtherUser(const fs::path& file) {
    if (!kRoot) return save(file).value();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kOtherGroup) != 0 ||
            ::setuid(kOtherUser) != 0) {
            ::_exit(255);
        }
        ::_exit(save(file).value() & 0xFF);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 254;
}

// A folder for one case, its own system temporary folder (TMPDIR) beside it,
// and the umask of a usual session.
class Scene {
public:
    Scene() {
        std::string pattern = (fs::temp_directory_path() / "xls2qdp-replace-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        ::chmod(root.c_str(), 0755);
        folder = root / "folder";
        temp = root / "tmp";
        fs::create_directory(folder);
        fs::create_directory(temp);
        ::chmod(temp.c_str(), 01777);
        ::chmod(folder.c_str(), 0755);
        if (const char* old = std::getenv("TMPDIR")) oldTemp_ = old;
        ::setenv("TMPDIR", temp.c_str(), 1);
        oldMask_ = ::umask(022);
    }
    ~Scene() {
        ::umask(oldMask_);
        if (oldTemp_)
            ::setenv("TMPDIR", oldTemp_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        ::chmod(folder.c_str(), 0755);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Every staging file still in the folder or the temporary folder.
    std::vector<std::string> leftOvers() const {
        std::vector<std::string> names;
        for (const fs::path& place : {folder, temp}) {
            for (const auto& entry : fs::directory_iterator(place)) {
                const std::string name = entry.path().filename().string();
                if (name.find('~') != std::string::npos) names.push_back(name);
            }
        }
        return names;
    }

    fs::path root, folder, temp;

private:
    std::optional<std::string> oldTemp_;
    mode_t oldMask_ = 0;
};

struct Target {
    fs::path path{};   // what the save is given
    fs::path file{};   // the file that must get the content ("" for none)
    ino_t inode = 0;   // the file's inode when it must stay the same file
    mode_t mode = 0;   // the mode it must have afterwards
    uid_t owner = 0;   // its owner afterwards
    bool skip = false; // the case cannot be set up by this user
};

TEST(FileReplacement, KeepsLinksDevicesOwnersAndModes) {
    const struct {
        const char* name;
        bool asOtherUser;
        std::function<Target(const Scene&)> prepare;
        int error; // 0: the save succeeds
    } cases[] = {
        {"a new file is its owner's only", false,
         [](const Scene& s) {
             return Target{s.folder / "raport.csv", s.folder / "raport.csv", 0, 0600, ::geteuid()};
         },
         0},
        {"a replaced file keeps its mode", false,
         [](const Scene& s) {
             writeFile(s.folder / "raport.csv", "stary", 0640);
             return Target{s.folder / "raport.csv", s.folder / "raport.csv", 0, 0640, ::geteuid()};
         },
         0},
        {"a replaced file of another user keeps its owner and group", false,
         [](const Scene& s) {
             if (!kRoot) return Target{.skip = true};
             const fs::path file = s.folder / "raport.csv";
             writeFile(file, "stary", 0604);
             EXPECT_EQ(::chown(file.c_str(), kOtherUser, kOtherGroup), 0);
             return Target{file, file, 0, 0604, kOtherUser};
         },
         0},
        {"a chain of links stays, the file it names is written", false,
         [](const Scene& s) {
             writeFile(s.folder / "real.csv", "stary", 0640);
             fs::create_symlink("real.csv", s.folder / "link1");
             fs::create_symlink(s.folder / "link1", s.folder / "link2");
             return Target{s.folder / "link2", s.folder / "real.csv", 0, 0640, ::geteuid()};
         },
         0},
        {"a link to no file yet makes the file it names", false,
         [](const Scene& s) {
             fs::create_symlink("named.csv", s.folder / "link");
             return Target{s.folder / "link", s.folder / "named.csv", 0, 0600, ::geteuid()};
         },
         0},
        {"a file with two names is written in place, shorter than before", false,
         [](const Scene& s) {
             const fs::path file = s.folder / "a.csv";
             writeFile(file, std::string(5000, 'x'), 0644);
             fs::create_hard_link(file, s.folder / "b.csv");
             return Target{file, s.folder / "b.csv", statOf(file).st_ino, 0644, ::geteuid()};
         },
         0},
        {"a device stays a device", false, [](const Scene&) { return Target{"/dev/null"}; }, 0},
        {"a full device is a failure", false, [](const Scene&) { return Target{"/dev/full"}; },
         ENOSPC},
        {"a folder is refused", false, [](const Scene& s) { return Target{s.folder}; }, EISDIR},
        {"a missing folder is refused", false,
         [](const Scene& s) { return Target{s.folder / "none" / "raport.csv"}; }, ENOENT},
        {"a FIFO nobody reads is refused at once", false,
         [](const Scene& s) {
             EXPECT_EQ(::mkfifo((s.folder / "fifo").c_str(), 0600), 0);
             return Target{s.folder / "fifo"};
         },
         ENXIO},
        {"in a folder where we may not create files the file is written in place", true,
         [](const Scene& s) {
             const fs::path file = s.folder / "raport.csv";
             writeFile(file, "stary stary stary", 0640);
             if (kRoot) {
                 EXPECT_EQ(::chown(file.c_str(), kOtherUser, kOtherGroup), 0);
             } else {
                 ::chmod(s.folder.c_str(), 0555);
             }
             return Target{file, file, statOf(file).st_ino, 0640, kRoot ? kOtherUser : ::geteuid()};
         },
         0},
        {"a file we may not write is left alone", true,
         [](const Scene& s) {
             const fs::path file = s.folder / "raport.csv";
             writeFile(file, "stary", 0444);
             if (kRoot) {
                 EXPECT_EQ(::chown(s.folder.c_str(), kOtherUser, kOtherGroup), 0);
             }
             return Target{file};
         },
         EACCES},
        {"a file whose owner we cannot keep is written in place", true,
         [](const Scene& s) {
             if (!kRoot) return Target{.skip = true};
             const fs::path file = s.folder / "raport.csv";
             writeFile(file, "stary", 0666);
             ::chmod(s.folder.c_str(), 0777);
             return Target{file, file, statOf(file).st_ino, 0666, 0};
         },
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        const Target target = c.prepare(scene);
        if (target.skip) continue;
        const std::string before = target.file.empty() && fs::is_regular_file(target.path)
                                       ? contentOf(target.path)
                                       : std::string();
        const bool wasLink = fs::is_symlink(target.path);
        const int error = c.asOtherUser ? saveAsOtherUser(target.path) : save(target.path).value();
        EXPECT_EQ(error, c.error) << std::strerror(error);
        EXPECT_TRUE(scene.leftOvers().empty()) << scene.leftOvers().front();
        if (!before.empty()) {
            EXPECT_EQ(contentOf(target.path), before);
        }
        EXPECT_EQ(fs::is_symlink(target.path), wasLink);
        if (target.path.string().starts_with("/dev/")) {
            EXPECT_TRUE(S_ISCHR(statOf(target.path).st_mode));
        }
        if (target.file.empty()) continue;

        EXPECT_EQ(contentOf(target.file), kNewContent);
        const struct stat st = statOf(target.file);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, target.mode);
        EXPECT_EQ(st.st_uid, target.owner);
        if (target.owner == kOtherUser) {
            EXPECT_EQ(st.st_gid, kOtherGroup);
        }
        if (target.inode != 0) {
            EXPECT_EQ(st.st_ino, target.inode);
        }
    }
}

TEST(FileReplacement, TemporaryNamesNeverTakeAFileAndLeftOversOfDeadRunsGo) {
    Scene scene;
    const fs::path file = scene.folder / "raport.csv";
    // A name this process would try first, held by a file of its own.
    const fs::path taken = scene.folder / ("raport.csv~" + std::to_string(::getpid()) + "-0.tmp");
    writeFile(taken, "cudzy", 0600);
    // What a killed run left: its process is gone.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const fs::path leftOver = scene.folder / ("raport.csv~" + std::to_string(gone) + "-3.tmp");
    writeFile(leftOver, "resztki", 0600);
    // A live process's file, and a name of another file's saves.
    const fs::path live = scene.folder / "raport.csv~1-0.tmp";
    writeFile(live, "żywy", 0600);
    const fs::path other = scene.folder / ("inny.csv~" + std::to_string(gone) + "-0.tmp");
    writeFile(other, "inny", 0600);

    ASSERT_FALSE(save(file));
    EXPECT_EQ(contentOf(file), kNewContent);
    EXPECT_EQ(contentOf(taken), "cudzy");
    EXPECT_FALSE(fs::exists(leftOver));
    EXPECT_EQ(contentOf(live), "żywy");
    EXPECT_EQ(contentOf(other), "inny");
}

TEST(FileReplacement, AWriterThatFailsLeavesTheFileAsItWas) {
    Scene scene;
    const fs::path file = scene.folder / "raport.csv";
    writeFile(file, "stary", 0644);
    EXPECT_THROW(replaceFileContent(file,
                                    [](std::ostream& out) {
                                        out << "początek";
                                        throw std::runtime_error("spool unreadable");
                                    }),
                 std::runtime_error);
    EXPECT_EQ(contentOf(file), "stary");
    EXPECT_TRUE(scene.leftOvers().empty());
}

TEST(FileReplacement, FailuresAreDescribedInPolish) {
    EXPECT_EQ(describeFileError(std::make_error_code(std::errc::permission_denied)),
              "brak uprawnień");
    EXPECT_EQ(describeFileError(std::make_error_code(std::errc::no_space_on_device)),
              "brak miejsca na dysku");
    EXPECT_EQ(describeFileError(std::make_error_code(std::errc::is_a_directory)),
              "to jest katalog, a nie plik");
}

} // namespace
} // namespace xls2qdp
