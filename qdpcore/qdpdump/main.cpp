// SPDX-License-Identifier: MIT
// qdpdump: shows what a QDP package file holds (see Dump.h).
#include "Dump.h"

#include <iostream>
#include <string>
#include <vector>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#if defined(_WIN32)
    // The same bytes on every system: text, JSON and CSV keep their own line
    // ends instead of the console's text mode adding CRs.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qdpdump::runDump(args, std::cout, std::cerr);
}
