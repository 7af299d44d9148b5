// SPDX-License-Identifier: MIT
// Replacing the whole content of a file (the package file of SaveC) so that
// no save ever destroys a file, a link, a device or an owner:
//  - a symbolic link is followed to the file it finally names; that file is
//    replaced and every link stays a link;
//  - the target must be writable by us; otherwise nothing is touched;
//  - a regular file with one link, in a folder where we may create files,
//    whose mode, owner and group a new file can keep (a new target: always),
//    is replaced by renaming the complete new file over it, flushed to the
//    disk first when it replaces an existing file;
//  - anything else (a file with several links, a device, a FIFO, a folder
//    where we may not create files, an owner or group we cannot give a new
//    file) is written in place: the new content is first written and checked
//    in a staging file (beside the target when we may create files there,
//    else in the system's temporary folder), then copied into the target. A
//    regular target has room for it reserved first and is cut to the new
//    length only after it is written, so nothing is truncated before the new
//    content is complete;
//  - the staging file takes a name no file has (TempNames.h), is locked
//    while it lives, and is removed on every path.
#pragma once

#include "ByteSink.h"
#include "OsFile.h"
#include "Result.h"

#include <cstdint>
#include <string>

namespace qdp {

class FileReplacement {
public:
    FileReplacement() : sink_(*this) {}
    ~FileReplacement() { abandon(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Finds the file that path names, checks that it can be written and
    // opens the staging file. Nothing is changed yet. 22 when the target is
    // a folder, cannot be written, or has no folder; 22 too when no staging
    // file can be made.
    [[nodiscard]] Result begin(const std::string& path);
    // Where the new content goes, after a successful begin.
    [[nodiscard]] ByteSink& content() { return sink_; }
    // Puts the complete new content in place: 1, or 42, 25, 49 as for any
    // write, 73 when the target's folder disappeared in the meantime.
    [[nodiscard]] Result commit();
    // Removes the staging file; the target stays as it was.
    void abandon();

    // The path of the file that is replaced (links followed).
    [[nodiscard]] const std::string& target() const { return target_; }

private:
    class StagingSink final : public ByteSink {
    public:
        explicit StagingSink(FileReplacement& owner) : owner_(owner) {}
        Result write(std::span<const char> bytes) override;
        Result copyFrom(OsFile& source, std::uint64_t offset, std::uint64_t length,
                        std::uint64_t& copied) override;

    private:
        FileReplacement& owner_;
    };

    [[nodiscard]] bool createStaging(const std::string& folder, const std::string& name,
                                     int& error);
    [[nodiscard]] bool keepsOwnerAndMode() const;
    [[nodiscard]] Result writeInPlace();

    std::string target_;
    bool targetExists_ = false;
    bool targetIsRegular_ = false;
    bool inPlace_ = false;
    OsFile targetFile_; // opened for writing: the check of the rights, and the in-place write
    std::string stagingPath_;
    OsFile staging_;
    std::uint64_t written_ = 0;
    StagingSink sink_;
};

} // namespace qdp
