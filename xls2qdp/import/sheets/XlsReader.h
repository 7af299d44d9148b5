// SPDX-License-Identifier: MIT
// Excel 97-2003 (BIFF8) and Excel 5.0/95 (BIFF5) workbooks: the workbook
// stream is taken from the compound document with libgsf and its records are
// read one by one; cells of the first worksheet are handed out row by row.
#pragma once

#include "WorkbookFile.h"
#include "WorkbookReader.h"

#include <filesystem>
#include <memory>

namespace xls2qdp {

// Reads the worksheet numbered sheet (0 = the first). Throws WorkbookError
// (also for a compound document that holds no workbook, or an encrypted one).
std::unique_ptr<WorkbookReader> OpenXlsReader(WorkbookFile file, int columnLimit,
                                              std::size_t sheet = 0);

} // namespace xls2qdp
