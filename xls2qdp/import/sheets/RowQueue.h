// SPDX-License-Identifier: MIT
// Rows a push parser has finished, waiting for the reader's caller. Row
// objects are recycled so that a steady stream of rows allocates little.
#pragma once

#include "WorkbookReader.h"

#include <utility>
#include <vector>

namespace xls2qdp {

class RowQueue {
public:
    bool empty() const { return next_ == count_; }

    // A cleared row behind the queue, to be filled and then committed (or
    // forgotten, when it turns out empty). Only one row is pending at a time;
    // the reference stays valid until the next start().
    SheetRow& start(int number) {
        if (next_ == count_) next_ = count_ = 0;
        if (count_ == rows_.size()) rows_.emplace_back();
        SheetRow& row = rows_[count_];
        row.number = number;
        row.cells.clear();
        return row;
    }
    // The pending row joins the queue.
    void commit() { ++count_; }

    // Moves the front row into row; the caller's old row is recycled.
    void take(SheetRow& row) { std::swap(row, rows_[next_++]); }

private:
    std::vector<SheetRow> rows_;
    std::size_t next_ = 0, count_ = 0;
};

// The cell at column (0-based) of row, growing the row as needed.
inline CellValue& CellAt(SheetRow& row, int column) {
    if (row.cells.size() <= static_cast<std::size_t>(column))
        row.cells.resize(static_cast<std::size_t>(column) + 1);
    return row.cells[static_cast<std::size_t>(column)];
}

} // namespace xls2qdp
