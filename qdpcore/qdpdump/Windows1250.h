// SPDX-License-Identifier: MIT
// Texts inside packages are Windows-1250 bytes; the tool shows them in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace qdpdump {

// Every byte becomes its character; the five bytes Windows-1250 leaves
// undefined become U+FFFD, so nothing is dropped silently.
std::string utf8FromWindows1250(std::string_view bytes);

} // namespace qdpdump
