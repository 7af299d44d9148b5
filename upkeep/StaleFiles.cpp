// SPDX-License-Identifier: MIT
#include "StaleFiles.h"

#include "FileReplacement.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace upkeep {
namespace {

// Another process of that id may still use the file; this process's own
// files are told apart by their locks.
bool anotherProcessMayLive(long pid) {
    if (pid == static_cast<long>(::getpid())) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void removeIfStale(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(path.c_str(), &named) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
        ::unlink(path.c_str());
    }
    ::close(fd);
}

} // namespace

void removeStaleTempFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = stagingNameProcess(entry->d_name);
        if (pid > 0 && !anotherProcessMayLive(pid)) removeIfStale(folder + "/" + entry->d_name);
    }
    ::closedir(dir);
}

} // namespace upkeep
