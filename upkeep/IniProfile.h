// SPDX-License-Identifier: MIT
// Writing INI files with the semantics of the Windows profile-string
// functions (see applyProfileWrite): on Windows through the system's own
// functions; elsewhere by our own code, which creates a missing file only to
// write an entry, and replaces the file as a whole under a lock (see
// AtomicFile.h, FileLock.h) so that concurrent runs all keep their changes.
#pragma once

#include <optional>
#include <string>

namespace upkeep {

// Throws SystemFailure with the reason when the file cannot be read or written.
void writeProfileString(const std::string& file, const std::string& section,
                        const std::optional<std::string>& entry,
                        const std::optional<std::string>& value);

} // namespace upkeep
