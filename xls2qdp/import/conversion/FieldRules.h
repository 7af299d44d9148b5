// SPDX-License-Identifier: MIT
// The value rules of a declaration row that do not need a dictionary.
#pragma once

#include "declarations/WorkingTableCursor.h"

#include <optional>
#include <string>
#include <string_view>

namespace xls2qdp {

// Date rule: a cell text in the program's date format, day, month and year
// separated by "-" ("05-03-1960"; one-digit day or month is accepted as the
// date format's reading does, the year has four digits). Anything else,
// including an impossible day, gives nullopt.
std::optional<CalendarDate> parseSheetDate(std::string_view text);

// Postal-code rule: 6 characters stay as they are, 5 become "12-345", any
// other length gives nullopt. Lengths count characters, not bytes.
std::optional<std::string> convertPostalCode(std::string_view text);

// School-year rule for columns L and M: L exactly "S" or "U" and M (trimmed)
// not empty make M the year Y in which the school year starts.
struct SchoolYearDates {
    bool applies = false;              // L and M asked for the rule
    std::optional<CalendarDate> from;  // 1 October Y
    std::optional<CalendarDate> until; // 30 June Y+1
};
SchoolYearDates schoolYearDates(std::string_view columnL, std::string_view columnM);

} // namespace xls2qdp
