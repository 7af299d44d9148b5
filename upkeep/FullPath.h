// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace upkeep {

// The file name made absolute against the current folder, with "." and ".."
// folded away, as the system's full-path function does.
[[nodiscard]] std::string fullPathName(const std::string& file);

} // namespace upkeep
