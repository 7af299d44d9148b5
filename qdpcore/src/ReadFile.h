// SPDX-License-Identifier: MIT
// A package file opened for reading: positional reads through read-ahead
// windows. Records are read one after another through one window and blob
// data through another, so looking up a record's blob does not throw away
// the records read ahead.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <vector>

namespace qdp {

class ReadFile {
public:
    // Which read-ahead window serves a read.
    enum class Channel { Records, Blobs };

    ReadFile() = default;
    ReadFile(const ReadFile&) = delete;
    ReadFile& operator=(const ReadFile&) = delete;
    ReadFile(ReadFile&&) = default;
    ReadFile& operator=(ReadFile&&) = default;

    // Opens path for binary reading and takes its length; false when it
    // cannot be opened.
    [[nodiscard]] bool open(const char* path);
    // False when closing failed; the file counts as closed either way.
    [[nodiscard]] bool close();
    [[nodiscard]] bool isOpen() const { return file_ != nullptr; }
    // Length of the file when it was opened. Every read is bounded by it.
    [[nodiscard]] std::uint64_t size() const { return size_; }

    // Copies up to dst.size() bytes from position pos; returns how many were
    // copied, fewer only at the end of the file or when reading fails.
    std::size_t read(std::uint64_t pos, std::span<char> dst, Channel channel = Channel::Records);

private:
    struct Window {
        std::vector<char> bytes;
        std::uint64_t start = 0;
        std::size_t length = 0;
    };
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    std::size_t readDirect(std::uint64_t pos, std::span<char> dst);

    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
    Window records_;
    Window blobs_;
};

} // namespace qdp
