// SPDX-License-Identifier: MIT
// Rows a push parser has finished, waiting for the reader's caller, and the
// one row it is building. A chunk of input finishes some rows and starts the
// next, so the queue holds at most the rows of one chunk.
#pragma once

#include "WorkbookReader.h"

#include <deque>
#include <utility>

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
    }

    // Moves the front row into row.
    void take(SheetRow& row) {
        std::swap(row, ready_.front());
        ready_.pop_front();
    }

private:
    std::deque<SheetRow> ready_;
    SheetRow pending_;
};

// The cell at column (0-based) of row, growing the row as needed.
inline CellValue& CellAt(SheetRow& row, int column) {
    if (row.cells.size() <= static_cast<std::size_t>(column))
        row.cells.resize(static_cast<std::size_t>(column) + 1);
    return row.cells[static_cast<std::size_t>(column)];
}

} // namespace xls2qdp
