// SPDX-License-Identifier: MIT
// Reading one value of an INI file the way the Windows profile functions do:
// sections and keys match without regard to case, the first match wins, a
// missing file, section or key gives the default. The value is kept exactly as
// written after the "=" (blanks included), since the importer's settings are
// stored as read and only their emptiness checks trim them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace xls2qdp {

std::string readIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue = {});

} // namespace xls2qdp
