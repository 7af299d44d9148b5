// SPDX-License-Identifier: MIT
// Reading one value of an INI file the way the Windows profile functions
// find it: a UTF-8 mark at the start is skipped, lines starting with ";" are
// comments, section and key names match without regard to case and without
// the blanks around them, the first match wins, and a missing file, section
// or key gives the default. The same rules on every platform, for every INI
// file the importer reads.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace xls2qdp {

// The value exactly as written after the "=" (blanks included): the
// importer's settings are used as read and only their checks trim them.
std::string readIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue = {});

// The value as the profile functions hand it over: without blanks and
// control characters around it and without one pair of surrounding quotes
// (" or ').
std::string readIniValue(const std::filesystem::path& file, std::string_view section,
                         std::string_view key, std::string_view defaultValue = {});

} // namespace xls2qdp
