// SPDX-License-Identifier: MIT
// The PESEL, the Polish personal identification number: eleven digits, the
// first six the date of birth (the month raised by 20 for 2000-2099, by 40
// for 2100-2199, by 60 for 2200-2299, by 80 for 1800-1899), the last a check
// digit over the first ten.
#pragma once

#include "declarations/WorkingTableCursor.h"
#include "import/sheets/CellValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace xls2qdp {

// What the import writes for a patient without a PESEL.
inline constexpr std::string_view kNoPesel = "00000000000";

// True for eleven digits whose check digit is right.
bool hasPeselChecksum(std::string_view pesel);

// The date of birth a PESEL holds, or nullopt when its first six digits are
// no date (or the text is not eleven digits).
std::optional<CalendarDate> peselBirthDate(std::string_view pesel);

// A PESEL typed into a number cell comes out without its leading zeros
// (02270803628 as 2270803628). The eleven digits when the cell was a number
// of fewer digits and the zeros put back make a PESEL with a right check
// digit; otherwise nullopt.
std::optional<std::string> restoredPesel(std::string_view text, CellKind kind);

// Empty when the text is a PESEL (eleven digits, right check digit, a real
// date of birth), otherwise what is wrong, in Polish ("ma 10 cyfr zamiast
// 11").
std::string peselProblem(std::string_view text);

} // namespace xls2qdp
