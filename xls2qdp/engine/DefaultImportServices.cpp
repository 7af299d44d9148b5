// SPDX-License-Identifier: MIT
#include "DefaultImportServices.h"

#include <stdexcept>

namespace xls2qdp {

namespace {

// Until the readers, the table store and the package layer are wired in,
// every run stops at its first step with a plain message.
class UnavailableServices : public ImportServices {
public:
    bool emptyWorkTable() override { return false; }
    void openWorkTable() override {}
    DictionaryProblem openDictionaries(bool) override { return {}; }
    void writeDeclarationRow(const DeclarationRow&) override {}
    void closeTables() noexcept override {}
    std::optional<std::filesystem::path> newFileName(const std::string&, const std::string&,
                                                     MessageSink&) override {
        return std::nullopt;
    }
    bool openWorkbook(const std::filesystem::path&, MessageSink&) override { return false; }
    int checkSheetStructure() override { return 0; }
    bool readSheetRow(DeclarationRow&) override { return false; }
    void closeWorkbook() noexcept override {}
    bool initPackage(const GlobalVar&) override { return false; }
    int makePackage(const std::filesystem::path&, const std::string&, MessageSink&) override {
        return 0;
    }
    void releasePackage() noexcept override {}
};

} // namespace

ImportServicesFactory defaultImportServices(const ProgramLocations&) {
    return [] { return std::make_unique<UnavailableServices>(); };
}

} // namespace xls2qdp
