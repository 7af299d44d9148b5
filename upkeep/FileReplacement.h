// SPDX-License-Identifier: MIT
// Replacing the whole content of an INI or registry file so that no change
// ever destroys a file, a link or an owner:
//  - the path is the file itself (LockedFile.h follows the links and makes
//    sure it is a regular file), so a link stays a link;
//  - the file must be writable by us; otherwise nothing is touched;
//  - a file with one link, in a folder where we may create files, whose mode,
//    owner and group a new file can keep, is replaced by renaming a complete
//    new file (flushed to the disk) over it, so a crash at any moment leaves
//    the old file whole or the new one;
//  - anything else (a file with several links, a folder where we may not
//    create files, an owner or group we cannot give a new file) is written
//    in place: the new content is first written and checked in a staging
//    file (beside the file when we may create files there, else in the
//    system's temporary folder), then copied into the file, which has room
//    reserved for it first and is cut to the new length only after it is
//    written; nothing is truncated before the new content is complete;
//  - the staging file is named "<file name>~<process id>-<n>.upkeeptmp",
//    never takes an existing name, is locked while it lives (StaleFiles.h)
//    and is removed on every path.
#pragma once

#include <string>
#include <string_view>

namespace upkeep {

// Throws SystemFailure with the reason; the file then keeps its content.
void replaceFileContents(const std::string& path, std::string_view contents);

// The name of the n-th staging file for fileName (without folder).
[[nodiscard]] std::string stagingName(std::string_view fileName, unsigned n);

// The process id in a staging file's name; 0 for any other name.
[[nodiscard]] long stagingNameProcess(std::string_view name);

} // namespace upkeep
