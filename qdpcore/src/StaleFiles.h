// SPDX-License-Identifier: MIT
// Temporary files that a killed process left behind. A process that ends
// normally removes its own; one that is killed cannot, and nothing else
// would ever remove them, so each later run removes the left-overs in the
// folders it works in.
#pragma once

#include <string>

namespace qdp {

// Removes from folder (a prefix as SetOutPathC takes it, or a folder path;
// "" is the current directory) every file that
//  - has a name the library makes for its temporary files (TempNames.h),
//  - is a regular file owned by this process's user,
//  - names a process that no longer exists (for a section's file, no
//    process exists whose id ends in those five digits), and
//  - is not locked, that is in use by no process (every process keeps its
//    temporary files locked while they live).
// Errors are ignored: a file that cannot be judged is left alone.
void removeStaleTempFiles(const std::string& folder);

} // namespace qdp
