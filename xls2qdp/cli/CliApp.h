// SPDX-License-Identifier: MIT
// The command-line importer as a function, so that tests run it in-process
// with their own streams and install folder.
#pragma once

#include <atomic>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace xls2qdp::cli {

// Exit codes of xls2qdp-cli.
enum ExitCode : int {
    kExitSuccess = 0,
    kExitBadArgumentsOrSettings = 1, // arguments, INI settings, data files of the install
    kExitInputProblem = 2,           // the workbook or the target folder
    kExitNotWritten = 3,             // the package (or the requested report) was not written
    kExitInterrupted = 4,            // stopped by the user (Ctrl+C)
};

struct CliEnvironment {
    std::filesystem::path programDir; // where the program is installed
    std::ostream& out;                // the new package's path
    std::ostream& err;                // messages and progress
    std::istream& in;                 // answers to questions
    bool errIsTerminal = false;       // progress as a bar rather than lines
    bool inIsTerminal = false;        // questions may be asked
    const std::atomic<bool>* interrupted = nullptr;
};

int runCli(const std::vector<std::string>& arguments, const CliEnvironment& environment);

} // namespace xls2qdp::cli
