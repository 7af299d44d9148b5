// SPDX-License-Identifier: MIT
// Reading and writing values of an INI file the way the Windows profile
// functions find them: a UTF-8 mark at the start is skipped, lines starting
// with ";" are comments, section and key names match without regard to case
// and without the blanks around them, the first match wins, and a missing
// file, section or key gives the default. The same rules on every platform,
// for every INI file the importer reads or writes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

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

// Sets keys of one section so that readIniValue gives each value back
// exactly. Everything else in the file stays as it was: other sections,
// comments, the UTF-8 mark, the line ends, the spelling of a key. A key is
// replaced where the reader finds it (its first line in the section);
// a missing key is added at the end of the section's first occurrence, a
// missing section at the end of the file, a missing file is created (with
// its folder). A value with blanks around it, or within a pair of quotes, is
// written in double quotes, which the reader takes away again. The file is
// replaced as common/FileReplacement.h says. An empty error code on success;
// invalid_argument for a value or key that a line cannot hold (a line
// break, a NUL), with nothing written.
using IniValues = std::vector<std::pair<std::string, std::string>>;
std::error_code writeIniValues(const std::filesystem::path& file, std::string_view section,
                               const IniValues& values);

} // namespace xls2qdp
