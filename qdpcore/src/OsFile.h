// SPDX-License-Identifier: MIT
// A file descriptor owned for its lifetime, with the few operations the
// library needs; write errors are mapped to result codes in one place.
#pragma once

#include "ByteSink.h"
#include "Result.h"

#include <cstdint>
#include <span>
#include <string>

namespace qdp {

class OsFile {
public:
    OsFile() = default;
    explicit OsFile(int fd) : fd_(fd) {}
    ~OsFile() { close(); }
    OsFile(OsFile&& other) noexcept : fd_(other.release()) {}
    OsFile& operator=(OsFile&& other) noexcept;
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    // Opening modes; all binary, created files get read and write permission.
    static OsFile openRead(const std::string& path);
    static OsFile createNew(const std::string& path);        // fails when it exists
    static OsFile createOrTruncate(const std::string& path); // write only
    // An existing file (or device, or FIFO) for writing, neither created nor
    // truncated; opening never waits for a FIFO's reader.
    static OsFile openForWriting(const std::string& path);

    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    [[nodiscard]] int fd() const { return fd_; }
    int release() noexcept {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // 0 on success, else the error number.
    int close();

    // All bytes or the mapped error (42 when not open).
    [[nodiscard]] Result writeAll(std::span<const char> bytes);
    // Reads until the buffer is full or the end of the file; -1 on error.
    [[nodiscard]] std::int64_t readFull(std::span<char> buffer);
    [[nodiscard]] std::int64_t readAt(std::span<char> buffer, std::uint64_t offset);
    // Appends length bytes of source from offset on to this file at its
    // position, copied by the system without passing through the process,
    // where it can (Linux); copied tells how many. Ok with fewer (none where
    // the system cannot copy between these files): the caller writes the
    // rest. A failed write gives its mapped error, as writeAll does.
    [[nodiscard]] Result appendCopyOf(OsFile& source, std::uint64_t offset, std::uint64_t length,
                                      std::uint64_t& copied);
    // Cuts the file back to length and continues writing there.
    bool truncateTo(std::uint64_t length);
    // 0 when the data is on the disk, else the error number.
    int sync();
    // Takes an exclusive lock on the file without waiting; it lasts until
    // the file is closed (or its process ends). Temporary files are locked
    // while in use, so that no other process takes them for left-overs.
    bool tryLock();

private:
    int fd_ = -1;
};

// The output file of a save as a sink.
class FileSink final : public ByteSink {
public:
    explicit FileSink(OsFile& file) : file_(file) {}
    Result write(std::span<const char> bytes) override { return file_.writeAll(bytes); }
    Result copyFrom(OsFile& source, std::uint64_t offset, std::uint64_t length,
                    std::uint64_t& copied) override {
        return file_.appendCopyOf(source, offset, length, copied);
    }

private:
    OsFile& file_;
};

bool fileExists(const std::string& path);
void removeFile(const std::string& path);
// Moves from over to, replacing it; 0 or the error number. Both files must
// be closed on Windows.
int replaceFile(const std::string& from, const std::string& to);
#if defined(_WIN32)
// The error number that stands for a Windows error code.
int errnoFromWindowsError(unsigned long error);
#endif

} // namespace qdp
