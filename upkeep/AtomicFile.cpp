// SPDX-License-Identifier: MIT
#include "AtomicFile.h"

#include "SystemFailure.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace upkeep {
namespace {

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

std::string parentFolder(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const auto written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::optional<std::string> readFileIfExists(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        throw systemFailureFromErrno(path);
    }
    FdCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) throw systemFailureFromErrno(path);
    if (!S_ISREG(info.st_mode)) {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        throw systemFailureFromErrno(path);
    }
    std::string contents;
    std::vector<char> buffer(64 * 1024);
    while (true) {
        const auto got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            throw systemFailureFromErrno(path);
        }
        if (got == 0) return contents;
        contents.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

void replaceFileContents(const std::string& path, std::string_view contents) {
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    // A file its owner made read-only stays unchanged, although the rename
    // below would not need write access to it.
    if (exists && ::access(path.c_str(), W_OK) != 0) throw systemFailureFromErrno(path);

    std::string tempPath = path + ".tmpXXXXXX";
    const int fd = ::mkstemp(tempPath.data());
    if (fd < 0) throw systemFailureFromErrno(path);
    FdCloser closer{fd};
    // Removes the new file on every path that does not rename it.
    auto removeTemp = [](std::string* p) { ::unlink(p->c_str()); };
    std::unique_ptr<std::string, decltype(removeTemp)> tempGuard(&tempPath, removeTemp);

    mode_t mode;
    if (exists) {
        mode = old.st_mode & 07777;
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            // Only a privileged caller may hand the file back to its owner;
            // otherwise the new file belongs to the caller, as any new file would.
            [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, contents) || ::fsync(fd) != 0) {
        throw systemFailureFromErrno(path);
    }
    if (::rename(tempPath.c_str(), path.c_str()) != 0) throw systemFailureFromErrno(path);
    tempGuard.release();

    // Makes the rename itself durable.
    const int folder = ::open(parentFolder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

std::string followLinks(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

} // namespace upkeep
