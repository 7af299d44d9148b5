// SPDX-License-Identifier: MIT
// Streaming access to the first worksheet of a workbook file, row by row.
// One implementation per file format; OpenWorkbookReader picks it by the
// file's content, not by its name.
#pragma once

#include "CellValue.h"
#include "WorkbookError.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace xls2qdp {

// The largest worksheet spreadsheet programs make. A file that puts a value
// beyond it is damaged (or made to look endless).
inline constexpr int kMaxSheetRows = 1'048'576;
inline constexpr int kMaxSheetColumns = 16'384;

struct SheetRow {
    int number = 0;               // 1-based sheet row
    std::vector<CellValue> cells; // cells[0] = column A; may be shorter than the column limit
};

class WorkbookReader {
public:
    virtual ~WorkbookReader() = default;

    // Fills row with the next row of the first worksheet that has at least one
    // non-empty cell, in ascending row order (rows in between are empty), and
    // returns true; false after the last one. Cells right of the column limit
    // are not returned. Throws WorkbookError when the file turns out damaged.
    virtual bool nextRow(SheetRow& row) = 0;
};

// Opens file for reading its first worksheet, columns 1..columnLimit.
// Throws WorkbookError (missing, unreadable, damaged, encrypted or foreign
// file). Nothing is kept in memory but what one row needs, except the shared
// string table of .xlsx and .xls files.
std::unique_ptr<WorkbookReader> OpenWorkbookReader(const std::filesystem::path& file,
                                                   int columnLimit);

} // namespace xls2qdp
