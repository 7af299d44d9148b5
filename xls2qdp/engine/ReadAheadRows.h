// SPDX-License-Identifier: MIT
// Declaration rows read ahead on a thread of their own while the caller
// converts and stores the rows before them: reading a sheet (inflating,
// scanning XML, cell texts) costs about as much as the rest of a row's work,
// so on two cores the two overlap. Rows come out in the sheet's order, each
// with the cell notes its reading gave; a reader's error comes out after the
// rows read before it. At most kBatches batches of kBatchRows rows wait, so
// memory stays bounded whatever the sheet's size. When no thread can be
// started the rows are read on the caller's thread instead.
#pragma once

#include "common/ReadAhead.h"
#include "import/DeclarationRow.h"
#include "import/sheets/DeclarationSheet.h"

#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

namespace xls2qdp {

class ReadAheadRows {
public:
    // Reads the next row and the notes it gives; false at the end of the
    // data; may throw. Called on the reading thread only.
    using ReadRow = std::function<bool(DeclarationRow& row, std::vector<CellNote>& notes)>;

    static constexpr std::size_t kBatchRows = 64;
    static constexpr std::size_t kBatches = 8;

    explicit ReadAheadRows(ReadRow read);
    ReadAheadRows(const ReadAheadRows&) = delete;
    ReadAheadRows& operator=(const ReadAheadRows&) = delete;

    // The next row, read in place: it stays valid until the next call. Its
    // notes replace those in notes. Null (and no notes) at the end of the
    // data. Rethrows the reader's error in its place, then gives null.
    const DeclarationRow* next(std::vector<CellNote>& notes);
    // Stops the reading thread (after the row it is reading) and waits until
    // it has ended; after next() gave false the reader may be used on the
    // caller's thread again. The destructor does the same.
    void finish() { ahead_.finish(); }

private:
    struct Batch {
        std::vector<DeclarationRow> rows;
        std::vector<std::vector<CellNote>> notes;
        std::size_t count = 0;
        bool end = false;
        std::exception_ptr error;
    };
    // Reads up to kBatchRows rows into batch; false once the data ended.
    bool fill(Batch& batch);

    ReadRow read_;
    Batch* taking_ = nullptr; // the batch the caller takes rows from
    std::size_t taken_ = 0;
    bool ended_ = false;
    ReadAhead<Batch> ahead_; // last: its thread starts reading at once
};

} // namespace xls2qdp
