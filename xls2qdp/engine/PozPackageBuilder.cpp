// SPDX-License-Identifier: MIT
#include "PozPackageBuilder.h"

#include "declarations/QdpPOZPaczka.h"
#include "package/NewFileName.h"

namespace xls2qdp {

namespace {

class PozPackage : public PreparedPackage {
public:
    int save(const std::filesystem::path& outputFile, const std::string& temporaryFolder,
             MessageSink& messages) override {
        package.setMessageSink(&messages);
        return package.fMakePaczka(outputFile.string(), temporaryFolder, true);
    }

    TQDPPOZPaczka package;
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
    auto prepared = std::make_unique<PozPackage>();
    prepared->package.setProgramDir(settings_.ProgramDir);
    if (!prepared->package.fInitPOZ(settings_.NrInstalacji, settings_.KodSwiadcz,
                                    settings_.ExportDocVersion, settings_.ExportDocVariant,
                                    &declarations))
        return nullptr;
    return prepared;
}

} // namespace xls2qdp
