// SPDX-License-Identifier: MIT
// The reason of a failed file operation as a short Polish phrase, for a
// message that already names the file or folder.
#pragma once

#include <string>
#include <system_error>

namespace xls2qdp {

// "brak uprawnień", "brak miejsca na dysku", … for the common errors, else
// the system's own text.
std::string describeFileError(const std::error_code& error);

} // namespace xls2qdp
