// SPDX-License-Identifier: MIT
#include "declarations/ReadAheadTableCursor.h"

#include <stdexcept>
#include <utility>

namespace xls2qdp {

bool ReadAheadTableCursor::first() {
    ahead_.reset();
    batch_ = nullptr;
    onRow_ = false;
    direct_ = true;
    return table_.first();
}

bool ReadAheadTableCursor::firstReading(std::span<const std::string_view> fields) {
    if (fields.empty()) return first();
    return startPass(fields, nullptr);
}

bool ReadAheadTableCursor::firstReadingRows(std::span<const std::string_view> fields,
                                            std::span<const RowKey> rows) {
    return startPass(fields, &rows);
}

bool ReadAheadTableCursor::startPass(std::span<const std::string_view> fields,
                                     const std::span<const RowKey>* rows) {
    ahead_.reset(); // the reading of an earlier pass ends first
    batch_ = nullptr;
    onRow_ = false;
    direct_ = false;
    names_.clear();
    for (std::string_view field : fields) {
        bool known = false;
        for (const std::string& name : names_)
            known = known || name == field;
        if (!known) names_.emplace_back(field);
    }
    nameViews_.assign(names_.begin(), names_.end());
    // Asked before the reading starts: the table is still the caller's here.
    dateSlots_.clear();
    dateFields_ = 0;
    fieldSlots_.clear();
    bool slots = true;
    for (std::string_view name : nameViews_) {
        dateSlots_.push_back(table_.holdsDates(name) ? static_cast<int>(dateFields_++) : -1);
        fieldSlots_.push_back(table_.fieldSlot(name));
        slots = slots && fieldSlots_.back() >= 0;
    }
    if (!slots) fieldSlots_.clear();
    nameCache_.clear();
    chosen_ = rows != nullptr;
    chosenRows_ = chosen_ ? *rows : std::span<const RowKey>();
    started_ = false;
    ahead_.emplace([this](Batch& batch) { return fill(batch); }, kBatches);
    onRow_ = takeBatch();
    return onRow_;
}

bool ReadAheadTableCursor::fill(Batch& batch) {
    batch.texts.clear();
    batch.values.clear();
    batch.dates.clear();
    batch.keys.clear();
    batch.rows = 0;
    batch.end = false;
    batch.error = nullptr;
    try {
        while (batch.rows < kBatchRows) {
            bool onRow;
            if (started_) {
                onRow = table_.next();
            } else {
                started_ = true;
                onRow = chosen_ ? table_.firstReadingRows(nameViews_, chosenRows_)
                                : table_.firstReading(nameViews_);
            }
            if (!onRow) {
                batch.end = true;
                break;
            }
            batch.keys.push_back(table_.rowKey());
            copyRow(batch);
            ++batch.rows;
            if (ahead_->stopping()) break;
        }
    } catch (...) {
        batch.error = std::current_exception();
        batch.end = true;
    }
    return !batch.end;
}

void ReadAheadTableCursor::copyRow(Batch& batch) {
    if (!fieldSlots_.empty()) {
        table_.slotsAppend(fieldSlots_, dateSlots_, batch.texts, batch.values, batch.dates);
        return;
    }
    std::optional<CalendarDate> read;
    for (std::size_t i = 0; i < nameViews_.size(); ++i) {
        const auto offset = static_cast<std::uint32_t>(batch.texts.size());
        const bool dated = dateSlots_[i] >= 0;
        const bool present = table_.textAppend(nameViews_[i], batch.texts);
        if (dated) read = table_.date(nameViews_[i]);
        batch.values.push_back(
            present ? Text{offset, static_cast<std::uint32_t>(batch.texts.size() - offset)}
                    : Text{});
        if (dated) batch.dates.push_back(read);
    }
}

bool ReadAheadTableCursor::takeBatch() {
    for (;;) {
        if (batch_ && batch_->end) {
            if (std::exception_ptr error = std::exchange(batch_->error, nullptr))
                std::rethrow_exception(error);
            return false;
        }
        batch_ = ahead_->next();
        row_ = 0;
        if (!batch_) return false; // stopped before the end
        if (batch_->rows > 0) return true;
    }
}

bool ReadAheadTableCursor::next() {
    if (direct_) return table_.next();
    if (!onRow_) return false;
    if (++row_ < batch_->rows) return true;
    onRow_ = false; // stays at the end if takeBatch throws
    onRow_ = takeBatch();
    return onRow_;
}

bool ReadAheadTableCursor::atEnd() const {
    return direct_ ? table_.atEnd() : !onRow_;
}

ReadAheadTableCursor::RowKey ReadAheadTableCursor::rowKey() const {
    if (direct_) return table_.rowKey();
    if (!onRow_) throw std::logic_error("working table: no current row");
    return batch_->keys[row_];
}

std::size_t ReadAheadTableCursor::slotOf(std::string_view field) const {
    std::size_t& cached = nameCache_.entry(field);
    if (cached >= names_.size() || names_[cached] != field) {
        std::size_t i = 0;
        while (i < names_.size() && names_[i] != field)
            ++i;
        if (i == names_.size())
            throw std::logic_error("working-table field " + std::string(field) +
                                   " is not read on this pass");
        cached = i;
    }
    return cached;
}

const ReadAheadTableCursor::Text& ReadAheadTableCursor::textOf(std::size_t slot) const {
    if (!onRow_) throw std::logic_error("working table: no current row");
    return batch_->values[row_ * names_.size() + slot];
}

bool ReadAheadTableCursor::holdsDates(std::string_view field) const {
    if (direct_ || !ahead_) return table_.holdsDates(field);
    return dateSlots_[slotOf(field)] >= 0; // the table is the reading thread's now
}

std::optional<std::string> ReadAheadTableCursor::text(std::string_view field) const {
    if (direct_) return table_.text(field);
    const Text& value = textOf(slotOf(field));
    if (value.offset == Text::kNull) return std::nullopt;
    return batch_->texts.substr(value.offset, value.length);
}

bool ReadAheadTableCursor::textInto(std::string_view field, std::string& out) const {
    if (direct_) return table_.textInto(field, out);
    const Text& value = textOf(slotOf(field));
    if (value.offset == Text::kNull) {
        out.clear();
        return false;
    }
    out.assign(batch_->texts, value.offset, value.length);
    return true;
}

int ReadAheadTableCursor::fieldSlot(std::string_view field) const {
    if (direct_ || !ahead_) return table_.fieldSlot(field);
    return static_cast<int>(slotOf(field)); // the field's place in the pass
}

bool ReadAheadTableCursor::slotTextAppend(int slot, std::string& out,
                                          std::optional<CalendarDate>* date) const {
    if (direct_ || !ahead_) return table_.slotTextAppend(slot, out, date);
    const auto s = static_cast<std::size_t>(slot);
    const Text& value = textOf(s);
    if (date) *date = dateOf(s);
    if (value.offset == Text::kNull) return false;
    out.append(batch_->texts, value.offset, value.length);
    return true;
}

bool ReadAheadTableCursor::slotText(int slot, std::string& storage, std::string_view& view) const {
    if (direct_ || !ahead_) return WorkingTableCursor::slotText(slot, storage, view);
    const Text& value = textOf(static_cast<std::size_t>(slot));
    if (value.offset == Text::kNull) {
        view = {};
        return false;
    }
    view = std::string_view(batch_->texts).substr(value.offset, value.length);
    return true;
}

bool ReadAheadTableCursor::heldRow(std::span<const SlotText>& places,
                                   std::string_view& texts) const {
    if (direct_ || !ahead_) return table_.heldRow(places, texts);
    if (!onRow_) throw std::logic_error("working table: no current row");
    places = std::span<const SlotText>(batch_->values).subspan(row_ * names_.size(), names_.size());
    texts = batch_->texts;
    return true;
}

std::optional<CalendarDate> ReadAheadTableCursor::date(std::string_view field) const {
    if (direct_) return table_.date(field);
    return dateOf(slotOf(field));
}

std::optional<CalendarDate> ReadAheadTableCursor::slotDate(int slot) const {
    if (direct_ || !ahead_) return table_.slotDate(slot);
    return dateOf(static_cast<std::size_t>(slot));
}

std::optional<CalendarDate> ReadAheadTableCursor::dateOf(std::size_t slot) const {
    if (!onRow_) throw std::logic_error("working table: no current row");
    if (dateSlots_[slot] < 0)
        throw std::invalid_argument("working-table field " + names_[slot] + " is not a date");
    return batch_->dates[row_ * dateFields_ + static_cast<std::size_t>(dateSlots_[slot])];
}

} // namespace xls2qdp
