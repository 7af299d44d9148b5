// SPDX-License-Identifier: MIT
// Whether the importer may make a file in a folder, asked before any work
// that would otherwise fail at its very end, and the reasons in Polish.
#pragma once

#include <filesystem>
#include <string>

namespace xls2qdp {

// Why no new file can be made in folder ("brak uprawnień"), or an
// empty text when one can: a small probe file is made there and removed.
std::string folderWriteProblem(const std::filesystem::path& folder);

} // namespace xls2qdp
