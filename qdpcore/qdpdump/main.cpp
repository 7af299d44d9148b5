// SPDX-License-Identifier: MIT
// qdpdump: shows what a QDP package file holds (see Dump.h).
#include "Dump.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qdpdump::runDump(args, std::cout, std::cerr);
}
