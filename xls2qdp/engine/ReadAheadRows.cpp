// SPDX-License-Identifier: MIT
#include "ReadAheadRows.h"

#include <utility>

namespace xls2qdp {

ReadAheadRows::ReadAheadRows(ReadRow read)
    : read_(std::move(read)), ahead_([this](Batch& batch) { return fill(batch); }, kBatches) {}

bool ReadAheadRows::fill(Batch& batch) {
    batch.count = 0;
    batch.end = false;
    batch.error = nullptr;
    while (batch.count < kBatchRows) {
        try {
            if (batch.rows.size() == batch.count) {
                batch.rows.emplace_back();
                batch.notes.emplace_back();
            }
            std::vector<CellNote>& notes = batch.notes[batch.count];
            notes.clear();
            if (!read_(batch.rows[batch.count], notes)) batch.end = true;
        } catch (...) {
            batch.error = std::current_exception();
            batch.end = true;
        }
        if (batch.end) break;
        ++batch.count;
        if (ahead_.stopping()) break;
    }
    return !batch.end;
}

const DeclarationRow* ReadAheadRows::next(std::vector<CellNote>& notes) {
    notes.clear(); // no row, no notes
    while (!taking_ || taken_ == taking_->count) {
        if (taking_ && taking_->end) {
            ended_ = true;
            if (std::exception_ptr error = std::exchange(taking_->error, nullptr))
                std::rethrow_exception(error);
        }
        if (ended_) return nullptr;
        taking_ = ahead_.next(); // gives the batch before back to the reader
        taken_ = 0;
        if (!taking_) {
            ended_ = true; // stopped before the end
            return nullptr;
        }
    }
    std::swap(notes, taking_->notes[taken_]);
    return &taking_->rows[taken_++];
}

} // namespace xls2qdp
