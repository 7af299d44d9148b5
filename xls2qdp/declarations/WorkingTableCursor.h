// SPDX-License-Identifier: MIT
// The working table as the declaration sections read it: a forward cursor over
// rows with fields read by name. The SQLite table store implements it; tests
// hand rows in directly.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace xls2qdp {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

class WorkingTableCursor {
public:
    virtual ~WorkingTableCursor() = default;

    // Moves to the first row in the table's own order; false when the table is empty.
    virtual bool first() = 0;
    // first() for a pass that reads only the named fields: a store may then
    // fetch just those columns of each row. Reading another field before the
    // next first() throws std::logic_error there. By default every field.
    virtual bool firstReading(std::span<const std::string_view> fields) {
        (void)fields;
        return first();
    }
    // Moves to the next row; false (and atEnd()) after the last row.
    virtual bool next() = 0;
    virtual bool atEnd() const = 0;

    // Field values of the current row, by field name (UTF-8). An empty
    // (null) field gives std::nullopt; an unknown field name throws
    // std::out_of_range. A date field read as text gives "dd-mm-yyyy".
    virtual std::optional<std::string> text(std::string_view field) const = 0;
    virtual std::optional<CalendarDate> date(std::string_view field) const = 0;
};

} // namespace xls2qdp
