// SPDX-License-Identifier: MIT
#include "IniProfile.h"
#include "SystemFailure.h"

#include <windows.h>

namespace upkeep {

void writeProfileString(const std::string& file, const std::string& section,
                        const std::optional<std::string>& entry,
                        const std::optional<std::string>& value) {
    refuseLineBreaks(section, entry, value);
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw NotRegularFile(file + " nie jest zwyklym plikiem (katalog)");
    }
    // Deleting from a missing file changes nothing and makes no file.
    if (attributes == INVALID_FILE_ATTRIBUTES && !(entry && value)) return;
    if (!WritePrivateProfileStringA(section.c_str(), entry ? entry->c_str() : nullptr,
                                    value ? value->c_str() : nullptr, file.c_str())) {
        throw SystemFailure("kod bledu systemu " + std::to_string(GetLastError()));
    }
}

} // namespace upkeep
