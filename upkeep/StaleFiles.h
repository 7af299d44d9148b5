// SPDX-License-Identifier: MIT
// Staging files that a killed run left beside the files it edited: nothing
// else would ever remove them, so each run removes those in the folder of the
// file it edits.
#pragma once

#include <string>

namespace upkeep {

// Removes from folder every file with a staging file's name (see
// FileReplacement.h) whose process no longer exists, that is a regular file
// owned by this process's user and that no process holds locked. Errors are
// ignored: a file that cannot be judged is left alone.
void removeStaleTempFiles(const std::string& folder);

} // namespace upkeep
