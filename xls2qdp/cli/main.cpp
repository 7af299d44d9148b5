// SPDX-License-Identifier: MIT
// xls2qdp-cli: the importer without a display. See CliOptions.h for the
// command line and CliApp.h for the exit codes.
#include "CliApp.h"
#include "common/PrivateFiles.h"
#include "common/ProgramLocations.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {
std::atomic<bool> interruptedBySignal{false};
extern "C" void onInterrupt(int) {
    interruptedBySignal = true;
}
} // namespace

int main(int argc, char* argv[]) {
    xls2qdp::keepNewFilesPrivate(); // packages, reports and the working table hold patients' data
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const xls2qdp::cli::CliEnvironment environment{
        xls2qdp::runningProgramDir(),
        std::cout,
        std::cerr,
        std::cin,
        ::isatty(STDERR_FILENO) == 1,
        ::isatty(STDIN_FILENO) == 1,
        &interruptedBySignal,
    };
    return xls2qdp::cli::runCli(arguments, environment);
}
