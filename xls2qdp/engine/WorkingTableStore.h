// SPDX-License-Identifier: MIT
// The declaration store over the SQLite working table xls_imp.db and the
// dictionaries sl_gminy.db and sl_miejscowosci.db: each sheet row is
// converted by the field rules and dictionary lookups and appended inside
// one transaction per run. Values stored differently from the sheet are
// noted in the import report.
#pragma once

#include "ImportServices.h"

namespace xls2qdp {

class ImportReport;

class WorkingTableStore : public DeclarationStore {
public:
    // settings are copied; report must outlive the store and its runs.
    WorkingTableStore(const ImportLocations& locations, const GlobalVar& settings,
                      ImportReport& report);

    std::unique_ptr<DeclarationRun> open(std::string& failure) override;

private:
    class Run;

    ImportLocations locations_;
    GlobalVar settings_;
    ImportReport& report_;
};

} // namespace xls2qdp
