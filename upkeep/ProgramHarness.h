// SPDX-License-Identifier: MIT
// Runs the real upkeep program for the tests: arguments in, standard output
// and error bytes and exit code out. Every test works in its own temporary
// folder with its own registry file (UPKEEP_REGISTRY), never in the user's
// configuration.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace upkeep::testing_harness {

namespace fs = std::filesystem;

struct ProgramResult {
    std::string output;
    std::string errors;
    int exitCode = -1;
};

// Starts the program without waiting for it; its standard output goes to
// `outFd`, its standard error to `errFd` (-1: as the test's). `runAs`, when
// given, is a command that runs the program as another user.
inline pid_t startProgram(const std::vector<std::string>& arguments, const fs::path& folder,
                          int outFd, int errFd = -1, const std::vector<std::string>& runAs = {}) {
    std::vector<std::string> argv = runAs;
    argv.push_back(UPKEEP_PROGRAM);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (auto& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    if (errFd >= 0) posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = -1;
    const int error =
        posix_spawn(&pid, argv.front().c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

inline int waitForExit(pid_t pid) {
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

inline std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    close(fd);
    return text;
}

inline ProgramResult runProgram(const std::vector<std::string>& arguments, const fs::path& folder,
                                const std::vector<std::string>& runAs = {}) {
    int out[2];
    int err[2];
    if (pipe(out) != 0) return {};
    if (pipe(err) != 0) return {};
    const pid_t pid = startProgram(arguments, folder, out[1], err[1], runAs);
    close(out[1]);
    close(err[1]);
    ProgramResult result;
    // The program's messages are short: each fits its pipe.
    result.output = readAll(out[0]);
    result.errors = readAll(err[0]);
    result.exitCode = waitForExit(pid);
    return result;
}

// Names the tool must never leave behind: staging and lock files.
inline void expectNoTemporaryFiles(const fs::path& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const auto name = entry.path().filename().string();
        EXPECT_FALSE(name.ends_with(".lock")) << name;
        EXPECT_FALSE(name.ends_with(".upkeeptmp")) << name;
    }
}

inline std::string crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const fs::path& path, std::string_view contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

inline void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// Compares what the program printed with what was expected, "{dir}"
// standing for the folder in both texts.
inline void expectPrinted(const ProgramResult& result, std::string output, std::string errors,
                          const fs::path& folder) {
    replaceAll(output, "{dir}", folder.string());
    replaceAll(errors, "{dir}", folder.string());
    EXPECT_EQ(result.output, output);
    EXPECT_EQ(result.errors, errors);
}

class UpkeepProgram : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "upkeep-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        // Resolved, as the tool resolves links in the paths it reports.
        folder = fs::canonical(pattern);
        registry = folder / "registry.reg";
        setenv("UPKEEP_REGISTRY", registry.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    fs::path folder;
    fs::path registry;
};

inline const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

} // namespace upkeep::testing_harness
