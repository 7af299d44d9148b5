// SPDX-License-Identifier: MIT
#include "StaleFiles.h"

#include "OsFile.h"
#include "TempNames.h"

#if !defined(_WIN32)
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qdp {

#if defined(_WIN32)

// Windows keeps a file that a process holds open from being deleted, and the
// names of its temporary files are judged by that instead.
void removeStaleTempFiles(const std::string&) {}

#else

namespace {

bool processExists(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

// The highest process id the system hands out.
std::uint64_t largestProcessId() {
    std::uint64_t largest = 4194304; // the kernel's own limit
    if (std::FILE* f = std::fopen("/proc/sys/kernel/pid_max", "r")) {
        unsigned long long value = 0;
        if (std::fscanf(f, "%llu", &value) == 1 && value > 0 && value <= largest) largest = value;
        std::fclose(f);
    }
    return largest;
}

// Whether another process may own a file of that name. This process's own
// files are told apart by their locks.
bool anotherOwnerMayLive(const NameOwner& owner) {
    const auto self = static_cast<std::uint64_t>(::getpid());
    const auto alive = [&](std::uint64_t pid) {
        return pid != self && processExists(static_cast<pid_t>(pid));
    };
    if (!owner.lastFiveDigits) return alive(owner.process);
    const std::uint64_t largest = largestProcessId();
    for (std::uint64_t pid = owner.process == 0 ? 100000 : owner.process; pid <= largest;
         pid += 100000) {
        if (alive(pid)) return true;
    }
    return false;
}

void removeIfStale(const std::string& path) {
    OsFile file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!file.isOpen() || ::fstat(file.fd(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_uid != ::geteuid() || !file.tryLock()) {
        return;
    }
    // The name must still lead to the file that was judged.
    struct stat named {};
    if (::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino) {
        removeFile(path);
    }
}

} // namespace

void removeStaleTempFiles(const std::string& folder) {
    std::string prefix = folder.empty() ? std::string("./") : folder;
    if (prefix.back() != '/') prefix += '/';
    DIR* dir = ::opendir(prefix.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const auto owner = temporaryNameOwner(entry->d_name);
        if (owner && !anotherOwnerMayLive(*owner)) removeIfStale(prefix + entry->d_name);
    }
    ::closedir(dir);
}

#endif

} // namespace qdp
