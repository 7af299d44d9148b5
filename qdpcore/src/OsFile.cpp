// SPDX-License-Identifier: MIT
#include "OsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#define QDP_O_BINARY _O_BINARY
#else
#include <sys/file.h>
#include <unistd.h>
#define QDP_O_BINARY 0
#endif

namespace qdp {

Result resultFromWriteError(int errorNumber) {
    switch (errorNumber) {
    case EBADF:
        return Result::WriteFailed;
    case ENOSPC:
        return Result::DiskFull;
    default:
        return Result::OsError;
    }
}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

OsFile OsFile::openRead(const std::string& path) {
    return OsFile(::open(path.c_str(), O_RDONLY | QDP_O_BINARY));
}

OsFile OsFile::createNew(const std::string& path) {
    return OsFile(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | QDP_O_BINARY, 0666));
}

OsFile OsFile::createOrTruncate(const std::string& path) {
    return OsFile(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | QDP_O_BINARY, 0666));
}

OsFile OsFile::openForWriting(const std::string& path) {
#if defined(_WIN32)
    return OsFile(::open(path.c_str(), O_WRONLY | QDP_O_BINARY));
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    // Writes wait as usual once the file is open.
    if (fd >= 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return OsFile(fd);
#endif
}

int OsFile::close() {
    if (fd_ < 0) return 0;
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 ? 0 : errno;
}

Result OsFile::writeAll(std::span<const char> bytes) {
    if (fd_ < 0) return Result::WriteFailed;
    while (!bytes.empty()) {
        const auto n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return resultFromWriteError(errno);
        }
        if (n == 0) return Result::OsError;
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return Result::Ok;
}

Result OsFile::appendCopyOf(OsFile& source, std::uint64_t offset, std::uint64_t length,
                            std::uint64_t& copied) {
    copied = 0;
#if defined(__linux__)
    if (fd_ < 0 || source.fd_ < 0) return Result::Ok;
    auto from = static_cast<off64_t>(offset);
    while (copied < length) {
        const std::size_t piece = static_cast<std::size_t>(
            std::min<std::uint64_t>(length - copied, std::uint64_t{1} << 30));
        const auto n = ::copy_file_range(source.fd_, &from, fd_, nullptr, piece, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            // Files the system cannot copy between (other file systems on
            // older kernels, special files, no such call): written by hand.
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                errno == EBADF || errno == ETXTBSY)
                return Result::Ok;
            return resultFromWriteError(errno);
        }
        if (n == 0) break; // the source ended early: the caller finds out
        copied += static_cast<std::uint64_t>(n);
    }
#else
    (void)source;
    (void)offset;
    (void)length;
#endif
    return Result::Ok;
}

std::int64_t OsFile::readFull(std::span<char> buffer) {
    if (fd_ < 0) return -1;
    std::size_t done = 0;
    while (done < buffer.size()) {
        const auto n = ::read(fd_, buffer.data() + done, buffer.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t OsFile::readAt(std::span<char> buffer, std::uint64_t offset) {
    if (fd_ < 0) return -1;
    std::size_t done = 0;
    while (done < buffer.size()) {
#if defined(_WIN32)
        if (::_lseeki64(fd_, static_cast<__int64>(offset + done), SEEK_SET) < 0) return -1;
        const auto n =
            ::_read(fd_, buffer.data() + done,
                    static_cast<unsigned>(std::min<std::size_t>(buffer.size() - done, 1u << 30)));
#else
        const auto n = ::pread(fd_, buffer.data() + done, buffer.size() - done,
                               static_cast<off_t>(offset + done));
#endif
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

bool OsFile::truncateTo(std::uint64_t length) {
    if (fd_ < 0) return false;
#if defined(_WIN32)
    const auto len = static_cast<__int64>(length);
    return ::_chsize_s(fd_, len) == 0 && ::_lseeki64(fd_, len, SEEK_SET) == len;
#else
    const auto len = static_cast<off_t>(length);
    return ::ftruncate(fd_, len) == 0 && ::lseek(fd_, len, SEEK_SET) == len;
#endif
}

int OsFile::sync() {
    if (fd_ < 0) return EBADF;
#if defined(_WIN32)
    return ::_commit(fd_) == 0 ? 0 : errno;
#else
    return ::fsync(fd_) == 0 ? 0 : errno;
#endif
}

bool OsFile::tryLock() {
#if defined(_WIN32)
    // An open file cannot be deleted there anyway.
    return fd_ >= 0;
#else
    return fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
#endif
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

#if defined(_WIN32)
int errnoFromWindowsError(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    default:
        return EIO;
    }
}
#endif

int replaceFile(const std::string& from, const std::string& to) {
#if defined(_WIN32)
    // rename() does not replace an existing file there. ReplaceFile keeps
    // the replaced file's attributes and security settings, as a rename
    // over it keeps its owner and mode elsewhere; a new name is a move.
    if (const DWORD attributes = ::GetFileAttributesA(to.c_str());
        attributes != INVALID_FILE_ATTRIBUTES) {
        if (::ReplaceFileA(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                           nullptr, nullptr)) {
            // Not every implementation carries the attributes over itself.
            ::SetFileAttributesA(to.c_str(), attributes);
            return 0;
        }
        return errnoFromWindowsError(::GetLastError());
    }
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)
               ? 0
               : errnoFromWindowsError(::GetLastError());
#else
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
#endif
}

} // namespace qdp
