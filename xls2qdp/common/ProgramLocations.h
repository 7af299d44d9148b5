// SPDX-License-Identifier: MIT
// Where the importer finds its files, and their names. A folder holding the
// program together with its settings or dictionaries is a portable install
// and keeps everything there; otherwise the settings live in the user's
// configuration folder, the dictionaries in the installed data folder and the
// working table in the user's data folder.
#pragma once

#include <filesystem>

namespace xls2qdp {

inline constexpr const char* kWorkingTableFile = "xls_imp.db";
inline constexpr const char* kCommuneDictionaryFile = "sl_gminy.db";
inline constexpr const char* kCityDictionaryFile = "sl_miejscowosci.db";
// The sample of the settings, shipped beside the dictionaries.
inline constexpr const char* kSampleIniFile = "xls2qdp.INI.sample";

struct ProgramLocations {
    std::filesystem::path programDir;      // folder of the running program
    std::filesystem::path iniFile;         // the importer's settings
    std::filesystem::path dictionaryDir;   // sl_gminy.db and sl_miejscowosci.db
    std::filesystem::path workingTableDir; // xls_imp.db
    std::filesystem::path sampleIniFile;   // the sample of the settings
};

// Folder of the running program file.
std::filesystem::path runningProgramDir();

// Resolves the locations for the desktop program's name ("xls2qdp"); the
// command line shares them. iniOverride, when not empty, replaces the INI file.
ProgramLocations findProgramLocations(const std::filesystem::path& programDir,
                                      const std::filesystem::path& iniOverride = {});

} // namespace xls2qdp
