// SPDX-License-Identifier: MIT
// One change to the text of an INI file, made the way the Windows profile
// functions make it: section and entry names compare without regard to case
// and surrounding blanks, the first matching section and entry count, and
// only the lines of the entry or section concerned change. Every other byte of
// the file (comments, blank lines, line endings, a UTF-8 byte-order mark)
// stays as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace upkeep {

// With an entry and a value: writes "entry=value" (replacing the entry's line,
// else after the section's last line, else in a new section at the end).
// With an entry and no value: deletes the entry's line.
// With no entry: deletes the section's header and every line up to the next one.
// Returns the new text; it equals the old one when nothing was to be deleted.
[[nodiscard]] std::string applyProfileWrite(std::string_view text, std::string_view section,
                                            std::optional<std::string_view> entry,
                                            std::optional<std::string_view> value);

} // namespace upkeep
