// SPDX-License-Identifier: MIT
// Numbered backup copies: data.db is copied to the first free name among
// data.db.001 to data.db.999. The copy never overwrites an existing file.
#pragma once

#include <string>

namespace upkeep {

inline constexpr int kMaxBackupNumber = 999;

// The name of backup number n (1 to 999) of a file ("data.db", 3: "data.db.003").
[[nodiscard]] inline std::string backupName(const std::string& file, int number) {
    const auto digits = std::to_string(number);
    return file + '.' + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

// Copies an existing file (given with its full path) to its first free backup
// name, then clears the source's attributes that would hinder replacing it:
// on Windows read-only, hidden, system and archive; elsewhere the file is made
// writable by its owner and otherwise left as it is. The attributes are
// cleared whether or not the copy worked, but not when all 999 names are
// taken (no copy was tried: the source stays untouched). False when the file
// does not exist, all 999 names are taken or the copy failed (a partial copy
// is removed).
[[nodiscard]] bool backupFile(const std::string& file);

} // namespace upkeep
