// SPDX-License-Identifier: MIT
// A failure of the file system or registry below an operation (a file that
// cannot be read or written, a registry file that cannot be parsed). It ends
// the run with exit code 1 and one report line carrying its text.
#pragma once

#include <stdexcept>
#include <string>

namespace upkeep {

class SystemFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file to edit that is a folder, a FIFO, a device or a socket.
class NotRegularFile : public SystemFailure {
public:
    using SystemFailure::SystemFailure;
};

// "<what>: <text of errno>" for the last failed system call.
[[nodiscard]] SystemFailure systemFailureFromErrno(const std::string& what);

} // namespace upkeep
