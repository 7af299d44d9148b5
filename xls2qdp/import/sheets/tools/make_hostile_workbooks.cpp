// SPDX-License-Identifier: MIT
// Writes the hostile workbooks of HostileWorkbooks.h into a folder and lists
// them, one per line: file, a tab, the case's name. For
// bench/hostile_workbooks.sh:  make_hostile_workbooks FOLDER [TOKEN_MB]
#include "import/sheets/testing/HostileWorkbooks.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fputs("usage: make_hostile_workbooks FOLDER [TOKEN_MB]\n", stderr);
        return 2;
    }
    try {
        const std::size_t megabytes = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 64;
        for (const auto& c : xls2qdp::test::makeHostileWorkbooks(argv[1], megabytes << 20))
            std::printf("%s\t%s\n", c.file.c_str(), c.name.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_hostile_workbooks: %s\n", e.what());
        return 1;
    }
    return 0;
}
