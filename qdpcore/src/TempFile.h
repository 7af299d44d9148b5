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
    [[nodiscard]] std::uint64_t size() const { return size_; }

    [[nodiscard]] Result append(std::span<const char> bytes);
    // Drops everything after length (undoing a failed record).
    void truncateTo(std::uint64_t length);
    // Copies the whole content into sink in pieces of the buffer's size;
    // 42 when the file is not open or cannot be read back.
    [[nodiscard]] Result copyTo(ByteSink& sink, std::span<char> buffer);

    // Closes and deletes the file.
    void discard();

private:
    OsFile file_;
    std::string path_;
    std::uint64_t size_ = 0;
};

} // namespace qdp
