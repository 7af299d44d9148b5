// SPDX-License-Identifier: MIT
// One run of the tool: read the command line, perform its one operation and
// give back what to print and the exit code.
#pragma once

#include <span>
#include <string>

namespace upkeep {

struct RunResult {
    std::string output; // bytes for standard output, lines ending in CR LF
    std::string errors; // bytes for standard error: why a file or key was not changed
    int exitCode = 0;   // 0 to 65535
};

// Exit codes of failed operations.
inline constexpr int kExitRejected = 1; // bad command line, or a failure of the system below
inline constexpr int kExitDelKeyFailed = 2;
inline constexpr int kExitSetKeyFailed = 3;
// The INI file named is a folder, a FIFO or a device (DELINI with NAME:
// still succeeds).
inline constexpr int kExitDelIniFailed = 4;
inline constexpr int kExitSetIniFailed = 5;
inline constexpr int kExitBackupFailed = 6;

[[nodiscard]] RunResult runUpkeep(std::span<const std::string> arguments);

} // namespace upkeep
