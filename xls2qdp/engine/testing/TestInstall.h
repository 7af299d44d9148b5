// SPDX-License-Identifier: MIT
// A throw-away install folder for end-to-end tests: the dictionaries the
// build made (linked), an empty working table of its own (so that tests may
// run side by side), an INI file, and a folder for the packages.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace xls2qdp::testing {

// The tests are built into the folder of the programs and data files.
inline std::filesystem::path buildBinDir() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

inline std::filesystem::path sourceDir() {
    const char* source = std::getenv("QDP_SOURCE_DIR");
    return source ? source : ".";
}

// Standard output of a command, and its exit status.
struct CommandResult {
    int status = -1;
    std::string output;
};

inline CommandResult runCommand(const std::string& command) {
    CommandResult result;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t read;
        while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            result.output.append(buffer, read);
        const int status = ::pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

inline std::string quoted(const std::filesystem::path& path) {
    std::string text = "'";
    for (char c : path.string())
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

class TestInstall {
public:
    static constexpr const char* kIni = "[SYSTEM]\r\nNrInstalacji=77\r\nKodSwiadcz=000000012345\r\n"
                                        "KodOddzialuNFZ=06\r\nKodWojew=12\r\n";

    explicit TestInstall(const std::string& name) {
        namespace fs = std::filesystem;
        root = fs::temp_directory_path() / ("xls2qdp-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(root);
        programDir = root / "program";
        outDir = root / "out";
        fs::create_directories(programDir);
        fs::create_directories(outDir);
        for (const char* file : {"sl_gminy.db", "sl_miejscowosci.db"})
            fs::create_symlink(buildBinDir() / file, programDir / file);
        fs::copy_file(buildBinDir() / "xls_imp.db", programDir / "xls_imp.db");
        writeIni(kIni);
    }
    ~TestInstall() { std::filesystem::remove_all(root); }
    TestInstall(const TestInstall&) = delete;
    TestInstall& operator=(const TestInstall&) = delete;

    std::filesystem::path iniFile() const { return programDir / "xls2qdp.INI"; }
    void writeIni(const std::string& text) const {
        std::ofstream(iniFile(), std::ios::binary) << text;
    }

    std::filesystem::path root, programDir, outDir;
};

} // namespace xls2qdp::testing
