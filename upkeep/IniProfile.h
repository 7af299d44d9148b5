// SPDX-License-Identifier: MIT
// Writing INI files with the semantics of the Windows profile-string
// functions (see applyProfileWrite): on Windows through the system's own
// functions; elsewhere by our own code, which creates a missing file only to
// write an entry, edits the file under a lock on the file itself (see
// LockedFile.h) so that concurrent runs all keep their changes, writes
// nothing when nothing changes, and replaces the content by the rules of
// FileReplacement.h.
#pragma once

#include "SystemFailure.h"

#include <optional>
#include <string>

namespace upkeep {

// A line break would smuggle further lines, even sections, into the file:
// such a section, entry or value is refused with SystemFailure.
inline void refuseLineBreaks(const std::string& section, const std::optional<std::string>& entry,
                             const std::optional<std::string>& value) {
    const auto breaks = [](const std::string& text) {
        return text.find_first_of("\r\n") != std::string::npos;
    };
    if (breaks(section) || (entry && breaks(*entry)) || (value && breaks(*value))) {
        throw SystemFailure("znak konca wiersza w nazwie lub wartosci");
    }
}

// Throws NotRegularFile for a folder, FIFO or device (never waiting on one),
// and SystemFailure with the reason when the file cannot be read or written.
void writeProfileString(const std::string& file, const std::string& section,
                        const std::optional<std::string>& entry,
                        const std::optional<std::string>& value);

} // namespace upkeep
