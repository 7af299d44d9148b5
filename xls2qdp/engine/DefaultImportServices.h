// SPDX-License-Identifier: MIT
// The import services over the importer's real modules: the workbook readers,
// the SQLite table store with its dictionaries and the POZ package layer.
#pragma once

#include "ImportServices.h"
#include "shell/ProgramLocations.h"

namespace xls2qdp {

ImportServicesFactory defaultImportServices(const ProgramLocations& locations);

} // namespace xls2qdp
