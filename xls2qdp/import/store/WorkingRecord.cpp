// SPDX-License-Identifier: MIT
#include "WorkingRecord.h"

#include <cstdio>

namespace xls2qdp::store {

void WorkingRecord::setText(WorkingField field, std::string_view text) {
    values_[index(field)].assign(text);
    present_[index(field)] = !text.empty();
}

void WorkingRecord::setDate(WorkingField field, const CalendarDate& date) {
    setText(field, isoDate(date));
}

void WorkingRecord::setDateTime(WorkingField field, const LocalDateTime& moment) {
    setText(field, isoDateTime(moment));
}

std::string isoDate(const CalendarDate& d) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buffer;
}

std::string isoDateTime(const LocalDateTime& m) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", m.date.year, m.date.month,
                  m.date.day, m.hour, m.minute, m.second);
    return buffer;
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
