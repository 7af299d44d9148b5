// SPDX-License-Identifier: MIT
// SaveC onto every kind of target: a new file, a file, links, a hard link,
// devices, a FIFO, a full disk, a folder without the right to create files,
// a file shared by a group. Each case checks the code, the content, that
// links stay links, the mode, owner and inode, and that no staging file is
// left in the folder or in the system's temporary folder. The owner and
// permission cases run in a child process under another user (root can
// write anywhere) and are skipped when the tests do not run as root.
#include "PackageFixture.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace qdptest;
namespace fs = std::filesystem;

namespace {

// Ids of the unprivileged user and of a group it shares with root; they
// need no entry in the system's user database.
constexpr uid_t kUser = 4242;
constexpr gid_t kUserGroup = 4242;
constexpr gid_t kSharedGroup = 4343;

// records records of 60 bytes each.
PackageSpec packageOf(int records) {
    SectionSpec section{"S", "", {{"A", "C", 60, ""}}, {}, {}};
    for (int i = 0; i < records; ++i)
        section.records.push_back({std::string(60, static_cast<char>('a' + i % 26))});
    PackageSpec spec;
    spec.documents = {{"DOK", "", {section}}};
    return spec;
}

struct stat statOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

std::size_t packageSize(int records) {
    return 124u + 33 + 76 + 33 + 44 + 51 + 63u * static_cast<unsigned>(records);
}

bool isPackage(const std::string& path, int records) {
    const std::string bytes = readFile(path);
    return bytes.starts_with("PACZKA") && bytes.size() == packageSize(records);
}

// Names in a folder that the library makes for staging files.
std::vector<std::string> stagingFiles(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().filename().string().ends_with(".qdptmp")) out.push_back(e.path().string());
    }
    return out;
}

// Runs body in a child process as kUser with the given groups; its result.
int runAsUser(const std::vector<gid_t>& groups, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(groups.size(), groups.data()) != 0 ||
            ::setresgid(kUserGroup, kUserGroup, kUserGroup) != 0 ||
            ::setresuid(kUser, kUser, kUser) != 0) {
            ::_exit(255);
        }
        ::_exit(body() & 0xFF);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// A test folder that other users may enter, with a place for the section
// files and a temporary folder of its own (TMPDIR) for the staging files.
class SaveTarget : public ::testing::Test {
protected:
    void SetUp() override {
        fs::permissions(dir.path(), fs::perms::all);
        fs::create_directory(sections());
        fs::permissions(sections(), fs::perms::all | fs::perms::sticky_bit);
        fs::create_directory(tmp());
        fs::permissions(tmp(), fs::perms::all | fs::perms::sticky_bit);
        const char* old = std::getenv("TMPDIR");
        savedTmp = old ? old : "";
        hadTmp = old != nullptr;
        ::setenv("TMPDIR", tmp().c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp) {
            ::setenv("TMPDIR", savedTmp.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
        EXPECT_TRUE(stagingFiles(tmp()).empty());
        EXPECT_TRUE(fs::is_empty(sections()));
    }
    fs::path sections() const { return dir.path() / "sections"; }
    fs::path tmp() const { return dir.path() / "tmp"; }
    int32_t save(const std::string& output, int records = 3) {
        return buildPackage(packageOf(records), sections().string() + "/", output);
    }

    TempDir dir;
    std::string savedTmp;
    bool hadTmp = false;
};

struct TargetCase {
    const char* name;
    // Makes the target in the folder and returns the path to save to.
    std::function<std::string(const fs::path&)> prepare;
    int32_t expected;
    // Checks the folder afterwards.
    std::function<void(const fs::path&)> check;
};

const TargetCase kTargets[] = {
    {"a new file", [](const fs::path& d) { return (d / "new.qdp").string(); }, QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "new.qdp", 3));
         const mode_t mask = ::umask(0);
         ::umask(mask);
         EXPECT_EQ(statOf(d / "new.qdp").st_mode & 07777, 0666 & ~mask);
     }},
    {"a file keeps its mode",
     [](const fs::path& d) {
         writeFile(d / "old.qdp", "old content");
         ::chmod((d / "old.qdp").c_str(), 0640);
         return (d / "old.qdp").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "old.qdp", 3));
         EXPECT_EQ(statOf(d / "old.qdp").st_mode & 07777, 0640u);
     }},
    {"a symbolic link stays a link",
     [](const fs::path& d) {
         writeFile(d / "real.qdp", "old content");
         fs::create_symlink("real.qdp", d / "link.qdp");
         return (d / "link.qdp").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(fs::is_symlink(d / "link.qdp"));
         EXPECT_TRUE(isPackage(d / "real.qdp", 3));
     }},
    {"a chain of relative links across folders",
     [](const fs::path& d) {
         fs::create_directories(d / "a");
         fs::create_directories(d / "b");
         fs::create_directories(d / "c");
         writeFile(d / "c" / "real.qdp", "old content");
         fs::create_symlink("../c/real.qdp", d / "b" / "second");
         fs::create_symlink("../b/second", d / "a" / "first");
         return (d / "a" / "first").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(fs::is_symlink(d / "a" / "first"));
         EXPECT_TRUE(fs::is_symlink(d / "b" / "second"));
         EXPECT_TRUE(isPackage(d / "c" / "real.qdp", 3));
         EXPECT_TRUE(stagingFiles(d / "a").empty());
         EXPECT_TRUE(stagingFiles(d / "c").empty());
     }},
    {"a link to a file not there yet",
     [](const fs::path& d) {
         fs::create_symlink("later.qdp", d / "link.qdp");
         return (d / "link.qdp").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(fs::is_symlink(d / "link.qdp"));
         EXPECT_TRUE(isPackage(d / "later.qdp", 3));
     }},
    {"a loop of links",
     [](const fs::path& d) {
         fs::create_symlink("two", d / "one");
         fs::create_symlink("one", d / "two");
         return (d / "one").string();
     },
     QDP_CREATE_FAILED, [](const fs::path& d) { EXPECT_TRUE(fs::is_symlink(d / "one")); }},
    {"a hard link is written in place",
     [](const fs::path& d) {
         writeFile(d / "one.qdp", std::string(5000, 'o'));
         fs::create_hard_link(d / "one.qdp", d / "two.qdp");
         return (d / "one.qdp").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "one.qdp", 3)) << "cut to the new length";
         EXPECT_EQ(readFile(d / "two.qdp"), readFile(d / "one.qdp"));
         EXPECT_EQ(statOf(d / "one.qdp").st_nlink, 2u);
     }},
    {"a folder", [](const fs::path& d) { return d.string(); }, QDP_CREATE_FAILED,
     [](const fs::path& d) { EXPECT_TRUE(fs::is_directory(d)); }},
    {"an old partial name is neither used nor removed",
     [](const fs::path& d) {
         writeFile(d / "p.qdp.part0", "someone's");
         writeFile(d / "p.qdp~1-0.qdptmp.keep", "someone's");
         return (d / "p.qdp").string();
     },
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "p.qdp", 3));
         EXPECT_EQ(readFile(d / "p.qdp.part0"), "someone's");
         EXPECT_EQ(readFile(d / "p.qdp~1-0.qdptmp.keep"), "someone's");
     }},
    {"a FIFO without a reader",
     [](const fs::path& d) {
         ::mkfifo((d / "pipe").c_str(), 0666);
         return (d / "pipe").string();
     },
     QDP_CREATE_FAILED, [](const fs::path& d) { EXPECT_TRUE(fs::is_fifo(d / "pipe")); }},
    {"the device that takes everything", [](const fs::path&) { return std::string("/dev/null"); },
     QDP_OK, [](const fs::path&) { EXPECT_TRUE(fs::is_character_file("/dev/null")); }},
    {"the device that is always full", [](const fs::path&) { return std::string("/dev/full"); },
     QDP_DISK_FULL, [](const fs::path&) { EXPECT_TRUE(fs::is_character_file("/dev/full")); }},
};

TEST_F(SaveTarget, EveryKindOfTarget) {
    for (const TargetCase& c : kTargets) {
        SCOPED_TRACE(c.name);
        const fs::path folder = dir.path() / "target";
        fs::remove_all(folder);
        fs::create_directory(folder);
        const std::string target = c.prepare(folder);
        EXPECT_EQ(save(target), c.expected);
        c.check(folder);
        EXPECT_TRUE(stagingFiles(folder).empty());
        EXPECT_TRUE(stagingFiles(tmp()).empty());
    }
}

// A FIFO is written in place; a reader that stops early gives a code, and
// the caller's process is not ended by SIGPIPE.
TEST_F(SaveTarget, FifoWhoseReaderStops) {
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    constexpr int kRecords = 2000; // 126 kB, more than the FIFO holds
    for (const std::size_t readerTakes : {packageSize(kRecords), std::size_t{1000}}) {
        SCOPED_TRACE(readerTakes);
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        ::fcntl(reader, F_SETFL, 0);
        // A writer of our own keeps the reader waiting for data, not at the end.
        const int keepOpen = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        ASSERT_GE(keepOpen, 0);
        std::string received;
        std::thread readerThread([&] {
            char buffer[4096];
            while (received.size() < readerTakes) {
                const auto n = ::read(reader, buffer, sizeof buffer);
                if (n <= 0) break;
                received.append(buffer, static_cast<std::size_t>(n));
            }
            ::close(reader);
        });
        const int32_t r = save(fifo, kRecords);
        readerThread.join();
        ::close(keepOpen);
        if (readerTakes == packageSize(kRecords)) {
            EXPECT_EQ(r, QDP_OK);
            EXPECT_TRUE(received.starts_with("PACZKA"));
        } else {
            EXPECT_EQ(r, QDP_OS_ERROR);
        }
        EXPECT_TRUE(fs::is_fifo(fifo));
    }
}

// A full disk, as a file-size limit shows it: the old content stays whole,
// whether the file is replaced or written in place.
TEST_F(SaveTarget, FullDiskKeepsTheOldContent) {
    const std::string old = "old content";
    writeFile(dir.file("plain.qdp"), old);
    writeFile(dir.file("linked.qdp"), old);
    fs::create_hard_link(dir.file("linked.qdp"), dir.file("other.qdp"));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t plain = save(dir.file("plain.qdp"), 100);
    const int32_t linked = save(dir.file("linked.qdp"), 100);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(plain, QDP_OS_ERROR);
    EXPECT_EQ(linked, QDP_OS_ERROR);
    EXPECT_EQ(readFile(dir.file("plain.qdp")), old);
    EXPECT_EQ(readFile(dir.file("linked.qdp")), old);
    EXPECT_EQ(readFile(dir.file("other.qdp")), old);
    EXPECT_TRUE(stagingFiles(dir.path()).empty());
}

struct OwnerCase {
    const char* name;
    // Run as root: makes the folder's content; returns the path to save to.
    std::function<std::string(const fs::path&)> prepare;
    std::vector<gid_t> groups; // the user's supplementary groups
    int32_t expected;
    // Run as root afterwards.
    std::function<void(const fs::path&)> check;
};

const OwnerCase kOwners[] = {
    {"a folder without the right to create files: written in place",
     [](const fs::path& d) {
         writeFile(d / "out.qdp", std::string(9000, 'o'));
         ::chown((d / "out.qdp").c_str(), kUser, kUserGroup);
         ::chmod((d / "out.qdp").c_str(), 0640);
         ::chmod(d.c_str(), 0755);
         return (d / "out.qdp").string();
     },
     {},
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "out.qdp", 3));
         const struct stat st = statOf(d / "out.qdp");
         EXPECT_EQ(st.st_uid, kUser);
         EXPECT_EQ(st.st_mode & 07777, 0640u);
     }},
    {"a group's shared file keeps its owner and group",
     [](const fs::path& d) {
         writeFile(d / "shared.qdp", "old content");
         ::chown((d / "shared.qdp").c_str(), 0, kSharedGroup);
         ::chmod((d / "shared.qdp").c_str(), 0664);
         ::chown(d.c_str(), 0, kSharedGroup);
         ::chmod(d.c_str(), 0775);
         return (d / "shared.qdp").string();
     },
     {kSharedGroup},
     QDP_OK,
     [](const fs::path& d) {
         EXPECT_TRUE(isPackage(d / "shared.qdp", 3));
         const struct stat st = statOf(d / "shared.qdp");
         EXPECT_EQ(st.st_uid, 0u);
         EXPECT_EQ(st.st_gid, kSharedGroup);
         EXPECT_EQ(st.st_mode & 07777, 0664u);
     }},
    {"another user's file that we may not write",
     [](const fs::path& d) {
         writeFile(d / "theirs.qdp", "old content");
         ::chmod((d / "theirs.qdp").c_str(), 0644);
         ::chmod(d.c_str(), 01777);
         return (d / "theirs.qdp").string();
     },
     {},
     QDP_CREATE_FAILED,
     [](const fs::path& d) { EXPECT_EQ(readFile(d / "theirs.qdp"), "old content"); }},
    {"a new file in a folder without the right to create files",
     [](const fs::path& d) {
         ::chmod(d.c_str(), 0755);
         return (d / "new.qdp").string();
     },
     {},
     QDP_CREATE_FAILED,
     [](const fs::path& d) { EXPECT_FALSE(fs::exists(d / "new.qdp")); }},
};

TEST_F(SaveTarget, OwnersAndRightsAsAnotherUser) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    for (const OwnerCase& c : kOwners) {
        SCOPED_TRACE(c.name);
        const fs::path folder = dir.path() / "target";
        fs::remove_all(folder);
        fs::create_directory(folder);
        const std::string target = c.prepare(folder);
        const ino_t before = statOf(target).st_ino;
        EXPECT_EQ(runAsUser(c.groups, [&] { return save(target); }), c.expected);
        c.check(folder);
        if (c.expected == QDP_OK && before != 0) {
            EXPECT_EQ(statOf(target).st_ino, before) << "written in place";
        }
        EXPECT_TRUE(stagingFiles(folder).empty());
        EXPECT_TRUE(stagingFiles(tmp()).empty());
    }
}

} // namespace
