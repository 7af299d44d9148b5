// SPDX-License-Identifier: MIT
#include "FileLock.h"

#include "SystemFailure.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace upkeep {

FileLock::FileLock(const std::string& lockedFile) : lockPath_(lockedFile + ".lock") {
    while (true) {
        const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) throw systemFailureFromErrno(lockPath_);
        struct flock request {};
        request.l_type = F_WRLCK;
        request.l_whence = SEEK_SET;
        int result;
        do {
            result = ::fcntl(fd, F_SETLKW, &request);
        } while (result < 0 && errno == EINTR);
        if (result < 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            throw systemFailureFromErrno(lockPath_);
        }
        // The previous holder removes the lock file before it lets go, so the
        // file locked here may no longer be the one at the path: start again.
        struct stat held {};
        struct stat current {};
        if (::fstat(fd, &held) == 0 && ::stat(lockPath_.c_str(), &current) == 0 &&
            held.st_dev == current.st_dev && held.st_ino == current.st_ino) {
            fd_ = fd;
            return;
        }
        ::close(fd);
    }
}

FileLock::~FileLock() {
    // Removed while still held, so that no waiter can lock the removed file and
    // believe it holds the lock.
    ::unlink(lockPath_.c_str());
    ::close(fd_);
}

} // namespace upkeep
