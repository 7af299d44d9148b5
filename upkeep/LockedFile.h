// SPDX-License-Identifier: MIT
// An INI or registry file while one run edits it. The file is found by
// following symbolic links, opened without waiting (a FIFO or a device never
// blocks the run), checked on the opened descriptor to be a regular file,
// and locked on itself for the life of the object, so that concurrent runs
// edit it one after the other and each keeps the others' changes. Reading
// and locking need no write right to the file or its folder; only a change
// (replace) needs one. Opening also removes the staging files that killed
// runs left beside the file (StaleFiles.h).
#pragma once

#include "SystemFailure.h"

#include <string>
#include <string_view>

namespace upkeep {

class LockedFile {
public:
    enum class IfMissing { Skip, Create };

    // With IfMissing::Skip a missing file gives an object without a file;
    // with IfMissing::Create an empty file is made (and removed again by
    // the destructor when nothing was written into it). Throws
    // NotRegularFile, and SystemFailure when the file cannot be opened,
    // read or locked.
    LockedFile(const std::string& path, IfMissing ifMissing);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    [[nodiscard]] bool exists() const { return fd_ >= 0; }
    // The file itself, links followed.
    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] const std::string& contents() const { return contents_; }

    // Replaces the file's content by the rules of FileReplacement.h; throws
    // SystemFailure, the file then keeping its content.
    void replace(std::string_view newContents);

private:
    std::string path_;
    int fd_ = -1;
    bool created_ = false;
    bool replaced_ = false;
    std::string contents_;
};

} // namespace upkeep
