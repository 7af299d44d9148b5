// SPDX-License-Identifier: MIT
// Where the writer's bytes go: the output file in the library, a buffer or a
// failing device in tests.
#pragma once

#include "Result.h"

#include <cstdint>
#include <span>
#include <string>

namespace qdp {

class OsFile;

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all bytes or reports why not (42, 25 or 49).
    [[nodiscard]] virtual Result write(std::span<const char> bytes) = 0;
    // Writes length bytes of source from offset on, as far as the system
    // can copy them between the files itself; copied tells how many were
    // written (the caller writes the rest), the result is a write's. By
    // default none: the caller reads and writes them all.
    [[nodiscard]] virtual Result copyFrom(OsFile& source, std::uint64_t offset,
                                          std::uint64_t length, std::uint64_t& copied) {
        (void)source;
        (void)offset;
        (void)length;
        copied = 0;
        return Result::Ok;
    }
};

// Collects everything in memory.
class StringSink final : public ByteSink {
public:
    Result write(std::span<const char> bytes) override {
        data.append(bytes.data(), bytes.size());
        return Result::Ok;
    }
    std::string data;
};

} // namespace qdp
