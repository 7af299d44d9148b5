// SPDX-License-Identifier: MIT
// Text files of delimited values (.csv, .txt): delimiter ";", tab or ","
// (whichever the first lines use most, ";" on a tie), fields in double quotes
// with "" for a quote, UTF-8 with or without byte order mark, otherwise
// Windows-1250. Every cell is text, exactly as written: a CSV file keeps the
// leading zeros of PESELs and postal codes. A line break inside quotes
// (CR LF or LF) becomes LF.
#pragma once

#include "WorkbookFile.h"
#include "WorkbookReader.h"

#include <filesystem>
#include <memory>

namespace xls2qdp {

std::unique_ptr<WorkbookReader> OpenCsvReader(WorkbookFile file, int columnLimit);

} // namespace xls2qdp
