// SPDX-License-Identifier: MIT
#include "WorkingRecord.h"

namespace xls2qdp::store {

void WorkingRecord::setText(WorkingField field, std::string_view text) {
    values_[index(field)].assign(text);
    present_[index(field)] = !text.empty();
}

void WorkingRecord::setDate(WorkingField field, const CalendarDate& date) {
    setText(field, isoDate(date));
}

namespace {

// Appends a number of exactly `digits` decimal digits (zero-padded; values
// outside the width keep only their last digits, which valid dates never have).
void appendDigits(std::string& out, int value, int digits) {
    char buffer[8];
    if (value < 0) value = -value;
    for (int i = digits - 1; i >= 0; --i) {
        buffer[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(buffer, static_cast<std::size_t>(digits));
}

// The three parts of a date joined by "-", the first and the last of the
// given widths, the month always of two digits.
std::string joinedDate(int first, int firstDigits, int month, int last, int lastDigits) {
    std::string text;
    text.reserve(10);
    appendDigits(text, first, firstDigits);
    text += '-';
    appendDigits(text, month, 2);
    text += '-';
    appendDigits(text, last, lastDigits);
    return text;
}

} // namespace

std::string shownDate(const CalendarDate& d) {
    return joinedDate(d.day, 2, d.month, d.year, 4);
}

std::string isoDate(const CalendarDate& d) {
    return joinedDate(d.year, 4, d.month, d.day, 2);
}

std::string isoDateTime(const LocalDateTime& m) {
    std::string text = isoDate(m.date);
    text += ' ';
    appendDigits(text, m.hour, 2);
    text += ':';
    appendDigits(text, m.minute, 2);
    text += ':';
    appendDigits(text, m.second, 2);
    return text;
}

std::optional<CalendarDate> parseIsoDate(std::string_view text) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    auto number = [&](std::size_t from, std::size_t length, int& out) {
        out = 0;
        for (std::size_t i = from; i < from + length; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            out = out * 10 + (text[i] - '0');
        }
        return true;
    };
    CalendarDate date;
    if (!number(0, 4, date.year) || !number(5, 2, date.month) || !number(8, 2, date.day))
        return std::nullopt;
    if (!isValidDate(date)) return std::nullopt;
    return date;
}

bool isValidDate(const CalendarDate& d) {
    if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const int days = d.month == 2 && leap ? 29 : kDays[d.month - 1];
    return d.day <= days;
}

} // namespace xls2qdp::store
