// SPDX-License-Identifier: MIT
// Where the writer's bytes go: the output file in the library, a buffer or a
// failing device in tests.
#pragma once

#include "Result.h"

#include <span>
#include <string>

namespace qdp {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all bytes or reports why not (42, 25 or 49).
    [[nodiscard]] virtual Result write(std::span<const char> bytes) = 0;
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
