// SPDX-License-Identifier: MIT
// How much text one cell may carry. A spreadsheet cell holds at most 32,767
// characters; a longer text in a file is cut there (and the cell says so),
// so that a file made of one endless text costs no more than a full cell.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xls2qdp {

inline constexpr std::size_t kMaxCellCharacters = 32'767;
// Raw text gathered for one cell before it is decoded stops at this many
// bytes: enough for 32,767 characters written as 7-byte escapes (_xHHHH_).
inline constexpr std::size_t kMaxCellBytes = 256 * 1024;

// Appends piece to text up to kMaxCellBytes; true when some was left out.
bool appendCellBytes(std::string& text, std::string_view piece);

// Cuts UTF-8 text after kMaxCellCharacters characters; true when it was longer.
bool cutToCellLength(std::string& text);

} // namespace xls2qdp
