// SPDX-License-Identifier: MIT
// Dates as every "D" field of a package holds them.
#pragma once

#include <string>

namespace xls2qdp {

// Four-digit year, two-digit month and day joined by full stops: 2004.03.15.
// The full stops are fixed, whatever the system's date separator is.
std::string fFormatDate(int year, int month, int day);
// The same into out (replacing its content, keeping its storage).
void fFormatDateInto(int year, int month, int day, std::string& out);

} // namespace xls2qdp
