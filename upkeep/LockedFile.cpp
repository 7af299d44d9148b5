// SPDX-License-Identifier: MIT
#include "LockedFile.h"

#include "FileReplacement.h"
#include "StaleFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace upkeep {
namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The path a chain of symbolic links finally leads to (the path itself when
// it is no link), also when that file does not exist yet.
std::string followLinks(const std::string& path) {
    std::string target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const auto n = ::readlink(target.c_str(), buffer.data(), buffer.size());
        if (n < 0) throw systemFailureFromErrno(target);
        const std::string next(buffer.data(), static_cast<std::size_t>(n));
        target = next.starts_with('/') ? next : folderOf(target) + "/" + next;
    }
    errno = ELOOP;
    throw systemFailureFromErrno(path);
}

void refuseIfNotRegular(const std::string& path, mode_t mode) {
    if (S_ISREG(mode)) return;
    const char* kind = S_ISDIR(mode)                    ? "katalog"
                       : S_ISFIFO(mode)                 ? "potok FIFO"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "urzadzenie"
                       : S_ISSOCK(mode)                 ? "gniazdo"
                                                        : "plik specjalny";
    throw NotRegularFile(path + " nie jest zwyklym plikiem (" + kind + ")");
}

std::string readAll(int fd, const std::string& path) {
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

// Closes a descriptor unless it was handed on.
struct DescriptorGuard {
    int fd;
    ~DescriptorGuard() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int kept = fd;
        fd = -1;
        return kept;
    }
};

} // namespace

LockedFile::LockedFile(const std::string& path, IfMissing ifMissing) : path_(followLinks(path)) {
    removeStaleTempFiles(folderOf(path_));
    while (true) {
        // Never open what is no regular file: a FIFO's open could wait.
        struct stat named {};
        if (::stat(path_.c_str(), &named) == 0) refuseIfNotRegular(path_, named.st_mode);
        constexpr int kRead = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        DescriptorGuard file{::open(path_.c_str(), kRead)};
        bool created = false;
        if (file.fd < 0 && errno == ENOENT && ifMissing == IfMissing::Skip) return;
        if (file.fd < 0 && errno == ENOENT) {
            file.fd = ::open(path_.c_str(), kRead | O_CREAT | O_EXCL, 0666);
            if (file.fd < 0 && errno == EEXIST) continue; // made by another run meanwhile
            created = true;
        }
        struct stat opened {};
        if (file.fd < 0 || ::fstat(file.fd, &opened) != 0) throw systemFailureFromErrno(path_);
        refuseIfNotRegular(path_, opened.st_mode);
        int locked;
        do {
            locked = ::flock(file.fd, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) throw systemFailureFromErrno(path_);
        // A run that held the lock before may have renamed a new file over
        // the one locked here: then lock that one.
        struct stat now {};
        if (::stat(path_.c_str(), &now) != 0 || now.st_dev != opened.st_dev ||
            now.st_ino != opened.st_ino) {
            continue;
        }
        contents_ = readAll(file.fd, path_);
        fd_ = file.release();
        created_ = created;
        return;
    }
}

LockedFile::~LockedFile() {
    if (fd_ < 0) return;
    // An empty file made for a change that did not happen goes again.
    struct stat opened {};
    struct stat named {};
    if (created_ && !replaced_ && ::fstat(fd_, &opened) == 0 && opened.st_size == 0 &&
        ::stat(path_.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino) {
        ::unlink(path_.c_str());
    }
    ::close(fd_);
}

void LockedFile::replace(std::string_view newContents) {
    replaceFileContents(path_, newContents);
    replaced_ = true;
}

} // namespace upkeep
