// SPDX-License-Identifier: MIT
#include "PackageDump.h"
#include "Windows1250.h"

#include <algorithm>

namespace qdpdump {

std::string displayValue(std::string_view fieldBytes) {
    const std::string_view text = fieldBytes.substr(0, fieldBytes.find('\0'));
    const bool binary = std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
    if (!binary) return utf8FromWindows1250(text);
    std::string_view bytes = fieldBytes;
    while (!bytes.empty() && bytes.back() == '\0')
        bytes.remove_suffix(1);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex = "0x";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0xF];
    }
    return hex;
}

} // namespace qdpdump
