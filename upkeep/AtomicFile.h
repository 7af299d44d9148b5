// SPDX-License-Identifier: MIT
// Whole-file reads and crash-safe replacement of a file's contents: the new
// contents go to a new file beside the old one, are flushed to disk and then
// renamed over it, so a crash at any moment leaves either the old file whole or
// the new one. Callers serialise writers with FileLock.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace upkeep {

// The file's bytes, or nullopt when it does not exist. Throws SystemFailure
// when it exists but cannot be read.
[[nodiscard]] std::optional<std::string> readFileIfExists(const std::string& path);

// Replaces (or creates) the file. The new file keeps the old one's permission
// bits and, where allowed, its owner; a new file gets 0666 less the umask.
// Throws SystemFailure; on failure the old file is untouched.
void replaceFileContents(const std::string& path, std::string_view contents);

// The file a path finally names when it is a symbolic link to an existing
// file, so that replacing the file keeps the link; otherwise the path itself.
[[nodiscard]] std::string followLinks(const std::string& path);

} // namespace upkeep
