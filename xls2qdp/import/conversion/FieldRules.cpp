// SPDX-License-Identifier: MIT
#include "FieldRules.h"

#include "common/Text.h"
#include "common/TextEncoding.h"
#include "import/store/WorkingRecord.h"

#include <algorithm>

namespace xls2qdp {
namespace {

// Reads 1 to maxDigits decimal digits at text[pos]; advances pos.
bool readNumber(std::string_view text, std::size_t& pos, std::size_t minDigits,
                std::size_t maxDigits, int& value) {
    std::size_t digits = 0;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (++digits > maxDigits) return false;
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return digits >= minDigits;
}

} // namespace

std::optional<CalendarDate> parseSheetDate(std::string_view text) {
    text = trimBlanksAndControls(text);
    CalendarDate date;
    std::size_t pos = 0;
    char separator = 0;
    // The separator after the first number; the second must be the same.
    const auto separatedBy = [&](std::string_view allowed) {
        if (pos >= text.size()) return false;
        const char c = text[pos];
        if (separator == 0 && allowed.find(c) == std::string_view::npos) return false;
        if (separator != 0 && c != separator) return false;
        separator = c;
        ++pos;
        return true;
    };
    if (text.size() > 4 && (text[4] == '-' || text[4] == '.')) { // yyyy-m-d, yyyy.m.d
        if (!readNumber(text, pos, 4, 4, date.year) || !separatedBy("-.") ||
            !readNumber(text, pos, 1, 2, date.month) || !separatedBy("-.") ||
            !readNumber(text, pos, 1, 2, date.day))
            return std::nullopt;
    } else { // d-m-yyyy, d.m.yyyy, d/m/yyyy: the day first, as Polish dates go
        if (!readNumber(text, pos, 1, 2, date.day) || !separatedBy("-./") ||
            !readNumber(text, pos, 1, 2, date.month) || !separatedBy("-./") ||
            !readNumber(text, pos, 4, 4, date.year))
            return std::nullopt;
    }
    if (pos != text.size()) return std::nullopt;
    if (!store::isValidDate(date)) return std::nullopt;
    return date;
}

std::optional<std::string> convertPostalCode(std::string_view text, CellKind kind) {
    // A number cell dropped the leading zero of a code like 03-470.
    if (kind == CellKind::Number && text.size() == 4 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return "0" + std::string(text.substr(0, 1)) + "-" + std::string(text.substr(1));
    const std::size_t length = utf8Length(text);
    if (length == 6) return std::string(text);
    if (length == 5) {
        const std::string_view head = utf8Prefix(text, 2);
        return std::string(head) + "-" + std::string(text.substr(head.size()));
    }
    return std::nullopt;
}

SchoolYearDates schoolYearDates(std::string_view columnL, std::string_view columnM) {
    SchoolYearDates result;
    const std::string_view year = trimBlanksAndControls(columnM);
    if ((columnL != "S" && columnL != "U") || year.empty()) return result;
    result.applies = true;
    // A whole number: an optional sign and decimal digits, nothing else.
    std::size_t pos = 0;
    bool negative = false;
    if (year[0] == '+' || year[0] == '-') {
        negative = year[0] == '-';
        pos = 1;
    }
    if (pos >= year.size() || year.size() - pos > 9) return result;
    int y = 0;
    for (; pos < year.size(); ++pos) {
        if (year[pos] < '0' || year[pos] > '9') return result;
        y = y * 10 + (year[pos] - '0');
    }
    if (negative) y = -y;
    // The dates are formed in order; the first impossible one ends the rule.
    const CalendarDate from{y, 10, 1};
    if (!store::isValidDate(from)) return result;
    result.from = from;
    const CalendarDate until{y + 1, 6, 30};
    if (!store::isValidDate(until)) return result;
    result.until = until;
    return result;
}

} // namespace xls2qdp
