// SPDX-License-Identifier: MIT
// The workbook service over the importer's readers: .xls, .xlsx, .ods and
// .csv files read as declaration sheets. Cells holding error values are noted
// in the import report.
#pragma once

#include "ImportServices.h"

namespace xls2qdp {

class ImportReport;

class SheetWorkbookSource : public WorkbookSource {
public:
    // report must outlive the source and the workbooks it opens.
    explicit SheetWorkbookSource(ImportReport& report) : report_(report) {}

    std::unique_ptr<OpenWorkbook> open(const std::filesystem::path& file) override;

private:
    ImportReport& report_;
};

} // namespace xls2qdp
