// SPDX-License-Identifier: MIT
// Serialises the changes that several processes make to one file: an exclusive
// lock on "<file>.lock" beside it, held for the lifetime of the object. The lock
// file is removed on release; a crashed holder loses its lock to the kernel, and
// a lock file left behind is simply taken over by the next run.
#pragma once

#include <string>

namespace upkeep {

class FileLock {
public:
    // Blocks until the lock is held. Throws SystemFailure when the lock file
    // cannot be created or locked.
    explicit FileLock(const std::string& lockedFile);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    std::string lockPath_;
    int fd_ = -1;
};

} // namespace upkeep
