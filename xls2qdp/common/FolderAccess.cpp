// SPDX-License-Identifier: MIT
#include "FolderAccess.h"

#include "FileErrorText.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace xls2qdp {

namespace fs = std::filesystem;

std::string folderWriteProblem(const fs::path& folder) {
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (status.type() == fs::file_type::not_found)
        return describeFileError(std::make_error_code(std::errc::no_such_file_or_directory));
    if (!error && status.type() != fs::file_type::directory)
        return describeFileError(std::make_error_code(std::errc::not_a_directory));

    static std::atomic<unsigned> counter{0};
    const fs::path probe =
        folder / (".xls2qdp-probe-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    errno = 0;
    // "x": the probe never replaces a file that is there.
    std::FILE* file = std::fopen(probe.string().c_str(), "wx");
    if (!file) {
        const int code = errno != 0 ? errno : EACCES;
        return describeFileError(std::error_code(code, std::generic_category()));
    }
    std::fclose(file);
    fs::remove(probe, error);
    return {};
}

} // namespace xls2qdp
