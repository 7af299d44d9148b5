// SPDX-License-Identifier: MIT
// The import services over the importer's real modules: the workbook
// readers, the SQLite table store with its dictionaries and conversion rules,
// and the POZ package layer over qdpcore, sharing one import report.
#pragma once

#include "ImportServices.h"
#include "PozPackageBuilder.h"
#include "SheetWorkbookSource.h"
#include "WorkingTableStore.h"
#include "common/ProgramLocations.h"
#include "import/conversion/ImportReport.h"

namespace xls2qdp {

class DefaultImportServices : public ImportServices {
public:
    // locations and settings are copied.
    DefaultImportServices(const ImportLocations& locations, const GlobalVar& settings);

    // The values of the last run that were stored differently from the sheet.
    const ImportReport& report() const { return report_; }

    WorkbookSource& workbooks() override { return workbooks_; }
    DeclarationStore& declarations() override { return declarations_; }
    PackageBuilder& packages() override { return packages_; }
    std::vector<RemarkCount> remarks() const override;

private:
    ImportReport report_;
    SheetWorkbookSource workbooks_;
    WorkingTableStore declarations_;
    PozPackageBuilder packages_;
};

// Where an installed program keeps the working table in the user's data
// folder, makes an empty one there on first use; throws on failure.
void ensureWorkingTable(const ProgramLocations& locations);

// Makes DefaultImportServices for the program's locations.
ImportServicesFactory defaultImportServices(const ProgramLocations& locations);

} // namespace xls2qdp
