// SPDX-License-Identifier: MIT
// The tool's command line, read into one plain record. Arguments are read left
// to right; each may start with "/" or "-"; operation words and parameter
// prefixes are recognised in any case, values keep their case.
#pragma once

#include "RegistryRoot.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace upkeep {

enum class Operation { None, DelKey, SetKey, DelIni, SetIni, Backup, RunErr, Help, Version, Error };

struct Command {
    Operation operation = Operation::None;
    std::string key;     // KEY: as given
    std::string name;    // NAME:, or for SETKEY the value name taken from KEY:
    std::string value;   // VALUE:
    std::string file;    // FILE: or BACKUP:
    std::string section; // SECTION:
    std::uint16_t errorlevel = 0;
    // DELKEY and SETKEY: the root and the path below it ("\Software\Firm").
    RegistryRoot root = RegistryRoot::CurrentUser;
    std::string keyPath;
    std::string errorText; // set when operation is Error
};

[[nodiscard]] Command parseCommandLine(std::span<const std::string> arguments);

// A signed 32-bit number: leading blanks, an optional sign, then decimal
// digits or hexadecimal ones after "$", "x", "X" or "0x". Hexadecimal numbers
// may use all 32 bits ("$FFFFFFFF" is -1). Nullopt when malformed or too big.
[[nodiscard]] std::optional<std::int32_t> parseErrorlevel(std::string_view text);

} // namespace upkeep
