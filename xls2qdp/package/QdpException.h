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
        : std::runtime_error(text), m_code(code) {}
    // The result code the text was made from.
    std::int32_t code() const noexcept { return m_code; }

private:
    std::int32_t m_code;
};

} // namespace xls2qdp
