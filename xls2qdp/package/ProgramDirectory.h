// SPDX-License-Identifier: MIT
// The folder the running program lives in (where its settings files lie).
#pragma once

#include <string>

namespace xls2qdp {

// The folder of the running executable, ending with a path delimiter; the
// current directory when it cannot be found.
std::string programDirectory();

} // namespace xls2qdp
