// SPDX-License-Identifier: MIT
// The import services over the importer's real modules: the workbook readers,
// the SQLite table store with its dictionaries and conversion rules, and the
// POZ package layer over qdpcore.
#pragma once

#include "ImportServices.h"
#include "ImportWorkflow.h"
#include "common/ProgramLocations.h"

#include <memory>

namespace xls2qdp {

class ImportReport;

class DefaultImportServices : public ImportServices {
public:
    // locations and settings are copied; programDir is where the package
    // layer looks for its qdp.ini.
    DefaultImportServices(const ImportLocations& locations, const GlobalVar& settings,
                          std::filesystem::path programDir);
    ~DefaultImportServices() override;

    // The values of the last run that were stored differently from the sheet.
    const ImportReport& report() const;

    bool emptyWorkTable() override;
    void openWorkTable() override;
    DictionaryProblem openDictionaries(bool withoutCities) override;
    void writeDeclarationRow(const DeclarationRow& row) override;
    void closeTables() noexcept override;
    std::optional<std::filesystem::path> newFileName(const std::string& folder,
                                                     const std::string& prefix,
                                                     MessageSink& messages) override;
    bool openWorkbook(const std::filesystem::path& file, MessageSink& messages) override;
    int checkSheetStructure() override;
    bool readSheetRow(DeclarationRow& row) override;
    void closeWorkbook() noexcept override;
    bool initPackage(const GlobalVar& settings) override;
    int makePackage(const std::filesystem::path& outputFile, const std::string& temporaryFolder,
                    MessageSink& messages) override;
    void releasePackage() noexcept override;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Where an installed program keeps the working table in the user's data
// folder, makes an empty one there on first use; throws on failure.
void ensureWorkingTable(const ProgramLocations& locations);

// Makes DefaultImportServices for the program's locations.
ImportServicesFactory defaultImportServices(const ProgramLocations& locations);

} // namespace xls2qdp
