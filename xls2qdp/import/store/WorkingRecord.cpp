// SPDX-License-Identifier: MIT
#include "WorkingRecord.h"

namespace xls2qdp::store {

void WorkingRecord::setText(WorkingField field, std::string_view text) {
    values_[index(field)].assign(text);
    isKept_[index(field)] = false;
    present_[index(field)] = !text.empty();
}

namespace {

// Writes a number of exactly `digits` decimal digits at p (zero-padded;
// values outside the width keep only their last digits, which valid dates
// never have) and gives the place after them.
char* putDigits(char* p, int value, int digits) {
    if (value < 0) value = -value;
    for (int i = digits - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return p + digits;
}

// The three parts of a date joined by "-", the first and the last of the
// given widths, the month always of two digits; the texts of a date are
// made a million times a run, so without a string of their own.
struct JoinedDate {
    char text[10];
    std::size_t size = 0;

    JoinedDate(int first, int firstDigits, int month, int last, int lastDigits) {
        char* p = putDigits(text, first, firstDigits);
        *p++ = '-';
        p = putDigits(p, month, 2);
        *p++ = '-';
        p = putDigits(p, last, lastDigits);
        size = static_cast<std::size_t>(p - text);
    }
    std::string_view view() const { return {text, size}; }
};

JoinedDate iso(const CalendarDate& d) {
    return {d.year, 4, d.month, d.day, 2};
}

} // namespace

void WorkingRecord::setDate(WorkingField field, const CalendarDate& date) {
    setText(field, iso(date).view());
}

void appendShownDate(std::string& out, const CalendarDate& d) {
    out += JoinedDate(d.day, 2, d.month, d.year, 4).view();
}

std::string isoDate(const CalendarDate& d) {
    return std::string(iso(d).view());
}

std::string isoDateTime(const LocalDateTime& m) {
    std::string text = isoDate(m.date);
    char time[9] = {' '}; // " hh:mm:ss"
    char* p = putDigits(time + 1, m.hour, 2);
    *p++ = ':';
    p = putDigits(p, m.minute, 2);
    *p++ = ':';
    putDigits(p, m.second, 2);
    text.append(time, sizeof time);
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
