// SPDX-License-Identifier: MIT
#include "FullPath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <filesystem>
#endif

namespace upkeep {

std::string fullPathName(const std::string& file) {
#ifdef _WIN32
    const DWORD needed = GetFullPathNameA(file.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return file;
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(file.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full.empty() ? file : full;
#else
    std::error_code error;
    const auto absolute = std::filesystem::absolute(file, error);
    return error ? file : absolute.lexically_normal().string();
#endif
}

} // namespace upkeep
