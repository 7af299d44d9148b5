// SPDX-License-Identifier: MIT
// What the library's result codes mean, for the tool's error lines.
#pragma once

#include <cstdint>
#include <string_view>

namespace qdpdump {

// Codes of the package library (reading calls).
std::string_view packageResultText(std::int32_t code);
// Codes of the cipher calls, which hand on the encryption layer's codes.
std::string_view cipherResultText(std::int32_t code);

} // namespace qdpdump
