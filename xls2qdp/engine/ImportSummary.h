// SPDX-License-Identifier: MIT
// The summary of one import run, as plain data that every front end can
// show as it likes: the command line prints lines() on stderr, the desktop
// program can fill a list from the fields.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace xls2qdp {

// How many remarks of one kind the run's import report holds.
struct RemarkCount {
    std::string description; // Polish, e.g. "błędne numery PESEL"
    std::size_t count = 0;
};

struct ImportSummary {
    std::string sheetName;            // the worksheet read ("" when it has no name)
    int sheetNumber = 0;              // 1 for the first worksheet
    int declarations = 0;             // declarations written to the package
    int lastDataRow = 0;              // the last sheet row read as data (6 when none)
    int rowsSkipped = 0;              // data rows that were no declaration
    std::vector<RemarkCount> remarks; // the import report by kind, in the report's order
    std::size_t remarkTotal = 0;
    // Things the user should look at although the run went on, one Polish
    // sentence each: another worksheet read, a blank row with filled rows
    // below it, a column layout that looks shifted.
    std::vector<std::string> warnings;

    // The summary as text lines, the warnings last, each beginning "UWAGA: ".
    std::vector<std::string> lines() const;
};

} // namespace xls2qdp
