// SPDX-License-Identifier: MIT
// The workbook file, opened once for all the reading. It is opened without
// waiting (a FIFO or a device would otherwise block until someone writes to
// it) and kept only when its descriptor says it is a regular file; every
// reader then reads through that descriptor, so the file checked is the file
// read.
#pragma once

#include <cstddef>
#include <filesystem>

namespace xls2qdp {

class WorkbookFile {
public:
    // Throws WorkbookError naming file: missing, unreadable, or not a
    // regular file (a folder, a FIFO, a device), each with its own reason.
    explicit WorkbookFile(const std::filesystem::path& file);
    ~WorkbookFile();
    WorkbookFile(WorkbookFile&& other) noexcept;
    WorkbookFile& operator=(WorkbookFile&&) = delete;
    WorkbookFile(const WorkbookFile&) = delete;
    WorkbookFile& operator=(const WorkbookFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A new descriptor of the same open file, for a library that closes
    // what it is given; the caller owns it.
    int duplicate() const;

    // Reads up to size bytes from the current position; 0 at the end.
    // Throws WorkbookError when reading fails.
    std::size_t read(char* buffer, std::size_t size);
    // Goes back to offset from the start.
    void seek(long long offset);

private:
    std::filesystem::path path_;
    int fd_ = -1;
};

} // namespace xls2qdp
