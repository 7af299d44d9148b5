// SPDX-License-Identifier: MIT
#include "ReadAheadRows.h"

#include <system_error>
#include <utility>

namespace xls2qdp {

ReadAheadRows::ReadAheadRows(ReadRow read) : read_(std::move(read)) {
    try {
        thread_ = std::thread(&ReadAheadRows::readAhead, this);
    } catch (const std::system_error&) {
        inline_ = true;
    }
}

ReadAheadRows::~ReadAheadRows() {
    finish();
}

void ReadAheadRows::finish() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

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
        if (stop_.load(std::memory_order_relaxed)) break;
    }
    return !batch.end;
}

void ReadAheadRows::readAhead() {
    // However the thread ends, a caller waiting for rows is woken.
    struct Done {
        ReadAheadRows& self;
        ~Done() {
            {
                std::lock_guard lock(self.mutex_);
                self.readerDone_ = true;
            }
            self.changed_.notify_all();
        }
    } done{*this};
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || ready_.size() < kBatches; });
            if (stop_) return;
            if (!spare_.empty()) {
                batch = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        const bool more = fill(batch);
        {
            std::lock_guard lock(mutex_);
            if (stop_) return;
            ready_.push_back(std::move(batch));
        }
        changed_.notify_all();
        if (!more) return;
    }
}

bool ReadAheadRows::next(DeclarationRow& row, std::vector<CellNote>& notes) {
    notes.clear(); // no row, no notes
    while (taken_ == taking_.count) {
        if (taking_.end) {
            if (std::exception_ptr error = std::exchange(taking_.error, nullptr))
                std::rethrow_exception(error);
            return false;
        }
        if (inline_) {
            fill(taking_);
        } else {
            std::unique_lock lock(mutex_);
            if (!taking_.rows.empty()) spare_.push_back(std::move(taking_));
            changed_.wait(lock, [&] { return !ready_.empty() || readerDone_; });
            if (ready_.empty()) return false; // stopped before the end
            taking_ = std::move(ready_.front());
            ready_.pop_front();
            lock.unlock();
            changed_.notify_all();
        }
        taken_ = 0;
    }
    std::swap(row, taking_.rows[taken_]);
    std::swap(notes, taking_.notes[taken_]);
    ++taken_;
    return true;
}

} // namespace xls2qdp
