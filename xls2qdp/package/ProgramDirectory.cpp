// SPDX-License-Identifier: MIT
#include "package/ProgramDirectory.h"

#include "common/Text.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace xls2qdp {

std::string programDirectory() {
    std::error_code ec;
    std::filesystem::path exe;
#ifdef _WIN32
    wchar_t buffer[32768];
    DWORD length = GetModuleFileNameW(nullptr, buffer, 32768);
    if (length > 0 && length < 32768) exe = std::filesystem::path(std::wstring(buffer, length));
#else
    exe = std::filesystem::read_symlink("/proc/self/exe", ec);
#endif
    std::filesystem::path folder =
        exe.empty() || ec ? std::filesystem::current_path(ec) : exe.parent_path();
    auto text = folder.u8string();
    return withTrailingDelimiter(std::string(text.begin(), text.end()));
}

} // namespace xls2qdp
