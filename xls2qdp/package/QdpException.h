// SPDX-License-Identifier: MIT
// The one exception the package layer throws: a library failure while a
// field definition or a record was added. what() is the Polish text (UTF-8).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace xls2qdp {

class QdpException : public std::runtime_error {
public:
    QdpException(std::int32_t code, const std::string& text)
        : std::runtime_error(text), code_(code) {}
    // The result code the text was made from.
    std::int32_t code() const noexcept { return code_; }

private:
    std::int32_t code_;
};

} // namespace xls2qdp
