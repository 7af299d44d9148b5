// SPDX-License-Identifier: MIT
// The importer's program-wide settings: read once from the INI file at
// start-up and read-only afterwards.
#pragma once

#include <string>
#include <string_view>

namespace xls2qdp {

// The program's own date format; every date-to-text conversion of the
// importer uses it. No system or user setting is touched for it.
inline constexpr std::string_view kProgramDateFormat = "dd-mm-yyyy";
inline constexpr char kProgramDateSeparator = '-';

struct GlobalVar {
    std::string NrInstalacji;   // as read
    std::string KodSwiadcz;     // as read
    std::string KodOddzialuNFZ; // as read
    std::string KodWojew;       // trimmed, two characters when the INI gives one
    std::string ProgramDir;     // folder of the program file, with trailing delimiter
    int ExportDocVersion = 4;
    int ExportDocVariant = 1;
};

} // namespace xls2qdp
