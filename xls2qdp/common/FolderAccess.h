// SPDX-License-Identifier: MIT
// Whether the importer may make a file in a folder, asked before any work
// that would otherwise fail at its very end, and the reasons in Polish.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace xls2qdp {

// Why no new file can be made in folder ("brak uprawnień do zapisu"), or an
// empty text when one can: a small probe file is made there and removed.
std::string folderWriteProblem(const std::filesystem::path& folder);

// The reason of a failed file operation, in Polish where the error is a
// common one ("brak uprawnień", "dysk jest pełny"), else the system's text.
std::string describeFileError(const std::error_code& error);

} // namespace xls2qdp
