// SPDX-License-Identifier: MIT
#include "DefaultImportServices.h"

#include "common/PrivateFiles.h"
#include "import/store/WorkingTable.h"

namespace xls2qdp {

namespace fs = std::filesystem;

DefaultImportServices::DefaultImportServices(const ImportLocations& locations,
                                             const GlobalVar& settings)
    : workbooks_(report_), declarations_(locations, settings, report_), packages_(settings) {}

std::vector<RemarkCount> DefaultImportServices::remarks() const {
    std::vector<RemarkCount> counts;
    for (std::size_t k = 0; k < kReportKindCount; ++k) {
        const auto kind = static_cast<ReportKind>(k);
        if (report_.count(kind) != 0)
            counts.push_back({std::string(describe(kind)), report_.count(kind)});
    }
    return counts;
}

void ensureWorkingTable(const ProgramLocations& locations) {
    // Only the user's own data folder is set up here; an install folder
    // without its table is reported by the import's checks.
    if (locations.workingTableDir == locations.programDir) return;
    // The table holds patients' data while an import runs, so it and its
    // folder are their owner's only (also when an earlier version made them).
    makePrivateFolder(locations.workingTableDir);
    const fs::path file = locations.workingTableDir / kWorkingTableFile;
    std::error_code error;
    if (!fs::exists(file, error)) store::WorkingTable::create(file);
    makePrivateFile(file);
}

ImportServicesFactory defaultImportServices(const ProgramLocations& locations) {
    return [locations](const GlobalVar& settings) -> std::unique_ptr<ImportServices> {
        ensureWorkingTable(locations);
        return std::make_unique<DefaultImportServices>(
            ImportLocations{locations.workingTableDir, locations.dictionaryDir}, settings);
    };
}

} // namespace xls2qdp
