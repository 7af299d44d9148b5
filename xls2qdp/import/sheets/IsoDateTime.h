// SPDX-License-Identifier: MIT
// Dates and durations written in ISO 8601 (as .ods files and some .xlsx cells
// hold them), as days since 30-12-1899 00:00.
#pragma once

#include <optional>
#include <string_view>

namespace xls2qdp {

// "1960-03-05", "2004-03-15T10:20:30[.5]", or a time of day alone
// ("10:10:10", "T10:10", which date cells hold for a time without a date) as
// the fraction of a day; a zone suffix is ignored.
std::optional<double> ParseIsoDateTime(std::string_view text);
// "PT12H30M15S", "P1DT2H", "-PT1H", with an optional fraction of seconds.
std::optional<double> ParseIsoDuration(std::string_view text);

} // namespace xls2qdp
