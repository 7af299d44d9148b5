// SPDX-License-Identifier: MIT
#include "ProgramLocations.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <system_error>

namespace xls2qdp {

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgramBaseName = "xls2qdp";

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

fs::path userFolder(const char* variable, const char* fallbackBelowHome) {
    if (const char* value = std::getenv(variable); value && *value && fs::path(value).is_absolute())
        return value;
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / fallbackBelowHome;
}

// The program's path with its extension replaced by ".INI"; a lower-case
// ".ini" is accepted too where names are case-sensitive.
fs::path iniFileIn(const fs::path& folder) {
    const fs::path upper = folder / (std::string(kProgramBaseName) + ".INI");
    const fs::path lower = folder / (std::string(kProgramBaseName) + ".ini");
    if (!isFile(upper) && isFile(lower)) return lower;
    return upper;
}

} // namespace

fs::path runningProgramDir() {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    return fs::path(buffer).parent_path();
#else
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : self.parent_path();
#endif
}

ProgramLocations findProgramLocations(const fs::path& programDir, const fs::path& iniOverride) {
    ProgramLocations locations;
    locations.programDir = programDir;

    const fs::path besideProgram = iniFileIn(programDir);
    const bool portable = isFile(besideProgram) || isFile(programDir / kCommuneDictionaryFile);
#ifdef _WIN32
    const bool installed = false; // the Windows program always keeps its files beside it
#else
    const bool installed = !portable;
#endif

    if (!iniOverride.empty())
        locations.iniFile = iniOverride;
    else if (installed)
        locations.iniFile = iniFileIn(userFolder("XDG_CONFIG_HOME", ".config") / kProgramBaseName);
    else
        locations.iniFile = besideProgram;

    if (isFile(programDir / kCommuneDictionaryFile) || !installed) {
        locations.dictionaryDir = programDir;
    } else {
#ifdef XLS2QDP_DATA_DIR_FROM_BIN
        locations.dictionaryDir = (programDir / XLS2QDP_DATA_DIR_FROM_BIN).lexically_normal();
#else
        locations.dictionaryDir = programDir;
#endif
    }

    locations.sampleIniFile = locations.dictionaryDir / kSampleIniFile;

    if (isFile(programDir / kWorkingTableFile) || !installed)
        locations.workingTableDir = programDir;
    else
        locations.workingTableDir = userFolder("XDG_DATA_HOME", ".local/share") / kProgramBaseName;
    return locations;
}

} // namespace xls2qdp
