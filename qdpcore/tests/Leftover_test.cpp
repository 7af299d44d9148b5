// SPDX-License-Identifier: MIT
// Temporary files of a run that was killed: the next run removes them from
// the folders it works in, and only them.
#include "Leftovers.h"
#include "PackageFixture.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qdptest;
namespace fs = std::filesystem;

namespace {

bool alive(long pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// A process id that belonged to a process that has ended.
pid_t endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

// Five digits that end the id of no living process.
std::string deadDigits() {
    for (long d = endedProcess() % 100000;; d = (d + 1) % 100000) {
        bool any = false;
        for (long pid = d == 0 ? 100000 : d; pid <= 4194304 && !any; pid += 100000)
            any = alive(pid);
        if (!any) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%05ld", d);
            return digits;
        }
    }
}

TEST(Leftovers, SetOutPathAndSaveRemoveOnlyTheFilesOfEndedRuns) {
    TempDir temp;
    TempDir output;
    const RunIds ids{deadDigits(), std::to_string(endedProcess()), std::to_string(::getppid())};
    std::vector<std::string> keptInTemp = layOutLeftovers(temp, output, ids);
    // A link of a left-over name is no file of ours.
    const std::string link = "CAe" + ids.deadDigits;
    fs::create_symlink("elsewhere", temp.file(link));
    keptInTemp.push_back(link);
    const int inUse = ::open(temp.file(inUseName(ids)).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(inUse, LOCK_EX), 0);
    expectOnlyEndedRunsRemoved(temp, output, ids, keptInTemp, [inUse] { ::close(inUse); });
}

// A file of another user is never taken for ours.
TEST(Leftovers, AnotherUsersFilesStay) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
    TempDir temp;
    const std::string name = "CAa" + deadDigits();
    writeFile(temp.file(name), "theirs");
    ASSERT_EQ(::chown(temp.file(name).c_str(), 4242, 4242), 0);
    QdpHandle h = 0;
    ASSERT_EQ(PaczkaC(&h, 1, "T", "P", nullptr), QDP_OK);
    ASSERT_EQ(SetOutPathC(h, temp.prefix().c_str()), QDP_OK);
    EXPECT_EQ(temp.names(), std::vector<std::string>{name});
    Clear(h);
}

bool hasStagingFile(const TempDir& dir) {
    const auto names = dir.names();
    return std::any_of(names.begin(), names.end(),
                       [](const std::string& n) { return n.ends_with(".qdptmp"); });
}

// Builds a package of many records in folder and saves it as out; tells
// through fd when it starts the records ('r') and the save ('s').
[[noreturn]] void buildAndSave(const std::string& folder, const std::string& out, int fd) {
    QdpHandle h = 0;
    PaczkaC(&h, 1, "T", "P", nullptr);
    SetOutPathC(h, folder.c_str());
    AddDokumentC(h, "D", 1, 1, nullptr);
    AddSekcjaC(h, "S", nullptr);
    AddDefPolC(h, "A", "C", "500", "0", nullptr);
    AddDefPolC(h, "B", "V", "500", "0", nullptr);
    std::string record(2 + 501 + 501, 'r');
    (void)::write(fd, "r", 1);
    for (int i = 0; i < 8000; ++i)
        AddRekordC(h, record.data());
    (void)::write(fd, "s", 1);
    const int32_t r = SaveC(h, out.c_str());
    Clear(h);
    ::_exit(r == QDP_OK ? 0 : 1);
}

// Kills a run during its records or during its save, at a random moment or
// while its package is written, then runs again in the same folder: once
// that run has finished, nothing of the killed one is left, and the package
// file is whole (the old one or the new one).
TEST(Leftovers, KilledRunsLeaveNothingOnceTheNextRunHasFinished) {
    TempDir dir;
    const std::string out = dir.file("out.qdp");
    PackageSpec spec;
    spec.documents = {{"DOK", "", {{"S", "", {{"A", "C", 3, ""}}, {{"abc"}}, {}}}}};
    ASSERT_EQ(buildPackage(spec, dir.prefix(), out), QDP_OK);
    const std::string old = readFile(out);

    std::mt19937 random(12345);
    int killsThatLeftFiles = 0;
    int killsDuringTheWrite = 0;
    for (const char phase : {'r', 's'}) {
        for (int attempt = 0; attempt < 8; ++attempt) {
            SCOPED_TRACE(std::string(1, phase) + std::to_string(attempt));
            int pipeFds[2];
            ASSERT_EQ(::pipe(pipeFds), 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(pipeFds[0]);
                buildAndSave(dir.prefix(), out, pipeFds[1]);
            }
            ::close(pipeFds[1]);
            char seen = 0;
            while (seen != phase && ::read(pipeFds[0], &seen, 1) == 1) {
            }
            bool ended = false;
            if (phase == 's' && attempt % 2 == 1) {
                // In the middle of writing the package: once its staging file is there.
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (!ended && !hasStagingFile(dir) &&
                       std::chrono::steady_clock::now() < deadline) {
                    ended = ::waitpid(child, nullptr, WNOHANG) == child;
                    ::usleep(100);
                }
            } else {
                ::usleep(std::uniform_int_distribution<unsigned>(0, 30000)(random));
            }
            if (!ended) {
                ::kill(child, SIGKILL);
                ::waitpid(child, nullptr, 0);
            }
            ::close(pipeFds[0]);

            if (dir.names().size() > 1) ++killsThatLeftFiles;
            if (hasStagingFile(dir)) ++killsDuringTheWrite;
            const std::string now = readFile(out);
            if (now != old) {
                QdpHandle h = 0;
                EXPECT_EQ(ReadPaczkaHeadC(&h, out.c_str(), nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, nullptr),
                          QDP_OK)
                    << "a whole new package, never a partial one";
                Clear(h);
            }
            // The next run.
            ASSERT_EQ(buildPackage(spec, dir.prefix(), out), QDP_OK);
            EXPECT_EQ(dir.names(), std::vector<std::string>{"out.qdp"});
        }
    }
    EXPECT_GT(killsThatLeftFiles, 0) << "the kills came too late to test anything";
    EXPECT_GT(killsDuringTheWrite, 0) << "no kill came while the package was written";
}

} // namespace
