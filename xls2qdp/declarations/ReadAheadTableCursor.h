// SPDX-License-Identifier: MIT
// A working-table cursor whose rows are fetched ahead on a thread of their
// own: while a section turns one batch of rows into records, the next batch
// is stepped out of the table and its fields copied, so that on two cores
// the table's work and the records' work overlap. Passes that name their
// fields (firstReading, firstReadingRows) are read ahead; a pass over every
// field (first) goes to the table on the caller's thread. The table is used
// by one thread at a time: the reading thread during a pass, the caller
// between passes.
#pragma once

#include "common/NameSlotCache.h"
#include "common/ReadAhead.h"
#include "declarations/WorkingTableCursor.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace xls2qdp {

class ReadAheadTableCursor final : public WorkingTableCursor {
public:
    static constexpr std::size_t kBatchRows = 128;
    static constexpr std::size_t kBatches = 8;

    // table must outlive the cursor.
    explicit ReadAheadTableCursor(WorkingTableCursor& table) : table_(table) {}

    bool first() override;
    bool firstReading(std::span<const std::string_view> fields) override;
    bool firstReadingRows(std::span<const std::string_view> fields,
                          std::span<const RowKey> rows) override;
    RowKey rowKey() const override;
    bool next() override;
    bool atEnd() const override;
    // Reading a field the pass does not name throws std::logic_error.
    std::optional<std::string> text(std::string_view field) const override;
    std::optional<CalendarDate> date(std::string_view field) const override;
    bool textInto(std::string_view field, std::string& out) const override;
    bool holdsDates(std::string_view field) const override;
    int fieldSlot(std::string_view field) const override;
    bool slotTextAppend(int slot, std::string& out,
                        std::optional<CalendarDate>* date) const override;
    bool slotText(int slot, std::string& storage, std::string_view& view) const override;
    bool heldRow(std::span<const SlotText>& places, std::string_view& texts) const override;
    std::optional<CalendarDate> slotDate(int slot) const override;

private:
    // The text of one field of one row as the table gave it, in
    // Batch::texts. Kept small: the reading thread writes memory the other
    // core has just read, and every cache line it takes back costs.
    using Text = SlotText;
    struct Batch {
        std::string texts;
        std::vector<Text> values;                       // rows x fields
        std::vector<std::optional<CalendarDate>> dates; // rows x fields that hold dates
        std::vector<RowKey> keys;
        std::size_t rows = 0;
        bool end = false;
        std::exception_ptr error; // after the rows of this batch
    };

    // A pass over every row, or (rows) over the chosen ones.
    bool startPass(std::span<const std::string_view> fields, const std::span<const RowKey>* rows);
    bool fill(Batch& batch);
    // The current row's fields appended to the batch, by the table's
    // numbers for them when it has them, else by name.
    void copyRow(Batch& batch);
    // Takes the next batch; false at the end of the pass (or rethrows the
    // table's error there).
    bool takeBatch();
    // Where a field lies among the pass's; std::logic_error when it is not one.
    std::size_t slotOf(std::string_view field) const;
    const Text& textOf(std::size_t slot) const;
    // The date of the field in place slot of the current row.
    std::optional<CalendarDate> dateOf(std::size_t slot) const;

    WorkingTableCursor& table_;
    bool direct_ = false; // a pass of every field, on the table itself
    // The pass: its fields (each once), the chosen rows, where the reading is.
    std::vector<std::string> names_;
    std::vector<std::string_view> nameViews_;
    // For each field, its place among the fields that hold dates, or -1.
    std::vector<int> dateSlots_;
    std::vector<int> fieldSlots_; // the table's numbers for the names, when it has them
    std::size_t dateFields_ = 0;
    std::span<const RowKey> chosenRows_; // the caller's
    bool chosen_ = false;
    bool started_ = false;
    // Fields of the names last asked for, by where the name lies in memory
    // (sections ask for the same names row after row); a hit is trusted
    // only when the name matches.
    mutable NameSlotCache nameCache_;
    // The caller's side: the batch it reads and its row there.
    Batch* batch_ = nullptr;
    std::size_t row_ = 0;
    bool onRow_ = false;
    std::optional<ReadAhead<Batch>> ahead_; // last: stopped before the rest goes
};

} // namespace xls2qdp
