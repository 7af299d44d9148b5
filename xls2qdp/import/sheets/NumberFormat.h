// SPDX-License-Identifier: MIT
// What a cell's number format says about its number: whether .xlsx and .xls
// cells hold a date (the files store dates as plain numbers and leave the
// rest to the format).
#pragma once

#include <string_view>

namespace xls2qdp {

enum class NumberFormatKind { Number, DateTime, Boolean };

// Built-in format numbers shared by .xlsx and .xls (14 = short date, ...).
NumberFormatKind BuiltInNumberFormatKind(int id);
// A format code such as "dd\-mm\-yyyy" or "0.00\ [$zł]".
NumberFormatKind NumberFormatCodeKind(std::string_view code);

} // namespace xls2qdp
