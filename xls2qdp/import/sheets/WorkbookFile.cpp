// SPDX-License-Identifier: MIT
#include "WorkbookFile.h"

#include "WorkbookError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xls2qdp {

namespace {

const char* const kCannotOpen = "nie można otworzyć pliku (brak dostępu lub plik zajęty).";

} // namespace

WorkbookFile::WorkbookFile(const std::filesystem::path& file) : path_(file) {
    do
        fd_ = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        switch (errno) {
        case ENOENT:
        case ENOTDIR:
            throw WorkbookError(file, "plik nie istnieje.");
        case ENXIO: // a socket, or a device without its hardware
            throw WorkbookError(file, "to nie jest zwykły plik, a skoroszyt musi nim być.");
        default:
            throw WorkbookError(file, kCannotOpen);
        }
    }
    struct stat info {};
    const char* reason = nullptr;
    if (::fstat(fd_, &info) != 0)
        reason = kCannotOpen;
    else if (S_ISDIR(info.st_mode))
        reason = "to jest katalog, a nie plik.";
    else if (S_ISFIFO(info.st_mode))
        reason = "to potok (FIFO), a nie plik. Wskaż plik skoroszytu zapisany na dysku.";
    else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        reason = "to urządzenie, a nie plik. Wskaż plik skoroszytu zapisany na dysku.";
    else if (!S_ISREG(info.st_mode))
        reason = "to nie jest zwykły plik, a skoroszyt musi nim być.";
    if (reason) {
        ::close(fd_);
        throw WorkbookError(file, reason);
    }
    // A regular file never blocks; reads go on as usual.
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

WorkbookFile::~WorkbookFile() {
    if (fd_ >= 0) ::close(fd_);
}

WorkbookFile::WorkbookFile(WorkbookFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(other.fd_) {
    other.fd_ = -1;
}

int WorkbookFile::duplicate() const {
    const int fd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) throw WorkbookError(path_, kCannotOpen);
    return fd;
}

std::size_t WorkbookFile::read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) throw WorkbookError(path_, "błąd odczytu pliku.");
    }
}

void WorkbookFile::seek(long long offset) {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
        throw WorkbookError(path_, "błąd odczytu pliku.");
}

} // namespace xls2qdp
