// SPDX-License-Identifier: MIT
#include "StaleFiles.h"

#include "OsFile.h"
#include "TempNames.h"

#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>
#else
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

namespace {

bool processExists(std::uint64_t pid) {
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    // A process of another user cannot be opened, yet exists.
    if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

// Whether another process may own a file of that name. This process's own
// files in use cannot be deleted (see below).
bool anotherOwnerMayLive(const NameOwner& owner) {
    const DWORD self = ::GetCurrentProcessId();
    if (!owner.lastFiveDigits) return owner.process != self && processExists(owner.process);
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return true;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = ::Process32First(snapshot, &entry); more && !found;
         more = ::Process32Next(snapshot, &entry)) {
        found = entry.th32ProcessID != self && entry.th32ProcessID % 100000 == owner.process;
    }
    ::CloseHandle(snapshot);
    return found;
}

} // namespace

// Every process keeps its temporary files open, without sharing their
// deletion, while they live: deleting one that is in use fails, which is the
// lock. Whose the file is the system's permissions decide.
void removeStaleTempFiles(const std::string& folder) {
    std::string prefix = folder.empty() ? std::string("./") : folder;
    if (prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
    WIN32_FIND_DATAA entry{};
    const HANDLE find = ::FindFirstFileA((prefix + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((entry.dwFileAttributes & kNotAFile) != 0) continue;
        const auto owner = temporaryNameOwner(entry.cFileName);
        if (owner && !anotherOwnerMayLive(*owner))
            ::DeleteFileA((prefix + entry.cFileName).c_str());
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
}

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
