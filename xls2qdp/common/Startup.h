// SPDX-License-Identifier: MIT
// What the importer does before its main window works: reads and checks the
// INI settings and registers its version information. Shared by the desktop
// program and the command line.
#pragma once

#include "GlobalVar.h"
#include "HQTInfo.h"
#include "HQTVersion.h"
#include "common/MessageSink.h"

#include <filesystem>

namespace xls2qdp {

inline constexpr std::string_view kProgramName = "Import danych z XLS";
inline constexpr std::string_view kProductFamilyName = "Pakiet QDP";
inline constexpr std::string_view kSystemCode = "KW";
inline constexpr double kSystemVersion = 2.02;
inline constexpr double kSystemBuild = 3;
inline constexpr double kNoLocalVersion = -1;
inline constexpr std::string_view kModuleCode = "KW_XLSIMP";
inline constexpr double kModuleVersion = 1.0101;

struct StartupResult {
    GlobalVar settings;
    THQTInfo info;
    THQTVersion version;
    // Set after any failed check: the program shows its messages and ends.
    bool terminate = false;
};

// Reads the settings (SettingsChecks.h) and registers the version records.
// Every check runs in order and shows its failure on messages, going on with
// the next one, so that the user sees every problem at once. A missing INI
// file gives one message naming the file looked for and, when it exists,
// sampleIniFile, the sample of the settings.
StartupResult runStartup(const std::filesystem::path& iniFile,
                         const std::filesystem::path& programDir, MessageSink& messages,
                         const std::filesystem::path& sampleIniFile = {});

// KodWojew as the program uses it: trimmed, a single character gets a leading "0".
std::string normalizeKodWojew(std::string_view value);

// "v." + system version text + "." + module version text, e.g. "v.2.02.1.0101".
std::string versionLabelText(const THQTVersion& version);

} // namespace xls2qdp
