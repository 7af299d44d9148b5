// SPDX-License-Identifier: MIT
// The command line of xls2qdp-cli:
//   xls2qdp-cli import WORKBOOK [--target DIR] [--ini FILE] [--report FILE.csv] [--yes]
//   xls2qdp-cli --help | --version
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace xls2qdp::cli {

struct CliOptions {
    enum class Command { Import, Help, Version };
    Command command = Command::Help;
    std::string workbook;
    std::string target; // empty: the workbook's folder
    std::string ini;    // empty: found as the desktop program finds it
    std::string report; // empty: no report file
    bool yes = false;   // answer Yes to the missing-city-dictionary question
};

// The options, or nullopt with a Polish explanation in error.
std::optional<CliOptions> parseCliOptions(const std::vector<std::string>& arguments,
                                          std::string& error);

extern const char* const kUsageText;

} // namespace xls2qdp::cli
