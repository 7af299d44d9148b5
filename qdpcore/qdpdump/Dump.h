// SPDX-License-Identifier: MIT
// The qdpdump tool as a function, so that it runs the same from main and
// from the tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qdpdump {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;   // wrong arguments
inline constexpr int kExitPackage = 2; // the package file (or its cipher) failed

// args: the command line without the program name. The package goes to
// out, error lines and the help text to err (the help to out when asked
// for). Returns the exit code.
int runDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qdpdump
