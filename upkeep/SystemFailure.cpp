// SPDX-License-Identifier: MIT
#include "SystemFailure.h"

#include <cerrno>
#include <cstring>

namespace upkeep {

SystemFailure systemFailureFromErrno(const std::string& what) {
    return SystemFailure(what + ": " + std::strerror(errno));
}

} // namespace upkeep
