// SPDX-License-Identifier: MIT
#include "IniProfile.h"
#include "SystemFailure.h"

#include <windows.h>

namespace upkeep {

void writeProfileString(const std::string& file, const std::string& section,
                        const std::optional<std::string>& entry,
                        const std::optional<std::string>& value) {
    if (!WritePrivateProfileStringA(section.c_str(), entry ? entry->c_str() : nullptr,
                                    value ? value->c_str() : nullptr, file.c_str())) {
        throw SystemFailure("kod bledu systemu " + std::to_string(GetLastError()));
    }
}

} // namespace upkeep
