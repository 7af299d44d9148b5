// SPDX-License-Identifier: MIT
// Small files made to cost a reader endless time or memory: one huge token
// in each place a reader meets one (cell text, shared string, attribute,
// comment, CDATA, field), huge repeats, strings cut into many CONTINUE
// records, indexes out of range, and things that are no files at all. The
// reader tests read each and expect its outcome; bench/hostile_workbooks.sh
// measures the time and memory each takes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace xls2qdp::test {

struct HostileCase {
    std::string name;
    std::filesystem::path file;
    // What reading it to the end gives: the reason of the WorkbookError it
    // ends with (a part of it), or "" when it reads to the end.
    std::string failure;
    bool textCut = false;       // some cell comes cut to 32,767 characters
    bool missingString = false; // some cell refers to a shared string the file lacks
    long long rows = -1;        // rows handed out, when it matters
};

// Writes the cases into folder; tokenBytes is the size of each huge token.
std::vector<HostileCase> makeHostileWorkbooks(const std::filesystem::path& folder,
                                              std::size_t tokenBytes);

} // namespace xls2qdp::test
