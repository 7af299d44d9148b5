// SPDX-License-Identifier: MIT
// One change to the text of an INI file, made the way the Windows profile
// functions make it: section and entry names compare without regard to case
// (Polish letters too) and surrounding blanks, the first matching section and
// entry count, and only the lines of the entry or section concerned change.
// Every other byte of the file (comments, blank lines, line endings, a UTF-8
// byte-order mark) stays as it was.
//
// A file is read in one encoding, decided once from its whole text: UTF-8
// when it starts with a UTF-8 byte-order mark or is valid UTF-8 throughout
// (a new or ASCII file too), else Windows-1250, the code page of files
// written on Polish Windows. Section, entry and value given to the tool are
// UTF-8 (bytes that are not valid UTF-8 are taken as Windows-1250), and are
// written in the file's encoding.
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
// Throws SystemFailure when a text to write has a character the file's
// encoding cannot hold.
[[nodiscard]] std::string applyProfileWrite(std::string_view text, std::string_view section,
                                            std::optional<std::string_view> entry,
                                            std::optional<std::string_view> value);

} // namespace upkeep
