// SPDX-License-Identifier: MIT
// Streaming access to one worksheet of a workbook file (the first unless
// asked otherwise), row by row.
// One implementation per file format; OpenWorkbookReader picks it by the
// file's content, not by its name.
#pragma once

#include "CellValue.h"
#include "WorkbookError.h"

#include <filesystem>
#include <memory>
#include <string>
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

    // The names of the workbook's worksheets in their order, as their tabs
    // show them (chart sheets are not counted). A format of one sheet (CSV)
    // has one without a name.
    virtual std::vector<std::string> sheetNames() { return {std::string()}; }

    // Fills row with the next row of the worksheet that has at least one
    // non-empty cell, in ascending row order (rows in between are empty), and
    // returns true; false after the last one. Cells right of the column limit
    // are not returned. Throws WorkbookError when the file turns out damaged.
    virtual bool nextRow(SheetRow& row) = 0;
};

// Opens file for reading its worksheet numbered sheet (0 = the first),
// columns 1..columnLimit. Throws WorkbookError (missing, unreadable, damaged,
// encrypted or foreign file, no such worksheet; an .ods file finds out about
// a missing worksheet only when its rows are read, and then has none).
// Nothing is kept in memory but what one row needs, except the shared string
// table of .xlsx and .xls files.
std::unique_ptr<WorkbookReader> OpenWorkbookReader(const std::filesystem::path& file,
                                                   int columnLimit, std::size_t sheet = 0);

} // namespace xls2qdp
