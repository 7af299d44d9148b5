// SPDX-License-Identifier: MIT
// Unique names for the library's temporary files.
//
// A name is a folder prefix, a two-letter template start, one letter a..z
// and five digits of the process id. Each template picks the first letter
// for which no file exists; when that letter is z, the template's second
// letter moves on for all later names (so "CA" becomes "CB"), which keeps
// later sections from running out of letters.
#pragma once

#include "Result.h"

#include <string>

namespace qdp {

class NameTemplate {
public:
    NameTemplate(char first, char second) : first_(first), second_(second) {}

    // A name not taken yet in folder; TempFileFailed when all 26 are taken.
    [[nodiscard]] Result makeName(const std::string& folder, std::string& name);
    // The same choice for a template that never moves on.
    [[nodiscard]] Result makeFixedName(const std::string& folder, std::string& name) const;

    [[nodiscard]] char secondLetter() const { return second_; }

private:
    [[nodiscard]] Result pick(const std::string& folder, std::string& name, char& letter) const;

    char first_;
    char second_;
};

// Process-wide templates of record files, blob files and the folder test.
NameTemplate& recordFileTemplate();
NameTemplate& blobFileTemplate();
NameTemplate& folderTestTemplate();

// Length of a name without its folder.
inline constexpr std::size_t kTempNameLength = 8;

} // namespace qdp
