// SPDX-License-Identifier: MIT
#include "PozPackageBuilder.h"

#include "declarations/QdpPOZPaczka.h"
#include "declarations/ReadAheadTableCursor.h"
#include "package/NewFileName.h"

namespace xls2qdp {

namespace {

class PozPackage : public PreparedPackage {
public:
    explicit PozPackage(WorkingTableCursor& declarations) : rows(declarations) {}

    int save(const std::filesystem::path& outputFile, const std::string& temporaryFolder,
             MessageSink& messages) override {
        package.setMessageSink(&messages);
        return package.fMakePaczka(outputFile.string(), temporaryFolder, true);
    }

    // The sections' passes over the table, read ahead while records are made.
    ReadAheadTableCursor rows;
    TQDPPOZPaczka package; // after rows: it reads them until it goes
};

} // namespace

std::optional<std::filesystem::path> PozPackageBuilder::newFileName(const std::string& folder,
                                                                    const std::string& prefix,
                                                                    MessageSink& messages) {
    std::string fullName;
    if (!fNewFileName(folder, true, prefix, fullName, &messages)) return std::nullopt;
    return std::filesystem::path(fullName);
}

std::unique_ptr<PreparedPackage> PozPackageBuilder::prepare(WorkingTableCursor& declarations) {
    auto prepared = std::make_unique<PozPackage>(declarations);
    prepared->package.setProgramDir(settings_.ProgramDir);
    if (!prepared->package.fInitPOZ(settings_.NrInstalacji, settings_.KodSwiadcz,
                                    settings_.ExportDocVersion, settings_.ExportDocVariant,
                                    &prepared->rows))
        return nullptr;
    return prepared;
}

} // namespace xls2qdp
