// SPDX-License-Identifier: MIT
#include "FileReplacement.h"

#include "SystemFailure.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace upkeep {
namespace {

constexpr std::string_view kStagingEnd = ".upkeeptmp";

// Enough tries to pass any number of names earlier runs could have left.
constexpr unsigned kStagingTries = 1000;

// A descriptor closed with its owner.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    // 0, or the error number of the close.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// The staging file: created under a free name, locked, removed unless it
// was renamed into place.
class StagingFile {
public:
    // False with errno set when no file can be created in folder.
    bool create(const std::string& folder, std::string_view fileName) {
        for (unsigned n = 0; n < kStagingTries; ++n) {
            const std::string path = folder + "/" + stagingName(fileName, n);
            const int fd =
                ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd < 0) {
                if (errno == EEXIST) continue;
                return false;
            }
            ::flock(fd, LOCK_EX | LOCK_NB);
            fd_ = fd;
            path_ = path;
            return true;
        }
        errno = EEXIST;
        return false;
    }
    ~StagingFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    [[nodiscard]] int fd() const { return fd_; }
    [[nodiscard]] const std::string& path() const { return path_; }
    // After it was renamed into place.
    void forget() { path_.clear(); }

private:
    int fd_ = -1;
    std::string path_;
};

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string systemTempFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && folder[0] == '/' ? folder : "/tmp";
}

bool writeAllAt(int fd, std::string_view data, off_t offset) {
    while (!data.empty()) {
        const auto written = ::pwrite(fd, data.data(), data.size(), offset);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// Gives the staging file the file's owner, group and mode; false when the
// system does not let us (a file of another user, a group we are not in).
bool keepOwnerAndMode(int staging, const struct stat& file) {
    struct stat staged {};
    if (::fstat(staging, &staged) != 0) return false;
    if ((staged.st_uid != file.st_uid || staged.st_gid != file.st_gid) &&
        ::fchown(staging, file.st_uid, file.st_gid) != 0) {
        return false;
    }
    // After the owner: changing it may clear the set-id bits.
    if (::fchmod(staging, file.st_mode & 07777) != 0 || ::fstat(staging, &staged) != 0) {
        return false;
    }
    return staged.st_uid == file.st_uid && staged.st_gid == file.st_gid &&
           (staged.st_mode & 07777) == (file.st_mode & 07777);
}

// Copies the checked new content into the file itself.
void writeInPlace(int file, const std::string& path, std::string_view contents) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        contents.size() > limit.rlim_cur) {
        errno = EFBIG;
        throw systemFailureFromErrno(path);
    }
    // Room for all of it first, so that the copy cannot run out of it half
    // way (where the file system can reserve room).
    if (!contents.empty() &&
        ::fallocate(file, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(contents.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        throw systemFailureFromErrno(path);
    }
    if (!writeAllAt(file, contents, 0) ||
        ::ftruncate(file, static_cast<off_t>(contents.size())) != 0 || ::fsync(file) != 0) {
        throw systemFailureFromErrno(path);
    }
}

} // namespace

std::string stagingName(std::string_view fileName, unsigned n) {
    std::string name(fileName);
    name += '~';
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(n);
    name += kStagingEnd;
    return name;
}

long stagingNameProcess(std::string_view name) {
    if (!name.ends_with(kStagingEnd)) return 0;
    name.remove_suffix(kStagingEnd.size());
    const auto dash = name.rfind('-');
    if (dash == std::string_view::npos) return 0;
    const auto tilde = name.rfind('~', dash);
    if (tilde == std::string_view::npos || tilde == 0) return 0;
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    const auto process = name.substr(tilde + 1, dash - tilde - 1);
    long pid = 0;
    if (!digits(process) || !digits(name.substr(dash + 1)) ||
        std::from_chars(process.data(), process.data() + process.size(), pid).ec != std::errc()) {
        return 0;
    }
    return pid;
}

void replaceFileContents(const std::string& path, std::string_view contents) {
    // Nothing happens to a file we may not write.
    Descriptor file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat current {};
    if (!file.isOpen() || ::fstat(file.get(), &current) != 0) throw systemFailureFromErrno(path);

    StagingFile staging;
    bool beside = staging.create(folderOf(path), nameOf(path));
    if (!beside) {
        if (errno != EACCES && errno != EPERM && errno != EROFS) throw systemFailureFromErrno(path);
        if (!staging.create(systemTempFolder(), nameOf(path))) throw systemFailureFromErrno(path);
    }
    const bool inPlace =
        !beside || current.st_nlink != 1 || !keepOwnerAndMode(staging.fd(), current);

    // The whole new content, checked, before the file is touched.
    struct stat staged {};
    if (!writeAllAt(staging.fd(), contents, 0) || ::fsync(staging.fd()) != 0 ||
        ::fstat(staging.fd(), &staged) != 0) {
        throw systemFailureFromErrno(path);
    }
    if (static_cast<std::size_t>(staged.st_size) != contents.size()) {
        errno = EIO;
        throw systemFailureFromErrno(path);
    }

    if (inPlace) {
        writeInPlace(file.get(), path, contents);
        if (file.close() != 0) throw systemFailureFromErrno(path);
        return;
    }
    file.close();
    if (::rename(staging.path().c_str(), path.c_str()) != 0) throw systemFailureFromErrno(path);
    staging.forget();
    // Makes the rename itself durable.
    Descriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen()) ::fsync(folder.get());
}

} // namespace upkeep
