// SPDX-License-Identifier: MIT
#include "FileReplacement.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <streambuf>
#include <string_view>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fstream>
#include <process.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace xls2qdp {

namespace {

namespace fs = std::filesystem;

std::error_code systemError(int number) {
    return {number, std::generic_category()};
}

// A staging name keeps at most this much of the file's name, so that it
// stays a valid name however long the file's is.
constexpr std::size_t kNameKept = 200;

std::string stagingPrefix(std::string_view fileName) {
    return std::string(fileName.substr(0, kNameKept)) + "~";
}

std::string stagingName(std::string_view fileName, long process, unsigned n) {
    return stagingPrefix(fileName) + std::to_string(process) + "-" + std::to_string(n) + ".tmp";
}

} // namespace

#ifdef _WIN32

std::error_code replaceFileContent(const fs::path& file,
                                   const std::function<void(std::ostream&)>& write) {
    fs::path staging = file;
    staging.replace_filename(stagingName(file.filename().string(), _getpid(), 0));
    std::error_code error;
    {
        std::ofstream out(staging, std::ios::binary | std::ios::trunc);
        if (out) {
            write(out);
            out.flush();
        }
        if (!out) error = std::make_error_code(std::errc::io_error);
    }
    if (!error) fs::rename(staging, file, error);
    std::error_code ignored;
    if (error) fs::remove(staging, ignored);
    return error;
}

#else

namespace {

// Enough tries to pass any number of names a process could have left.
constexpr unsigned kStagingTries = 1000;

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { close(); }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // 0, or the error number of a failed close (a write the system delayed).
    int close() {
        if (fd_ < 0) return 0;
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int fd_ = -1;
};

// 0, or the error number.
int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// Output to a file descriptor that remembers its first write error.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd) { resetPut(); }

    int error() const { return error_; }
    std::uint64_t written() const { return written_; }

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    void resetPut() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
    bool drain() {
        if (error_ != 0) return false;
        const auto size = static_cast<std::size_t>(pptr() - pbase());
        if (const int err = writeAll(fd_, pbase(), size); err != 0) {
            error_ = err;
            return false;
        }
        written_ += size;
        resetPut();
        return true;
    }

    int fd_;
    int error_ = 0;
    std::uint64_t written_ = 0;
    std::array<char, 64 * 1024> buffer_{};
};

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string systemTempFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && folder[0] == '/' ? folder : "/tmp";
}

// The path a chain of symbolic links finally leads to (the path itself when
// it is no link); false for a loop or an unreadable link.
bool followLinks(const std::string& path, std::string& target) {
    target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::vector<char> text(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(target.c_str(), text.data(), text.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= text.size()) return false;
        const std::string next(text.data(), static_cast<std::size_t>(n));
        target = next.front() == '/' ? next : folderOf(target) + "/" + next;
    }
    return false;
}

// Opened for writing without truncating and without waiting: a FIFO nobody
// reads is refused (ENXIO) rather than waited for.
Descriptor openForWriting(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.isOpen()) ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool isFolderRefusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

bool processMayLive(long process) {
    return process > 0 && (::kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM);
}

// The process id in a staging name made for fileName; none for another name.
std::optional<long> stagingOwner(std::string_view name, std::string_view fileName) {
    const std::string prefix = stagingPrefix(fileName);
    constexpr std::string_view kEnd = ".tmp";
    if (!name.starts_with(prefix) || !name.ends_with(kEnd)) return std::nullopt;
    const std::string_view middle =
        name.substr(prefix.size(), name.size() - prefix.size() - kEnd.size());
    const auto dash = middle.find('-');
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.size() < 10 &&
               text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (dash == std::string_view::npos || !digits(middle.substr(0, dash)) ||
        !digits(middle.substr(dash + 1))) {
        return std::nullopt;
    }
    return std::stol(std::string(middle.substr(0, dash)));
}

// Removes a left-over staging file: a regular file of ours that no process
// holds locked, still under the name it was judged by.
void removeIfUnused(const std::string& path) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened {};
    if (!file.isOpen() || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_uid != ::geteuid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        return;
    }
    struct stat named {};
    if (::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino) {
        ::unlink(path.c_str());
    }
}

void removeLeftOverStaging(const std::string& folder, std::string_view fileName) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const auto owner = stagingOwner(entry->d_name, fileName);
        if (owner && *owner != ::getpid() && !processMayLive(*owner))
            removeIfUnused(folder + "/" + entry->d_name);
    }
}

// The file the new content is written to first; removed when it goes unless
// it has become the target.
class StagingFile {
public:
    StagingFile() = default;
    ~StagingFile() { discard(); }
    StagingFile(const StagingFile&) = delete;
    StagingFile& operator=(const StagingFile&) = delete;

    // 0, or the error number of the last refused try.
    int create(const std::string& folder, std::string_view fileName) {
        discard();
        removeLeftOverStaging(folder, fileName);
        for (unsigned n = 0; n < kStagingTries; ++n) {
            std::string path = folder + "/" + stagingName(fileName, ::getpid(), n);
            Descriptor fd(
                ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (!fd.isOpen()) {
                if (errno == EEXIST) continue;
                return errno;
            }
            // The lock tells a later run that this file is in use.
            ::flock(fd.get(), LOCK_EX | LOCK_NB);
            file_ = std::move(fd);
            path_ = std::move(path);
            return 0;
        }
        return EEXIST;
    }

    int fd() const { return file_.get(); }
    const std::string& path() const { return path_; }
    // The file has been renamed to the target: it is no longer ours to remove.
    void keep() {
        path_.clear();
        file_.close();
    }
    void discard() {
        file_.close();
        if (!path_.empty()) ::unlink(path_.c_str());
        path_.clear();
    }

private:
    Descriptor file_;
    std::string path_;
};

// Gives the staging file the target's owner, group and mode; false when the
// system does not let us (a file of another user, a group we are not in).
bool giveOwnerAndMode(int staging, const struct stat& target) {
    struct stat staged {};
    if (::fstat(staging, &staged) != 0) return false;
    if ((staged.st_uid != target.st_uid || staged.st_gid != target.st_gid) &&
        ::fchown(staging, target.st_uid, target.st_gid) != 0) {
        return false;
    }
    // After the owner: changing it may clear the set-id bits.
    if (::fchmod(staging, target.st_mode & 07777) != 0) return false;
    return ::fstat(staging, &staged) == 0 && staged.st_uid == target.st_uid &&
           staged.st_gid == target.st_gid && (staged.st_mode & 07777) == (target.st_mode & 07777);
}

// Copies the complete staged content into the target; 0 or the error number.
int copyInto(int target, bool regular, int staging, std::uint64_t length) {
    if (regular) {
        // A write beyond the file-size limit would stop half way.
        rlimit limit{};
        if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
            length > limit.rlim_cur) {
            return EFBIG;
        }
#ifdef __linux__
        // Room for the whole content first, so that the copy cannot run out
        // of it half way; file systems that cannot reserve room go on without.
        if (length > 0 &&
            ::fallocate(target, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) != 0 &&
            errno != EOPNOTSUPP && errno != ENOSYS) {
            return errno;
        }
#endif
        if (::lseek(target, 0, SEEK_SET) != 0) return errno;
    }
    std::vector<char> piece(64 * 1024);
    std::uint64_t offset = 0;
    while (offset < length) {
        const ssize_t got =
            ::pread(staging, piece.data(), piece.size(), static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got < 0 ? errno : EIO;
        if (const int err = writeAll(target, piece.data(), static_cast<std::size_t>(got)); err != 0)
            return err;
        offset += static_cast<std::uint64_t>(got);
    }
    if (regular) {
        if (::ftruncate(target, static_cast<off_t>(length)) != 0) return errno;
        if (::fsync(target) != 0) return errno;
    }
    return 0;
}

} // namespace

std::error_code replaceFileContent(const fs::path& file,
                                   const std::function<void(std::ostream&)>& write) {
    const std::string requested = file.string();
    if (requested.empty()) return systemError(ENOENT);

    // What the path names, with every link followed by the system (which
    // also follows the links of /proc, such as /dev/stdout).
    struct stat st {};
    const bool exists = ::stat(requested.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) return systemError(errno);
    if (exists && S_ISDIR(st.st_mode)) return systemError(EISDIR);
    Descriptor target;
    if (exists) {
        target = openForWriting(requested);
        if (!target.isOpen()) return systemError(errno);
        if (::fstat(target.get(), &st) != 0) return systemError(errno);
    }
    const bool regular = !exists || S_ISREG(st.st_mode);
    // A file that may be renamed over is named by the end of its links.
    std::string path = requested;
    if (regular && !followLinks(requested, path)) return systemError(ELOOP);
    const std::string name = nameOf(path);

    StagingFile staging;
    const int besideError = regular ? staging.create(folderOf(path), name) : EPERM;
    const bool beside = besideError == 0;
    if (!beside) {
        // A new file needs its folder; an existing one is written in place.
        if (!exists || (regular && !isFolderRefusal(besideError))) return systemError(besideError);
        if (const int err = staging.create(systemTempFolder(), name); err != 0)
            return systemError(err);
    }
    const bool inPlace =
        exists && (!beside || st.st_nlink != 1 || !giveOwnerAndMode(staging.fd(), st));

    // The whole new content, on the disk, before anything else changes.
    DescriptorBuffer buffer(staging.fd());
    {
        std::ostream out(&buffer);
        write(out);
        out.flush();
        if (buffer.error() != 0) return systemError(buffer.error());
        if (!out) return systemError(EIO);
    }
    if (::fsync(staging.fd()) != 0) return systemError(errno);
    struct stat staged {};
    if (::fstat(staging.fd(), &staged) != 0) return systemError(errno);
    if (static_cast<std::uint64_t>(staged.st_size) != buffer.written()) return systemError(EIO);

    if (inPlace) {
        if (const int err = copyInto(target.get(), regular, staging.fd(), buffer.written()))
            return systemError(err);
        if (const int err = target.close()) return systemError(err);
        return {};
    }
    target.close();
    if (::rename(staging.path().c_str(), path.c_str()) != 0) return systemError(errno);
    staging.keep();
    // The new name itself made durable.
    const Descriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen()) ::fsync(folder.get());
    return {};
}

#endif

} // namespace xls2qdp
