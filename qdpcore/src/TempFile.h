// SPDX-License-Identifier: MIT
// A section's temporary file (records or blob data): created in the
// temporary folder, appended to while records are added, copied into the
// package file when saving, and deleted with its owner on every path.
#pragma once

#include "ByteSink.h"
#include "OsFile.h"
#include "Result.h"
#include "TempNames.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qdp {

class TempFile {
public:
    TempFile() = default;
    ~TempFile() { discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Creates a new file in folder with a name from the template and locks
    // it (45; 73 when the folder does not exist).
    [[nodiscard]] Result create(const std::string& folder, NameTemplate& nameTemplate);

    [[nodiscard]] bool isOpen() const { return file_.isOpen(); }
    [[nodiscard]] const std::string& path() const { return path_; }
    // Bytes appended so far, written or still buffered.
    [[nodiscard]] std::uint64_t size() const { return written_ + pending_.size(); }

    // Appends bytes. They are gathered in memory and written a buffer at a
    // time, so a write error (a full disk) is returned by a later append or
    // by copyTo; buffered bytes are never dropped by a failed write, which
    // is tried again at the next one.
    [[nodiscard]] Result append(std::span<const char> bytes);
    // Drops everything after length (undoing a failed record).
    void truncateTo(std::uint64_t length);
    // Copies the whole content into sink in pieces of the buffer's size;
    // the write error of the buffered bytes, else 42 when the file is not
    // open or cannot be read back.
    [[nodiscard]] Result copyTo(ByteSink& sink, std::span<char> buffer);

    // Closes and deletes the file.
    void discard();

private:
    // Writes the buffered bytes; on failure cuts off whatever part of them
    // reached the file and keeps them all buffered.
    [[nodiscard]] Result flush();

    OsFile file_;
    std::string path_;
    std::uint64_t written_ = 0; // bytes in the file
    std::vector<char> pending_; // bytes after them, not yet written
};

} // namespace qdp
