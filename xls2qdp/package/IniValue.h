// SPDX-License-Identifier: MIT
// Reading one value of an INI file the way the Windows profile functions do:
// section and key names without regard to case, the value trimmed and one
// pair of surrounding quotes removed, the default when anything is missing.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace xls2qdp {

std::string readIniValue(const std::filesystem::path& file, std::string_view section,
                         std::string_view key, std::string_view defaultValue);

} // namespace xls2qdp
