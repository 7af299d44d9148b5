// SPDX-License-Identifier: MIT
// The input of a fuzz target as a file: an anonymous in-memory file opened by
// its /proc path, so no file is left behind and nothing touches the disk.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace xls2qdp::fuzz {

class InputFile {
public:
    InputFile() {
        fd_ = memfd_create("qdp-fuzz", 0);
        if (fd_ < 0) std::abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    void set(const std::uint8_t* data, std::size_t size) {
        if (ftruncate(fd_, 0) != 0) std::abort();
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (n <= 0) std::abort();
            done += static_cast<std::size_t>(n);
        }
    }
    void set(const std::string& bytes) {
        set(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    const char* path() const { return path_.c_str(); }

private:
    int fd_ = -1;
    std::string path_;
};

} // namespace xls2qdp::fuzz
