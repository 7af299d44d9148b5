// SPDX-License-Identifier: MIT
// Office Open XML workbooks (.xlsx, .xlsm): the parts are read from the zip
// archive with libzip and parsed with expat; the worksheet is streamed.
#pragma once

#include "WorkbookFile.h"
#include "WorkbookReader.h"

#include <filesystem>
#include <memory>

namespace xls2qdp {

// Reads the worksheet numbered sheet (0 = the first); throws WorkbookError.
std::unique_ptr<WorkbookReader> OpenXlsxReader(WorkbookFile file, int columnLimit,
                                               std::size_t sheet = 0);

} // namespace xls2qdp
