// SPDX-License-Identifier: MIT
#include "IniDocument.h"
#include "IniProfile.h"
#include "LockedFile.h"
#include "SystemFailure.h"

namespace upkeep {

void writeProfileString(const std::string& file, const std::string& section,
                        const std::optional<std::string>& entry,
                        const std::optional<std::string>& value) {
    refuseLineBreaks(section, entry, value);
    // Deleting from a missing file changes nothing and makes no file (its
    // folder may not even exist).
    const bool deletes = !(entry && value);
    LockedFile locked(file, deletes ? LockedFile::IfMissing::Skip : LockedFile::IfMissing::Create);
    if (!locked.exists()) return;
    const std::string& old = locked.contents();
    if (old.starts_with("\xFF\xFE") || old.starts_with("\xFE\xFF")) {
        throw SystemFailure("plik zapisany w UTF-16 nie jest obslugiwany");
    }
    const auto newText = applyProfileWrite(
        old, section, entry ? std::optional<std::string_view>(*entry) : std::nullopt,
        value ? std::optional<std::string_view>(*value) : std::nullopt);
    // A run that changes nothing writes nothing and needs no write right.
    if (newText != old) locked.replace(newText);
}

} // namespace upkeep
