// SPDX-License-Identifier: MIT
// What upkeep's INI and registry edits do to the files they touch: links stay
// links, hard links stay joined, owners, groups and modes stay, a run that
// changes nothing writes nothing, FIFOs, devices and folders are refused
// without waiting, and nothing temporary is left, also after a kill. The
// owner and permission cases run the program as another user (setpriv) and
// are skipped when the tests do not run as root.
#include "ProgramHarness.h"
#include "RegistryDocument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace upkeep {
namespace {

using namespace testing_harness;

// Ids of the unprivileged user and of a group it shares with root; they
// need no entry in the system's user database.
constexpr uid_t kUser = 4242;
constexpr gid_t kSharedGroup = 4343;
constexpr const char* kSetpriv = "/usr/bin/setpriv";

struct stat statOf(const fs::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

void setOwner(const fs::path& path, uid_t uid, gid_t gid, mode_t mode) {
    ASSERT_EQ(::chown(path.c_str(), uid, gid), 0) << path;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

// Marks a file so that any write shows: an old time of last change.
const auto kLongAgo = fs::file_time_type(std::chrono::seconds(1'000'000'000));
void markUnwritten(const fs::path& path) {
    fs::last_write_time(path, kLongAgo);
}
void expectUnwritten(const fs::path& path) {
    EXPECT_EQ(fs::last_write_time(path), kLongAgo) << path << " was written";
}

const std::string kIni = "[S]\r\nk=1\r\n";
const std::string kIniChanged = "[S]\r\nk=2\r\n";
const std::string kRegistry = crlf(kHeader + "[HKEY_CURRENT_USER\\Firm]\n\"v\"=\"1\"\n\n");
const std::string kRegistryChanged = crlf(kHeader + "[HKEY_CURRENT_USER\\Firm]\n\"v\"=\"2\"\n\n");
const std::vector<std::string> kSetIni = {"/SETINI", "/FILE:app.ini", "/SECTION:S", "/NAME:k",
                                          "/VALUE:2"};
const std::vector<std::string> kSetKey = {"/SETKEY", "/KEY:HKCU\\Firm", "/NAME:v", "/VALUE:2"};

struct FileCase {
    const char* title;
    // Run as root in the test's folder before the program.
    std::function<void(const fs::path&)> prepare;
    std::vector<std::string> arguments;
    int exitCode;
    std::string output; // standard output
    std::string errors; // standard error; "{dir}" stands for the folder
    std::function<void(const fs::path&)> check;
    // Run as kUser, with these supplementary groups ("" for none).
    bool asUser = false;
    std::string groups = {};
};

const std::vector<FileCase>& fileCases() {
    static const std::vector<FileCase> table = {
        {"SETINI keeps the file's mode",
         [](const fs::path& d) {
             writeFile(d / "app.ini", kIni);
             setOwner(d / "app.ini", 0, 0, 0640);
         },
         kSetIni, 0, "", "",
         [](const fs::path& d) {
             EXPECT_EQ(readFile(d / "app.ini"), kIniChanged);
             EXPECT_EQ(statOf(d / "app.ini").st_mode & 07777, 0640u);
         }},
        {"SETINI through a chain of relative links across folders",
         [](const fs::path& d) {
             fs::create_directories(d / "a");
             fs::create_directories(d / "b");
             fs::create_directories(d / "c");
             writeFile(d / "c" / "real.ini", kIni);
             fs::create_symlink("../c/real.ini", d / "b" / "second");
             fs::create_symlink("../b/second", d / "a" / "first");
         },
         {"/SETINI", "/FILE:a/first", "/SECTION:S", "/NAME:k", "/VALUE:2"},
         0,
         "",
         "",
         [](const fs::path& d) {
             EXPECT_TRUE(fs::is_symlink(d / "a" / "first"));
             EXPECT_TRUE(fs::is_symlink(d / "b" / "second"));
             EXPECT_EQ(readFile(d / "c" / "real.ini"), kIniChanged);
         }},
        {"SETINI through a link to a file not there yet makes that file",
         [](const fs::path& d) { fs::create_symlink("later.ini", d / "app.ini"); }, kSetIni, 0, "",
         "",
         [](const fs::path& d) {
             EXPECT_TRUE(fs::is_symlink(d / "app.ini"));
             EXPECT_EQ(readFile(d / "later.ini"), "[S]\r\nk=2\r\n");
         }},
        {"SETINI on a hard link changes both names",
         [](const fs::path& d) {
             writeFile(d / "app.ini", "[S]\r\nk=1\r\n; a longer comment to cut away\r\n");
             fs::create_hard_link(d / "app.ini", d / "other.ini");
         },
         {"/DELINI", "/FILE:app.ini", "/SECTION:S", "/NAME:k"},
         0,
         "",
         "",
         [](const fs::path& d) {
             EXPECT_EQ(readFile(d / "other.ini"), "[S]\r\n; a longer comment to cut away\r\n");
             EXPECT_EQ(statOf(d / "app.ini").st_ino, statOf(d / "other.ini").st_ino);
         }},
        {"SETINI that changes nothing writes nothing",
         [](const fs::path& d) {
             writeFile(d / "app.ini", kIniChanged);
             markUnwritten(d / "app.ini");
         },
         kSetIni, 0, "", "", [](const fs::path& d) { expectUnwritten(d / "app.ini"); }},
        {"SETINI on a FIFO neither waits nor writes",
         [](const fs::path& d) { ::mkfifo((d / "app.ini").c_str(), 0666); }, kSetIni, 5,
         crlf("Error: 5\n"), crlf("Blad: {dir}/app.ini nie jest zwyklym plikiem (potok FIFO)\n"),
         [](const fs::path& d) { EXPECT_TRUE(fs::is_fifo(d / "app.ini")); }},
        {"DELINI with NAME: on a FIFO still succeeds",
         [](const fs::path& d) { ::mkfifo((d / "app.ini").c_str(), 0666); },
         {"/DELINI", "/FILE:app.ini", "/SECTION:S", "/NAME:k"},
         0,
         "",
         crlf("Uwaga: nie mozna zmienic pliku {dir}/app.ini ({dir}/app.ini nie jest zwyklym "
              "plikiem (potok FIFO)); plik pozostawiono bez zmian\n"),
         [](const fs::path& d) { EXPECT_TRUE(fs::is_fifo(d / "app.ini")); }},
        {"DELINI of a section on a device",
         [](const fs::path&) {},
         {"/DELINI", "/FILE:/dev/null", "/SECTION:S"},
         4,
         crlf("Error: 4\n"),
         crlf("Blad: /dev/null nie jest zwyklym plikiem (urzadzenie)\n"),
         [](const fs::path&) { EXPECT_TRUE(fs::is_character_file("/dev/null")); }},
        {"SETKEY through a link to the registry file",
         [](const fs::path& d) {
             writeFile(d / "real.reg", kRegistry);
             fs::create_symlink("real.reg", d / "registry.reg");
         },
         kSetKey, 0, "", "",
         [](const fs::path& d) {
             EXPECT_TRUE(fs::is_symlink(d / "registry.reg"));
             EXPECT_EQ(readFile(d / "real.reg"), kRegistryChanged);
         }},
        {"SETKEY on a hard-linked registry file changes both names",
         [](const fs::path& d) {
             writeFile(d / "registry.reg", kRegistry);
             fs::create_hard_link(d / "registry.reg", d / "copy.reg");
         },
         kSetKey, 0, "", "",
         [](const fs::path& d) { EXPECT_EQ(readFile(d / "copy.reg"), kRegistryChanged); }},
        {"SETKEY with a FIFO for the registry file: the key did not open",
         [](const fs::path& d) { ::mkfifo((d / "registry.reg").c_str(), 0666); }, kSetKey, 3,
         crlf("Error: 3\n"),
         crlf("Blad: {dir}/registry.reg nie jest zwyklym plikiem (potok FIFO)\n"),
         [](const fs::path& d) { EXPECT_TRUE(fs::is_fifo(d / "registry.reg")); }},
        {"DELKEY with a folder for the registry file",
         [](const fs::path& d) { fs::create_directory(d / "registry.reg"); },
         {"/DELKEY", "/KEY:HKCU\\Firm"},
         2,
         crlf("Error: 2\n"),
         crlf("Blad: {dir}/registry.reg nie jest zwyklym plikiem (katalog)\n"),
         [](const fs::path& d) { EXPECT_TRUE(fs::is_directory(d / "registry.reg")); }},
        {"DELKEY of a missing key writes nothing",
         [](const fs::path& d) {
             writeFile(d / "registry.reg", kRegistry);
             markUnwritten(d / "registry.reg");
         },
         {"/DELKEY", "/KEY:HKCU\\None"},
         2,
         crlf("Error: 2\n"),
         "",
         [](const fs::path& d) { expectUnwritten(d / "registry.reg"); }},

        // As another user.
        {"SETINI on a group's shared file keeps its owner, group and mode",
         [](const fs::path& d) {
             setOwner(d, 0, kSharedGroup, 0775);
             writeFile(d / "app.ini", kIni);
             setOwner(d / "app.ini", 0, kSharedGroup, 0664);
         },
         kSetIni, 0, "", "",
         [](const fs::path& d) {
             EXPECT_EQ(readFile(d / "app.ini"), kIniChanged);
             const struct stat st = statOf(d / "app.ini");
             EXPECT_EQ(st.st_uid, 0u);
             EXPECT_EQ(st.st_gid, kSharedGroup);
             EXPECT_EQ(st.st_mode & 07777, 0664u);
         },
         true, "4343"},
        {"SETINI in a folder without the right to create files",
         [](const fs::path& d) {
             writeFile(d / "app.ini", kIni);
             setOwner(d / "app.ini", kUser, kUser, 0644);
         },
         kSetIni, 0, "", "",
         [](const fs::path& d) {
             EXPECT_EQ(readFile(d / "app.ini"), kIniChanged);
             EXPECT_EQ(statOf(d / "app.ini").st_uid, kUser);
         },
         true},
        {"SETINI in a file we may not write",
         [](const fs::path& d) { writeFile(d / "app.ini", kIni); }, kSetIni, 1,
         crlf("Blad: Unable to write to {dir}/app.ini ({dir}/app.ini: Permission denied)\n"), "",
         [](const fs::path& d) { EXPECT_EQ(readFile(d / "app.ini"), kIni); }, true},
        {"DELINI of an absent entry needs no right to write",
         [](const fs::path& d) {
             writeFile(d / "app.ini", kIni);
             markUnwritten(d / "app.ini");
         },
         {"/DELINI", "/FILE:app.ini", "/SECTION:S", "/NAME:absent"},
         0,
         "",
         "",
         [](const fs::path& d) { expectUnwritten(d / "app.ini"); },
         true},
        {"DELINI of an entry in a file we may not write succeeds and says so",
         [](const fs::path& d) { writeFile(d / "app.ini", kIni); },
         {"/DELINI", "/FILE:app.ini", "/SECTION:S", "/NAME:k"},
         0,
         "",
         crlf("Uwaga: nie mozna zmienic pliku {dir}/app.ini ({dir}/app.ini: Permission denied); "
              "plik pozostawiono bez zmian\n"),
         [](const fs::path& d) { EXPECT_EQ(readFile(d / "app.ini"), kIni); },
         true},
        {"DELINI of a section in a file we may not write",
         [](const fs::path& d) { writeFile(d / "app.ini", kIni); },
         {"/DELINI", "/FILE:app.ini", "/SECTION:S"},
         1,
         crlf("Blad: Unable to write to {dir}/app.ini ({dir}/app.ini: Permission denied)\n"),
         "",
         [](const fs::path& d) { EXPECT_EQ(readFile(d / "app.ini"), kIni); },
         true},
        {"DELKEY of a missing key in a registry file we may not write",
         [](const fs::path& d) { writeFile(d / "registry.reg", kRegistry); },
         {"/DELKEY", "/KEY:HKCU\\None"},
         2,
         crlf("Error: 2\n"),
         "",
         {},
         true},
        {"SETKEY of a value already set needs no right to write",
         [](const fs::path& d) { writeFile(d / "registry.reg", kRegistryChanged); },
         kSetKey,
         0,
         "",
         "",
         {},
         true},
        {"SETKEY in a registry file we may not write: the key did not open",
         [](const fs::path& d) { writeFile(d / "registry.reg", kRegistry); }, kSetKey, 3,
         crlf("Error: 3\n"), crlf("Blad: {dir}/registry.reg: Permission denied\n"),
         [](const fs::path& d) { EXPECT_EQ(readFile(d / "registry.reg"), kRegistry); }, true},
        {"DELKEY in a group's shared registry file keeps its owner and group",
         [](const fs::path& d) {
             setOwner(d, 0, kSharedGroup, 0775);
             writeFile(d / "registry.reg", kRegistry);
             setOwner(d / "registry.reg", 0, kSharedGroup, 0664);
         },
         {"/DELKEY", "/KEY:HKCU\\Firm"},
         0,
         "",
         "",
         [](const fs::path& d) {
             EXPECT_EQ(readFile(d / "registry.reg"), crlf(kHeader));
             EXPECT_EQ(statOf(d / "registry.reg").st_uid, 0u);
             EXPECT_EQ(statOf(d / "registry.reg").st_gid, kSharedGroup);
         },
         true,
         "4343"},
    };
    return table;
}

TEST_F(UpkeepProgram, WhatEditsDoToTheirFiles) {
    const bool root = ::geteuid() == 0 && ::access(kSetpriv, X_OK) == 0;
    if (!root) std::cerr << "[ SKIPPED  ] the cases as another user need root and setpriv\n";
    // Others may enter the test's folder.
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    for (const FileCase& c : fileCases()) {
        if (c.asUser && !root) continue;
        SCOPED_TRACE(c.title);
        for (const auto& entry : fs::directory_iterator(folder))
            fs::remove_all(entry.path());
        setOwner(folder, 0, 0, 0755);
        c.prepare(folder);
        std::vector<std::string> runAs;
        if (c.asUser) {
            runAs = {kSetpriv, "--reuid=" + std::to_string(kUser),
                     "--regid=" + std::to_string(kUser),
                     c.groups.empty() ? "--clear-groups" : "--groups=" + c.groups};
        }
        const auto result = runProgram(c.arguments, folder, runAs);
        EXPECT_EQ(result.exitCode, c.exitCode);
        expectPrinted(result, c.output, c.errors, folder);
        if (c.check) c.check(folder);
        expectNoTemporaryFiles(folder);
    }
}

// Names in Windows-1250 files compare without regard to the case of Polish
// letters, and what is written goes in the file's own code page.
TEST_F(UpkeepProgram, WindowsCodePageFileFindsPolishNamesInAnyCase) {
    writeFile(folder / "app.ini", "[\xA3\xD3"
                                  "D\x8F]\r\nNAZWA=1\r\n"); // [ŁÓDŹ] in Windows-1250
    const auto result = runProgram(
        {"/SETINI", "/FILE:app.ini", "/SECTION:łódź", "/NAME:nazwa", "/VALUE:żółw"}, folder);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(readFile(folder / "app.ini"), "[\xA3\xD3"
                                            "D\x8F]\r\nNAZWA=\xBF\xF3\xB3w\r\n");
    EXPECT_EQ(
        runProgram({"/SETINI", "/FILE:app.ini", "/SECTION:łódź", "/NAME:x", "/VALUE:ё"}, folder)
            .exitCode,
        1)
        << "a letter the code page cannot hold is refused";
}

// Staging files of a process that ended are removed by the next run that
// edits a file in that folder; those of a living process and anything else
// stay.
TEST_F(UpkeepProgram, NextRunRemovesStagingFilesOfEndedRuns) {
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string dead = std::to_string(ended);
    const std::string living = std::to_string(::getpid());
    writeFile(folder / ("app.ini~" + dead + "-0.upkeeptmp"), "left over");
    writeFile(folder / ("registry.reg~" + dead + "-3.upkeeptmp"), "left over");
    writeFile(folder / ("app.ini~" + living + "-0.upkeeptmp"), "in use");
    writeFile(folder / "notes.upkeeptmp", "someone's");
    ASSERT_EQ(runProgram(kSetIni, folder).exitCode, 0);
    EXPECT_FALSE(fs::exists(folder / ("app.ini~" + dead + "-0.upkeeptmp")));
    EXPECT_FALSE(fs::exists(folder / ("registry.reg~" + dead + "-3.upkeeptmp")));
    EXPECT_TRUE(fs::exists(folder / ("app.ini~" + living + "-0.upkeeptmp")));
    EXPECT_TRUE(fs::exists(folder / "notes.upkeeptmp"));
}

bool hasStagingFile(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().ends_with(".upkeeptmp")) return true;
    }
    return false;
}

// Kills runs while they edit a large registry file and a large INI file, at
// random moments and in the middle of their writes: once the next run has
// finished, no staging file is left and each file is whole, with the next
// run's change in it.
TEST_F(UpkeepProgram, KilledRunsLeaveNothingOnceTheNextRunHasFinished) {
    std::string registryText = kHeader;
    std::string iniText = "[S]\n";
    for (int i = 0; i < 4000; ++i) {
        registryText += "[HKEY_CURRENT_USER\\Big\\K" + std::to_string(i) + "]\n\"v\"=\"x\"\n\n";
        iniText += "entry" + std::to_string(i) + "=value\n";
    }
    writeFile(registry, crlf(registryText));
    writeFile(folder / "big.ini", iniText);
    const int devNull = ::open("/dev/null", O_WRONLY);
    std::mt19937 random(2024);
    int killsDuringWrites = 0;
    for (int attempt = 0; attempt < 6; ++attempt) {
        SCOPED_TRACE(attempt);
        const auto n = std::to_string(attempt);
        const std::vector<std::string> setKey = {"/SETKEY", "/KEY:HKCU\\Big\\K1", "/NAME:a" + n,
                                                 "/VALUE:" + n};
        const std::vector<std::string> setIni = {"/SETINI", "/FILE:big.ini", "/SECTION:S",
                                                 "/NAME:a" + n, "/VALUE:" + n};
        for (const auto* arguments : {&setKey, &setIni}) {
            const pid_t pid = startProgram(*arguments, folder, devNull, devNull);
            bool ended = false;
            if (attempt % 2 == 0) {
                ::usleep(std::uniform_int_distribution<unsigned>(0, 100000)(random));
            } else {
                // In the middle of the write: as soon as the staging file is there.
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (!ended && !hasStagingFile(folder) &&
                       std::chrono::steady_clock::now() < deadline) {
                    ended = ::waitpid(pid, nullptr, WNOHANG) == pid;
                    ::usleep(100);
                }
            }
            if (!ended) {
                ::kill(pid, SIGKILL);
                waitForExit(pid);
            }
            if (hasStagingFile(folder)) ++killsDuringWrites;
        }
        // The next runs.
        ASSERT_EQ(
            runProgram({"/SETKEY", "/KEY:HKCU\\Big\\K2", "/NAME:b" + n, "/VALUE:" + n}, folder)
                .exitCode,
            0);
        ASSERT_EQ(
            runProgram({"/SETINI", "/FILE:big.ini", "/SECTION:S", "/NAME:b" + n, "/VALUE:" + n},
                       folder)
                .exitCode,
            0);
        expectNoTemporaryFiles(folder);
        auto parsed = RegistryDocument::parse(readFile(registry));
        ASSERT_TRUE(std::holds_alternative<RegistryDocument>(parsed));
        RegistryKeyNode* key =
            std::get<RegistryDocument>(parsed).find(RegistryRoot::CurrentUser, {"Big", "K2"});
        ASSERT_NE(key, nullptr);
        EXPECT_NE(key->findValue("b" + n), nullptr);
        const std::string ini = readFile(folder / "big.ini");
        EXPECT_TRUE(ini.starts_with("[S]\nentry0=value\n"));
        EXPECT_NE(ini.find("\nb" + n + "=" + n + "\n"), std::string::npos);
    }
    ::close(devNull);
    EXPECT_GT(killsDuringWrites, 0) << "no kill came during a write";
}

} // namespace
} // namespace upkeep
