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
    // The INI values without blanks and quotes around them, checked at start-up.
    std::string NrInstalacji;
    std::string KodSwiadcz;
    std::string KodOddzialuNFZ;
    std::string KodWojew;   // two characters when the INI gives one
    std::string ProgramDir; // folder of the program file, with trailing delimiter
    int ExportDocVersion = 4;
    int ExportDocVariant = 1;
};

} // namespace xls2qdp
