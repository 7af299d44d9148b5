// SPDX-License-Identifier: MIT
// Rows a push parser has finished, waiting for the reader's caller, and the
// one row it is building. A chunk of input finishes some rows and starts the
// next, so the queue holds at most the rows of one chunk. Damage the parser
// finds is kept here too, so that the rows before it are handed out first.
// The rows handed back by take() are built again, so that a sheet's rows do
// not each allocate their cells anew.
#pragma once

#include "WorkbookReader.h"

#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace xls2qdp {

class RowQueue {
public:
    bool empty() const { return ready_.empty(); }

    // The row being built, cleared; it joins the queue on commit(), or is
    // forgotten when start() comes again first (it turned out empty). The
    // reference stays valid for the life of the queue.
    SheetRow& start(int number) {
        pending_.number = number;
        pending_.cells.clear();
        return pending_;
    }
    void commit() {
        ready_.emplace_back();
        std::swap(ready_.back(), pending_);
        if (!spare_.empty()) {
            std::swap(pending_, spare_.back());
            spare_.pop_back();
        }
    }

    // Moves the front row into row; what row held is kept for reuse.
    void take(SheetRow& row) {
        std::swap(row, ready_.front());
        if (spare_.size() < kMaxSpareRows) spare_.push_back(std::move(ready_.front()));
        ready_.pop_front();
    }

    // The damage found; the parser adds no rows after it.
    void fail(WorkbookError error) {
        if (!failure_) failure_.emplace(std::move(error));
    }
    bool failed() const { return failure_.has_value(); }
    // Runs one step of the parser and returns what it returns; damage it
    // throws is kept like fail() does (the step then counts as done).
    template <typename Step>
    bool parse(Step&& step) {
        try {
            return step();
        } catch (WorkbookError& error) {
            fail(std::move(error));
            return true;
        }
    }
    // Throws the damage once the rows before it are gone.
    void throwIfDrained() const {
        if (ready_.empty() && failure_) throw *failure_;
    }

private:
    static constexpr std::size_t kMaxSpareRows = 256;

    std::deque<SheetRow> ready_;
    std::vector<SheetRow> spare_;
    SheetRow pending_;
    std::optional<WorkbookError> failure_;
};

// The cell at column (0-based) of row, growing the row as needed.
inline CellValue& CellAt(SheetRow& row, int column) {
    if (row.cells.size() <= static_cast<std::size_t>(column))
        row.cells.resize(static_cast<std::size_t>(column) + 1);
    return row.cells[static_cast<std::size_t>(column)];
}

} // namespace xls2qdp
