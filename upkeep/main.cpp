// SPDX-License-Identifier: MIT
// upkeep: registry, INI, backup and errorlevel operations for installation
// scripts. One operation per run; the result is the exit code.
#include "UpkeepRun.h"

#include <cstdio>
#include <string>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto result = upkeep::runUpkeep(arguments);
#ifdef _WIN32
    // The texts carry their own CR LF; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::fwrite(result.output.data(), 1, result.output.size(), stdout);
    std::fflush(stdout);
    std::fwrite(result.errors.data(), 1, result.errors.size(), stderr);
    std::fflush(stderr);
    return result.exitCode;
}
