// SPDX-License-Identifier: MIT
#include "FileReplacement.h"

#include "FileFormat.h"
#include "TempNames.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace qdp {

namespace {

// Enough tries to pass any number of names a process could have left.
constexpr unsigned kStagingTries = 1000;

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string systemTempFolder() {
    const char* folder = std::getenv("TMPDIR");
    if (folder != nullptr && folder[0] != '\0') return folder;
#if defined(_WIN32)
    if (const char* temp = std::getenv("TEMP"); temp != nullptr && temp[0] != '\0') return temp;
    return ".";
#else
    return "/tmp";
#endif
}

#if !defined(_WIN32)
// The path a chain of symbolic links finally leads to (the path itself when
// it is no link); false for a loop or an unreadable link.
bool followLinks(const std::string& path, std::string& target) {
    target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const auto n = ::readlink(target.c_str(), buffer.data(), buffer.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buffer.size()) return false;
        std::string next(buffer.data(), static_cast<std::size_t>(n));
        target = next.starts_with('/') ? next : folderOf(target) + "/" + next;
    }
    return false;
}
#endif

#if !defined(_WIN32)
// Reserves disk room for length bytes of the file without changing its
// length or content: 0, or the error number (0 too where the file system
// cannot reserve room).
int reserveRoom(int fd, std::uint64_t length) {
    if (length == 0) return 0;
#if defined(__linux__)
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) == 0) return 0;
    return errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
#else
    (void)fd;
    return 0;
#endif
}
#endif

#if !defined(_WIN32)
// Holds SIGPIPE back from this thread while it lives, and takes away one that
// a write raised meanwhile.
class SigpipeGuard {
public:
    SigpipeGuard() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        sigpending(&pending_);
        ::pthread_sigmask(SIG_BLOCK, &pipe, &saved_);
    }
    ~SigpipeGuard() {
        sigset_t now;
        sigpending(&now);
        if (sigismember(&now, SIGPIPE) && !sigismember(&pending_, SIGPIPE)) {
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            const timespec noWait{0, 0};
            while (::sigtimedwait(&pipe, nullptr, &noWait) < 0 && errno == EINTR) {
            }
        }
        ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t saved_{};
    sigset_t pending_{};
};
#endif

bool isFolderRefusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

} // namespace

Result FileReplacement::StagingSink::write(std::span<const char> bytes) {
    const Result r = owner_.staging_.writeAll(bytes);
    if (ok(r)) owner_.written_ += bytes.size();
    return r;
}

Result FileReplacement::StagingSink::copyFrom(OsFile& source, std::uint64_t offset,
                                              std::uint64_t length, std::uint64_t& copied) {
    const Result r = owner_.staging_.appendCopyOf(source, offset, length, copied);
    owner_.written_ += copied;
    return r;
}

bool FileReplacement::createStaging(const std::string& folder, const std::string& name,
                                    int& error) {
    for (unsigned n = 0; n < kStagingTries; ++n) {
        const std::string path = folder + "/" + stagingName(name, n);
        OsFile file = OsFile::createNew(path);
        if (!file.isOpen()) {
            error = errno;
            if (error == EEXIST) continue;
            return false;
        }
        file.tryLock();
        staging_ = std::move(file);
        stagingPath_ = path;
        return true;
    }
    error = EEXIST;
    return false;
}

namespace {

// What begin needs to know of the target: whether it exists, is a folder,
// a regular file (not a device or FIFO), and how many names it has.
struct TargetKind {
    bool exists = false;
    bool isFolder = false;
    bool isRegular = false;
    // Marked read-only (Windows): not writable, whatever the file system
    // below would let an administrator do.
    bool readOnly = false;
    unsigned long links = 1;
};

#if defined(_WIN32)
TargetKind targetKind(const std::string& path, const OsFile& opened) {
    TargetKind kind;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    kind.exists = attributes != INVALID_FILE_ATTRIBUTES;
    kind.isFolder = kind.exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    kind.readOnly = kind.exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (!opened.isOpen()) return kind;
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(opened.fd()));
    // Devices (NUL, COM1) and pipes are no disk files.
    kind.isRegular = ::GetFileType(handle) == FILE_TYPE_DISK;
    BY_HANDLE_FILE_INFORMATION info{};
    if (kind.isRegular && ::GetFileInformationByHandle(handle, &info)) {
        kind.links = info.nNumberOfLinks;
    }
    return kind;
}
#else
TargetKind targetKind(const std::string& path, const OsFile&) {
    TargetKind kind;
    struct stat st {};
    kind.exists = ::stat(path.c_str(), &st) == 0;
    kind.isFolder = kind.exists && S_ISDIR(st.st_mode);
    kind.isRegular = kind.exists && S_ISREG(st.st_mode);
    kind.links = kind.exists ? static_cast<unsigned long>(st.st_nlink) : 1;
    return kind;
}
#endif

} // namespace

Result FileReplacement::begin(const std::string& path) {
    abandon();
    written_ = 0;
    inPlace_ = false;
#if defined(_WIN32)
    // Links are followed by the system when the file is opened and replaced.
    target_ = path;
#else
    if (!followLinks(path, target_)) return Result::CreateFailed;
#endif
    TargetKind kind = targetKind(target_, targetFile_);
    targetExists_ = kind.exists;
    if (targetExists_) {
        if (kind.isFolder || kind.readOnly) return Result::CreateFailed;
        targetFile_ = OsFile::openForWriting(target_);
        if (!targetFile_.isOpen()) return Result::CreateFailed;
        kind = targetKind(target_, targetFile_);
    }
    targetIsRegular_ = kind.isRegular;
    // A device or a FIFO gets no staging file beside it: its folder is no
    // place for files.
    int error = 0;
    const bool beside = targetExists_ && !targetIsRegular_
                            ? false
                            : createStaging(folderOf(target_), nameOf(target_), error);
    if (!beside) {
        if (targetIsRegular_ && !isFolderRefusal(error)) return Result::CreateFailed;
        if (!targetExists_) return Result::CreateFailed;
        if (!createStaging(systemTempFolder(), nameOf(target_), error)) {
            return Result::CreateFailed;
        }
    }
    inPlace_ =
        targetExists_ && (!beside || !targetIsRegular_ || kind.links != 1 || !keepsOwnerAndMode());
    return Result::Ok;
}

// Gives the staging file the target's owner, group and mode; false when the
// system does not let us (a file of another user, a group we are not in).
bool FileReplacement::keepsOwnerAndMode() const {
#if defined(_WIN32)
    // ReplaceFile keeps the replaced file's attributes and security settings.
    return true;
#else
    struct stat target {};
    struct stat staged {};
    if (::fstat(targetFile_.fd(), &target) != 0) return false;
    if (::fstat(staging_.fd(), &staged) != 0) return false;
    if ((staged.st_uid != target.st_uid || staged.st_gid != target.st_gid) &&
        ::fchown(staging_.fd(), target.st_uid, target.st_gid) != 0) {
        return false;
    }
    // After the owner: changing it may clear the set-id bits.
    if (::fchmod(staging_.fd(), target.st_mode & 07777) != 0) return false;
    return ::fstat(staging_.fd(), &staged) == 0 && staged.st_uid == target.st_uid &&
           staged.st_gid == target.st_gid && (staged.st_mode & 07777) == (target.st_mode & 07777);
#endif
}

Result FileReplacement::commit() {
    if (!staging_.isOpen()) return Result::WriteFailed;
    // The whole new content must be on the disk before it takes the place of
    // an existing file. A new file replaces nothing, and a package of many
    // megabytes is not held up for that.
    if (targetExists_) {
        if (const int err = staging_.sync(); err != 0) return resultFromWriteError(err);
    }
    struct stat staged {};
    if (::fstat(staging_.fd(), &staged) != 0 ||
        static_cast<std::uint64_t>(staged.st_size) != written_) {
        return Result::OsError;
    }
    if (inPlace_) {
        const Result r = writeInPlace();
        if (ok(r)) abandon();
        return r;
    }
    targetFile_.close();
#if defined(_WIN32)
    // An open file cannot take another's place there.
    staging_.close();
#endif
    if (const int err = replaceFile(stagingPath_, target_); err != 0) {
        return err == ENOENT || err == ENOTDIR ? Result::FolderMissing : resultFromWriteError(err);
    }
    stagingPath_.clear();
    staging_.close();
#if !defined(_WIN32)
    // Makes the new name itself durable.
    OsFile folder(::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    (void)folder.sync();
#endif
    return Result::Ok;
}

Result FileReplacement::writeInPlace() {
    OsFile& out = targetFile_;
#if defined(_WIN32)
    if (targetIsRegular_ && ::_lseeki64(out.fd(), 0, SEEK_SET) != 0) return Result::OsError;
#else
    if (targetIsRegular_) {
        // A write beyond the file-size limit would stop half way.
        rlimit limit{};
        if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
            written_ > limit.rlim_cur) {
            return resultFromWriteError(EFBIG);
        }
        // Room for the whole content first, so that the copy cannot run out
        // of it half way; systems that cannot reserve room go on without.
        if (const int err = reserveRoom(out.fd(), written_); err != 0) {
            return resultFromWriteError(err);
        }
        if (::lseek(out.fd(), 0, SEEK_SET) != 0) return Result::OsError;
    }
    // A FIFO whose reader goes away must give a code, not end the caller's
    // process with SIGPIPE.
    const SigpipeGuard noSigpipe;
#endif
    std::vector<char> buffer(format::kCopyPieceSize);
    std::uint64_t offset = 0;
    while (offset < written_) {
        const std::int64_t got = staging_.readAt(buffer, offset);
        if (got <= 0) return Result::WriteFailed;
        if (const Result r = out.writeAll({buffer.data(), static_cast<std::size_t>(got)}); !ok(r))
            return r;
        offset += static_cast<std::uint64_t>(got);
    }
    if (targetIsRegular_) {
        if (!out.truncateTo(written_)) return Result::OsError;
        if (const int err = out.sync(); err != 0) return resultFromWriteError(err);
    }
    if (const int err = out.close(); err != 0) return resultFromWriteError(err);
    return Result::Ok;
}

void FileReplacement::abandon() {
    staging_.close();
    if (!stagingPath_.empty()) removeFile(stagingPath_);
    stagingPath_.clear();
    targetFile_.close();
}

} // namespace qdp
