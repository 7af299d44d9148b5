// SPDX-License-Identifier: MIT
#include "package/ValueChecks.h"

#include "common/Text.h"
#include "package/QdpCodes.h"

namespace xls2qdp {
namespace {

// The shape 2004.03.15 (firstPart 4) or 12:30:00 (firstPart 2), trimmed.
bool hasShape(std::string_view value, char separator, std::size_t firstPart) {
    std::string_view v = trimBlanksAndControls(value);
    if (v.empty()) return true;
    if (v.find(separator) != firstPart) return false;
    std::string_view rest = v.substr(firstPart + 1);
    if (rest.find(separator) != 2) return false;
    return rest.substr(3).size() == 2;
}

// substr that tolerates a start beyond the end.
std::string_view part(std::string_view text, std::size_t start, std::size_t length) {
    return start >= text.size() ? std::string_view{} : text.substr(start, length);
}

} // namespace

std::int32_t fCheckDate(std::string_view value) {
    return hasShape(value, '.', 4) ? qdpcode::Ok : qdpcode::BadDate;
}

std::int32_t fCheckTime(std::string_view value) {
    return hasShape(value, ':', 2) ? qdpcode::Ok : qdpcode::BadTime;
}

std::int32_t fCheckNumber(std::string_view value, std::uint32_t size, std::int32_t precision) {
    std::string_view trimmed = trimBlanksAndControls(value);
    if (trimmed.empty()) return qdpcode::Ok;
    if (trimmed.size() > size) return qdpcode::BadNumber;
    std::size_t stop = value.find('.');
    if (stop == std::string_view::npos) return qdpcode::Ok;
    if (precision <= 0) return qdpcode::BadNumber;
    // Counted in the value as given, trailing blanks included.
    std::size_t decimals = value.size() - stop - 1;
    return decimals > static_cast<std::size_t>(precision) ? qdpcode::BadNumber : qdpcode::Ok;
}

std::int32_t fCheckDateTime(std::string_view value) {
    bool ok = fCheckDate(part(value, 0, 10)) == qdpcode::Ok &&
              fCheckTime(part(value, 11, 8)) == qdpcode::Ok;
    return ok ? qdpcode::Ok : qdpcode::BadDateTime;
}

bool hasValueCheck(std::string_view type) {
    if (type.size() == 1) return type[0] == 'N' || type[0] == 'D' || type[0] == 'T';
    return type == "DT";
}

std::int32_t checkValue(std::string_view type, std::string_view value, std::uint32_t size,
                        std::int32_t precision) {
    // Called for every value of every record: the type is told by its
    // first letter before any comparison of the whole.
    if (type.empty()) return qdpcode::Ok;
    switch (type[0]) {
    case 'N':
        return type.size() == 1 ? fCheckNumber(value, size, precision) : qdpcode::Ok;
    case 'D':
        if (type.size() == 1) return fCheckDate(value);
        return type == "DT" ? fCheckDateTime(value) : qdpcode::Ok;
    case 'T':
        return type.size() == 1 ? fCheckTime(value) : qdpcode::Ok;
    default:
        return qdpcode::Ok;
    }
}

} // namespace xls2qdp
