// SPDX-License-Identifier: MIT
#include "Backup.h"

#include <windows.h>

namespace upkeep {
namespace {

bool isFile(const std::string& name) {
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool exists(const std::string& name) {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool backupFile(const std::string& file) {
    if (!isFile(file)) return false;
    bool copied = false;
    bool nameFree = false;
    for (int number = 1; number <= kMaxBackupNumber; ++number) {
        const auto name = backupName(file, number);
        if (exists(name)) continue;
        // Fails rather than overwrite when another run took the name meanwhile.
        nameFree = true;
        copied = CopyFileA(file.c_str(), name.c_str(), TRUE) != 0;
        break;
    }
    // With no free name there was no backup, and the source stays untouched.
    if (!nameFree) return false;
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const DWORD cleared =
            attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesA(file.c_str(), cleared == 0 ? FILE_ATTRIBUTE_NORMAL : cleared);
    }
    return copied;
}

} // namespace upkeep
