// SPDX-License-Identifier: MIT
// The texts the import reads from cells. Every reader (.xlsx, .ods, .xls,
// .csv) yields CellValues and these functions turn them into the same texts,
// whatever the format:
//   empty cell           ""
//   whole number         its digits, "-" when negative ("1234")
//   other number         at most 15 significant digits, shortest form,
//                        decimal comma; exponent form only from 1E15 up and
//                        below 0,0001 ("0,25", "0,333333333333333", "1E20",
//                        "1E-7")
//   date                 "dd-mm-yyyy", with a time of day "dd-mm-yyyy hh:nn:ss",
//                        a time alone (day 0) "hh:nn:ss"
//   text                 as it is
//   boolean              "PRAWDA" / "FAŁSZ", as a Polish spreadsheet shows them
//   error value          "" (the caller reports the cell, see errorValueName)
//   formula, no result   "" (the caller reports the cell)
// Formula cells arrive as their stored result and follow the same rules.
#pragma once

#include "CellValue.h"

#include <string>
#include <string_view>

namespace xls2qdp {

std::string formatNumber(double value);
// Days since 30-12-1899; a value outside 01-01-0100 .. 31-12-9999 is written as a number.
std::string formatDateTime(double days);
std::string cellText(const CellValue& cell);

// Trims blanks and control characters at both ends (Unicode spaces too, see
// trimUnicodeBlanks), turns every LF into a
// blank, then replaces each pair of blanks by one in a single left-to-right
// pass (four blanks become two).
std::string NormalizeCellText(std::string_view text);
// The same into out, reusing its memory (the read loop calls it per cell).
void normalizeCellTextInto(std::string& out, std::string_view text);
// The cell's text (cellText) normalized, into out: what the import reads
// from the cell.
void normalizedCellTextInto(std::string& out, const CellValue& cell);

// The Polish name under which a spreadsheet shows an error code stored in a
// file ("#DIV/0!" -> "#DZIEL/0!"); unknown codes come back unchanged.
std::string errorValueName(std::string_view storedCode);

// The letters of a column as a spreadsheet names it: "A" for 0, "AL" for 37.
std::string columnLetters(int columnIndex);

} // namespace xls2qdp
