// SPDX-License-Identifier: MIT
// The working table as the declaration sections read it: a forward cursor over
// rows with fields read by name. The SQLite table store implements it; tests
// hand rows in directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

class WorkingTableCursor {
public:
    // Where a row lies in the table, for a later pass over chosen rows. Four
    // bytes: sections note tens of thousands of them.
    using RowKey = std::uint32_t;

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
    // firstReading() for a pass over only the rows with the given keys (from
    // rowKey() during an earlier pass over the same contents), in the given
    // order; a key whose row is no longer there is passed over. The keys must
    // stay as they are until the pass ends. A section taking a few rows reads
    // just those instead of the whole table.
    virtual bool firstReadingRows(std::span<const std::string_view> fields,
                                  std::span<const RowKey> rows) = 0;
    // The key of the current row, for firstReadingRows.
    virtual RowKey rowKey() const = 0;
    // Moves to the next row; false (and atEnd()) after the last row.
    virtual bool next() = 0;
    virtual bool atEnd() const = 0;

    // Field values of the current row, by field name (UTF-8). An empty
    // (null) field gives std::nullopt; an unknown field name throws
    // std::out_of_range. A date field read as text gives "dd-mm-yyyy".
    virtual std::optional<std::string> text(std::string_view field) const = 0;
    virtual std::optional<CalendarDate> date(std::string_view field) const = 0;
    // Appends text() to out: false (and out unchanged) when null.
    virtual bool textAppend(std::string_view field, std::string& out) const {
        std::optional<std::string> value = text(field);
        if (value) out += *value;
        return value.has_value();
    }
    // text() into out, reusing its storage: false (and out empty) when null.
    virtual bool textInto(std::string_view field, std::string& out) const {
        std::optional<std::string> value = text(field);
        if (!value) {
            out.clear();
            return false;
        }
        out = std::move(*value);
        return true;
    }
    // For a reader that reads the same fields of every row: a number for the
    // field that slotTextAppend() takes instead of its name, saving the
    // lookup by name per row; good until the next pass starts. A field the
    // cursor does not know throws as reading it would; -1 when the cursor
    // has no such numbers (then fields are read by name).
    virtual int fieldSlot(std::string_view field) const {
        (void)field;
        return -1;
    }
    // textAppend() of the field numbered slot and, when date is given, its
    // date() in the same step. Only for a cursor whose fieldSlot() gives
    // numbers.
    virtual bool slotTextAppend(int slot, std::string& out,
                                std::optional<CalendarDate>* date) const {
        (void)slot, (void)out, (void)date;
        throw std::logic_error("working table: fields are read by name");
    }
    // Where slotsAppend() put one field's text in the caller's buffer.
    struct SlotText {
        static constexpr std::uint32_t kNull = 0xFFFFFFFF;
        std::uint32_t offset = kNull; // kNull when the field is null
        std::uint32_t length = 0;
    };
    // slotTextAppend() of every field in fieldSlots, in one call per row: each
    // text is appended to out and its place to places. A field whose entry
    // in dateSlots is not -1 (its place among the fields read as dates) has
    // its date appended to dates too. out must stay below 4 GB. Only for a
    // cursor whose fieldSlot() gives numbers.
    virtual void slotsAppend(std::span<const int> fieldSlots, std::span<const int> dateSlots,
                             std::string& out, std::vector<SlotText>& places,
                             std::vector<std::optional<CalendarDate>>& dates) const {
        std::optional<CalendarDate> date;
        for (std::size_t i = 0; i < fieldSlots.size(); ++i) {
            const auto offset = static_cast<std::uint32_t>(out.size());
            const bool dated = dateSlots[i] >= 0;
            const bool present = slotTextAppend(fieldSlots[i], out, dated ? &date : nullptr);
            places.push_back(present
                                 ? SlotText{offset, static_cast<std::uint32_t>(out.size() - offset)}
                                 : SlotText{});
            if (dated) dates.push_back(date);
        }
    }
    // The current row's texts where the cursor holds a copy of the row, by
    // the numbers fieldSlot() gives: places[slot] says where the field's
    // text lies in texts. Both are good until the cursor moves. False when
    // the cursor holds no such copy; then fields are read one by one
    // (slotText()).
    virtual bool heldRow(std::span<const SlotText>& places, std::string_view& texts) const {
        (void)places, (void)texts;
        return false;
    }
    // date() of the field numbered slot. Only for a cursor whose fieldSlot()
    // gives numbers.
    virtual std::optional<CalendarDate> slotDate(int slot) const {
        (void)slot;
        throw std::logic_error("working table: fields are read by name");
    }
    // slotTextAppend() of the field numbered slot without a copy where the
    // cursor holds the text itself: view shows it until the cursor moves;
    // otherwise the text is put into storage and view shows that. False
    // (and view empty) when null.
    virtual bool slotText(int slot, std::string& storage, std::string_view& view) const {
        storage.clear();
        const bool present = slotTextAppend(slot, storage, nullptr);
        view = storage;
        return present;
    }
    // Whether the field holds dates, so that date() may be asked of it; an
    // unknown field name throws std::out_of_range. A table without field
    // kinds answers date() for every field.
    virtual bool holdsDates(std::string_view field) const {
        (void)field;
        return true;
    }
};

} // namespace xls2qdp
