// SPDX-License-Identifier: MIT
// The value rules of a declaration row that do not need a dictionary.
#pragma once

#include "declarations/WorkingTableCursor.h"
#include "import/sheets/CellValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace xls2qdp {

// Date rule: a cell text in the program's date format, day, month and year
// separated by "-" ("05-03-1960"), or in the other full forms clinics type
// and Polish spreadsheets save as text: "05.03.1960", "05/03/1960" (the day
// first), "1960-03-05" and "1960.03.05". A day or month may have one digit,
// the year has four, both separators are the same. Anything else, including
// an impossible day, gives nullopt.
std::optional<CalendarDate> parseSheetDate(std::string_view text);

// Postal-code rule: 6 characters stay as they are, 5 become "12-345", any
// other length gives nullopt. Lengths count characters, not bytes. Four
// digits from a number cell ("03-470" kept by the spreadsheet as 3470) get
// their leading zero back.
std::optional<std::string> convertPostalCode(std::string_view text, CellKind kind = CellKind::Text);

// School-year rule for columns L and M: L exactly "S" or "U" and M (trimmed)
// not empty make M the year Y in which the school year starts.
struct SchoolYearDates {
    bool applies = false;              // L and M asked for the rule
    std::optional<CalendarDate> from;  // 1 October Y
    std::optional<CalendarDate> until; // 30 June Y+1
};
SchoolYearDates schoolYearDates(std::string_view columnL, std::string_view columnM);

} // namespace xls2qdp
