// SPDX-License-Identifier: MIT
// Unique names for the library's temporary files.
//
// A section's file name is a folder prefix, a two-letter template start, one
// letter a..z and five digits of the process id. Each template picks the
// first letter for which no file exists; when that letter is z, the
// template's second letter moves on for all later names (so "CA" becomes
// "CB"), which keeps later sections from running out of letters.
//
// The new content of a saved file is staged under "<file name>~<process
// id>-<n>.qdptmp". Both kinds of names tell which process made them, so that
// the files a killed process left behind can be found (see StaleFiles.h).
#pragma once

#include "Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// The staging name (without folder) of the n-th try for fileName.
std::string stagingName(std::string_view fileName, unsigned n);

// The process a temporary file name points to: its whole id for a staging
// file, its last five digits for a section's file.
struct NameOwner {
    std::uint64_t process = 0;
    bool lastFiveDigits = false;
};
// The owner when name is one the library makes for a temporary file.
std::optional<NameOwner> temporaryNameOwner(std::string_view name);

} // namespace qdp
