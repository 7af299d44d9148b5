// SPDX-License-Identifier: MIT
#include "ReadAheadRows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace xls2qdp {
namespace {

// A reader of count rows numbered from 7, a note on every tenth, failing
// after failAfter rows when that is not negative.
ReadAheadRows::ReadRow rowsUpTo(int count, int failAfter, std::atomic<int>& read) {
    return [count, failAfter, &read](DeclarationRow& row, std::vector<CellNote>& notes) {
        const int n = read;
        if (n == failAfter) throw std::runtime_error("damaged at " + std::to_string(n));
        if (n == count) return false;
        row.sheetRow = 7 + n;
        row.cells[1] = "row " + std::to_string(n);
        if (n % 10 == 0)
            notes.push_back({CellNote::Kind::TextCut, row.sheetRow, 1, "v", "w", "", ""});
        ++read;
        return true;
    };
}

TEST(ReadAheadRows, HandsOutEveryRowInOrderWithItsNotesThenTheError) {
    constexpr int kMany = static_cast<int>(ReadAheadRows::kBatchRows * ReadAheadRows::kBatches * 5);
    struct Case {
        int rows;
        int failAfter;
    } cases[] = {{0, -1}, {1, -1}, {kMany, -1}, {0, 0}, {70, 70}, {kMany, kMany - 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + " rows, failing after " +
                     std::to_string(c.failAfter));
        std::atomic<int> read = 0;
        ReadAheadRows rows(rowsUpTo(c.rows, c.failAfter, read));
        std::vector<CellNote> notes;
        int got = 0;
        bool failed = false;
        try {
            while (const DeclarationRow* row = rows.next(notes)) {
                ASSERT_EQ(row->sheetRow, 7 + got);
                ASSERT_EQ(row->cells[1], "row " + std::to_string(got));
                ASSERT_EQ(notes.size(), got % 10 == 0 ? 1u : 0u);
                if (!notes.empty()) {
                    EXPECT_EQ(notes[0].sheetRow, row->sheetRow);
                }
                ++got;
            }
        } catch (const std::runtime_error& e) {
            failed = true;
            EXPECT_EQ(e.what(), "damaged at " + std::to_string(c.failAfter));
        }
        const int expected = c.failAfter >= 0 ? c.failAfter : c.rows;
        EXPECT_EQ(got, expected);
        EXPECT_EQ(failed, c.failAfter >= 0);
        notes.resize(1);
        EXPECT_EQ(rows.next(notes), nullptr) << "the end stays the end";
        EXPECT_TRUE(notes.empty()) << "notes of an earlier row are not handed out again";
        rows.finish();
    }
}

// A caller that stops early (an abort, moved columns) does not wait for the
// rest of the sheet: the reader stops within a few batches.
TEST(ReadAheadRows, StoppingEarlyLeavesTheRestUnread) {
    std::atomic<int> read = 0;
    {
        ReadAheadRows rows(rowsUpTo(1'000'000, -1, read));
        std::vector<CellNote> notes;
        ASSERT_NE(rows.next(notes), nullptr);
    }
    EXPECT_LE(read, static_cast<int>(ReadAheadRows::kBatchRows * (ReadAheadRows::kBatches + 3)));
}

} // namespace
} // namespace xls2qdp
