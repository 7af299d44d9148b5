// SPDX-License-Identifier: MIT
// Shape checks of record values before they reach the library, by field type.
// Values are the Windows-1250 bytes that go into the record, so a length is a
// count of characters.
#pragma once

#include <cstdint>
#include <string_view>

namespace xls2qdp {

// "D": empty after trimming, or shaped as 2004.03.15 (digits are not checked).
// 1 or 501.
std::int32_t fCheckDate(std::string_view value);
// "T": empty after trimming, or shaped as 12:30:00. 1 or 502.
std::int32_t fCheckTime(std::string_view value);
// "N": empty after trimming, or at most size characters once trimmed and with
// at most precision characters after the first full stop (none allowed with
// precision 0). 1 or 504.
std::int32_t fCheckNumber(std::string_view value, std::uint32_t size, std::int32_t precision);
// "DT": the date in characters 1..10 and the time in characters 12..19.
// 1 or 503.
std::int32_t fCheckDateTime(std::string_view value);

// Whether checkValue looks at the values of a type at all ("N", "D", "DT",
// "T"); the values of other types always pass.
bool hasValueCheck(std::string_view type);

// The check for one value of a field of the given type: 1 or its failure code.
// Types without a check ("C", "B", "L", "V" and unknown ones) always pass.
std::int32_t checkValue(std::string_view type, std::string_view value, std::uint32_t size,
                        std::int32_t precision);

} // namespace xls2qdp
