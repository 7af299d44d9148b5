// SPDX-License-Identifier: MIT
// OpenDocument spreadsheets (.ods): content.xml is streamed from the zip
// archive through the quick XML scanner (expat for a part in another
// encoding, and for flat documents), row by row, honouring repeated rows and
// columns. Prefixes are resolved by the reader as the declarations say.
#pragma once

#include "WorkbookFile.h"
#include "WorkbookReader.h"

#include <filesystem>
#include <memory>

namespace xls2qdp {

// Reads the table numbered sheet (0 = the first); throws WorkbookError.
std::unique_ptr<WorkbookReader> OpenOdsReader(WorkbookFile file, int columnLimit,
                                              std::size_t sheet = 0);
// The same document saved as one XML file (.fods).
std::unique_ptr<WorkbookReader> OpenFlatOdsReader(WorkbookFile file, int columnLimit,
                                                  std::size_t sheet = 0);

} // namespace xls2qdp
