// SPDX-License-Identifier: MIT
#include "Backup.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace upkeep {
namespace {

bool copyData(int from, int to) {
    std::vector<char> buffer(256 * 1024);
    while (true) {
        auto got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        for (const char* p = buffer.data(); got > 0;) {
            const auto written = ::write(to, p, static_cast<std::size_t>(got));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return false;
            p += written;
            got -= written;
        }
    }
}

enum class Copy { Made, Failed, NoFreeName };

// Creates the copy under the first backup name that is still free. Creating it
// exclusively makes the choice safe against another run taking the same name
// at the same moment: that name is then simply skipped.
Copy copyToFreeName(const std::string& file, const struct stat& source) {
    const int from = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (from < 0) return Copy::Failed;
    Copy copied = Copy::NoFreeName;
    for (int number = 1; number <= kMaxBackupNumber; ++number) {
        const auto name = backupName(file, number);
        const int to = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (to < 0) {
            if (errno == EEXIST) continue;
            copied = Copy::Failed;
            break;
        }
        // The copy keeps the source's permissions and time of last change.
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        bool made = copyData(from, to) && ::fchmod(to, source.st_mode & 0777) == 0 &&
                    ::futimens(to, times) == 0 && ::fsync(to) == 0;
        made = ::close(to) == 0 && made;
        if (!made) ::unlink(name.c_str());
        copied = made ? Copy::Made : Copy::Failed;
        break;
    }
    ::close(from);
    return copied;
}

} // namespace

bool backupFile(const std::string& file) {
    struct stat source {};
    if (::stat(file.c_str(), &source) != 0 || !S_ISREG(source.st_mode)) return false;
    const Copy copied = copyToFreeName(file, source);
    // With no free name there was no backup, and the source stays untouched.
    if (copied == Copy::NoFreeName) return false;
    // What stands for clearing the read-only attribute here: the owner may
    // write the file again. Nothing else about the file changes.
    if ((source.st_mode & S_IWUSR) == 0) ::chmod(file.c_str(), (source.st_mode & 07777) | S_IWUSR);
    return copied == Copy::Made;
}

} // namespace upkeep
