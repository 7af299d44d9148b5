// SPDX-License-Identifier: MIT
// OpenDocument spreadsheets (.ods): content.xml is streamed from the zip
// archive through expat, row by row, honouring repeated rows and columns.
#pragma once

#include "WorkbookReader.h"

#include <filesystem>
#include <memory>

namespace xls2qdp {

// Throws WorkbookError.
// Reads the table numbered sheet (0 = the first); throws WorkbookError.
std::unique_ptr<WorkbookReader> OpenOdsReader(const std::filesystem::path& file, int columnLimit,
                                              std::size_t sheet = 0);

} // namespace xls2qdp
