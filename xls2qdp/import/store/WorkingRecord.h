// SPDX-License-Identifier: MIT
// One record of the working table before it is appended: a value or null
// for every field. Dates are kept as ISO texts ("1960-03-05", with
// " 10:15:00" for date-and-time fields), the form in which SQLite stores them.
#pragma once

#include "WorkingTableFields.h"
#include "declarations/WorkingTableCursor.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace xls2qdp::store {

struct LocalDateTime {
    CalendarDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class WorkingRecord {
public:
    // An empty text leaves the field null, as an empty cell does.
    void setText(WorkingField field, std::string_view text);
    // setText() without a copy: the text must stay as it is until the record
    // has been appended (a sheet row's cell, a setting, a constant).
    void setTextView(WorkingField field, std::string_view text) {
        kept_[index(field)] = text;
        isKept_[index(field)] = true;
        present_[index(field)] = !text.empty();
    }
    void setDate(WorkingField field, const CalendarDate& date);
    void setNull(WorkingField field) { present_[index(field)] = false; }
    void clear() { present_.fill(false); }

    // The field's value, nullopt when it is null; valid until the field
    // changes (and, for a text set by setTextView(), while that text is).
    std::optional<std::string_view> value(WorkingField field) const {
        if (!present_[index(field)]) return std::nullopt;
        if (isKept_[index(field)]) return kept_[index(field)];
        return std::string_view(values_[index(field)]);
    }

private:
    static constexpr std::size_t index(WorkingField f) { return static_cast<std::size_t>(f); }
    // Texts keep their buffers from row to row; a run converts every row into
    // the same record, so filling it allocates next to nothing.
    std::array<std::string, kWorkingFieldCount> values_;
    // Texts set by setTextView(), which a copy of the record shares.
    std::array<std::string_view, kWorkingFieldCount> kept_;
    std::array<bool, kWorkingFieldCount> isKept_{};
    std::array<bool, kWorkingFieldCount> present_{};
};

// "1960-03-05" for 5 March 1960; "2026-12-10 00:28:38" with the time.
std::string isoDate(const CalendarDate& date);
std::string isoDateTime(const LocalDateTime& moment);
// Appends "05-03-1960": a date as the declaration sections read it as text.
void appendShownDate(std::string& out, const CalendarDate& date);
// Reads the date part of an ISO text; nullopt when it is not one.
std::optional<CalendarDate> parseIsoDate(std::string_view text);

// Whether the day exists in the Gregorian calendar (years 1 to 9999).
bool isValidDate(const CalendarDate& date);

} // namespace xls2qdp::store
