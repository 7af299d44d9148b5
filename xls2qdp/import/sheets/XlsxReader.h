// SPDX-License-Identifier: MIT
// Office Open XML workbooks (.xlsx, .xlsm): the parts are read from the zip
// archive with libzip and parsed with expat; the worksheet is streamed.
#pragma once

#include "WorkbookFile.h"
#include "WorkbookReader.h"

#include <filesystem>
#include <memory>

namespace xls2qdp {

// How the worksheet and the shared strings are read: plain rows and items
// taken whole where they can be (Quick), or every element through the
// general scanner (General, to check the quick path against; both give the
// same rows and errors).
enum class XlsxPath { Quick, General };

// Reads the worksheet numbered sheet (0 = the first); throws WorkbookError.
std::unique_ptr<WorkbookReader> OpenXlsxReader(WorkbookFile file, int columnLimit,
                                               std::size_t sheet = 0,
                                               XlsxPath scan = XlsxPath::Quick);

} // namespace xls2qdp
