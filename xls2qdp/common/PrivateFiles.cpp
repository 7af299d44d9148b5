// SPDX-License-Identifier: MIT
#include "PrivateFiles.h"

#include <cerrno>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace xls2qdp {

namespace fs = std::filesystem;

namespace {

// Takes the rights of its group and others from a file or folder of ours;
// one of another user (a shared folder) is left as it is.
void removeOthersRights(const fs::path& path) {
#ifndef _WIN32
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || st.st_uid != ::geteuid()) return;
    if ((st.st_mode & 077) != 0) ::chmod(path.c_str(), st.st_mode & 07700);
#else
    (void)path;
#endif
}

} // namespace

void keepNewFilesPrivate() {
#ifndef _WIN32
    ::umask(::umask(077) | 077);
#endif
}

void makePrivateFolder(const fs::path& folder) {
    if (folder.has_parent_path()) fs::create_directories(folder.parent_path());
#ifndef _WIN32
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw fs::filesystem_error("mkdir", folder,
                                   std::error_code(errno, std::generic_category()));
#endif
    fs::create_directory(folder);
    removeOthersRights(folder);
}

void makePrivateFile(const fs::path& file) {
    removeOthersRights(file);
}

} // namespace xls2qdp
