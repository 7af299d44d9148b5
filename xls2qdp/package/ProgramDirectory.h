// SPDX-License-Identifier: MIT
// The folder the running program lives in (where its settings files lie).
#pragma once

#include <string>

namespace xls2qdp {

// The folder of the running executable, ending with a path delimiter; the
// current directory when it cannot be found.
std::string programDirectory();

// True for the characters that end a folder name on this platform.
bool isPathDelimiter(char c);
// folder with a path delimiter appended when it is not empty and lacks one.
std::string withTrailingDelimiter(std::string folder);

} // namespace xls2qdp
