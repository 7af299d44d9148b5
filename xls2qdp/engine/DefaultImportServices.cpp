// SPDX-License-Identifier: MIT
#include "DefaultImportServices.h"

#include "declarations/QdpPOZPaczka.h"
#include "import/conversion/DeclarationWriter.h"
#include "import/conversion/DictionaryLookups.h"
#include "import/conversion/ImportReport.h"
#include "import/sheets/CellText.h"
#include "import/sheets/DeclarationSheet.h"
#include "import/store/CityDictionary.h"
#include "import/store/CommuneDictionary.h"
#include "import/store/WorkingTable.h"
#include "package/NewFileName.h"

namespace xls2qdp {

namespace fs = std::filesystem;

struct DefaultImportServices::State {
    ImportLocations locations;
    GlobalVar settings;
    fs::path programDir;

    store::WorkingTable table;
    store::CommuneDictionary communes;
    store::CityDictionary cities;
    std::unique_ptr<DictionaryLookups> lookups;
    ImportReport report;
    std::unique_ptr<DeclarationWriter> writer;
    std::unique_ptr<store::AppendTransaction> transaction;
    std::unique_ptr<DeclarationSheet> sheet;
    std::unique_ptr<TQDPPOZPaczka> package;

    fs::path workingTableFile() const { return locations.workingTableDir / kWorkingTableFile; }

    // Ends the rows of a run; rows not committed are rolled back.
    void endRows() {
        transaction.reset();
        writer.reset();
    }
};

DefaultImportServices::DefaultImportServices(const ImportLocations& locations,
                                             const GlobalVar& settings, fs::path programDir)
    : m_state(std::make_unique<State>()) {
    m_state->locations = locations;
    m_state->settings = settings;
    m_state->programDir = std::move(programDir);
}

DefaultImportServices::~DefaultImportServices() {
    releasePackage();
    closeWorkbook();
    closeTables();
}

const ImportReport& DefaultImportServices::report() const {
    return m_state->report;
}

bool DefaultImportServices::emptyWorkTable() {
    State& s = *m_state;
    try {
        s.endRows();
        if (s.table.isOpen()) s.table.close();
        s.table.open(s.workingTableFile(), store::WorkingTable::Access::Exclusive);
        s.table.deleteAll();
        s.table.close();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void DefaultImportServices::openWorkTable() {
    State& s = *m_state;
    if (!s.table.isOpen())
        s.table.open(s.workingTableFile(), store::WorkingTable::Access::Exclusive);
}

DictionaryProblem DefaultImportServices::openDictionaries(bool withoutCities) {
    State& s = *m_state;
    const fs::path folder = s.locations.dictionaryDir;
    try {
        if (!s.communes.isOpen()) s.communes.open(folder / kCommuneDictionaryFile);
    } catch (const std::exception&) {
        return {DictionaryOpenResult::AccessError, kCommuneDictionaryFile};
    }
    if (!withoutCities) {
        try {
            if (!s.cities.isOpen()) s.cities.open(folder / kCityDictionaryFile);
        } catch (const std::exception&) {
            return {DictionaryOpenResult::AccessError, kCityDictionaryFile};
        }
    }
    try {
        s.communes.ensureSearchIndex();
    } catch (const std::exception&) {
        return {DictionaryOpenResult::IndexError, kCommuneDictionaryFile};
    }

    s.lookups = std::make_unique<DictionaryLookups>(s.communes, withoutCities ? nullptr : &s.cities,
                                                    s.settings.KodWojew);
    s.report.clear();
    s.writer = std::make_unique<DeclarationWriter>(
        s.table, *s.lookups, ConversionSettings{s.settings.NrInstalacji, s.settings.KodOddzialuNFZ},
        s.report);
    s.writer->startRun();
    s.transaction = std::make_unique<store::AppendTransaction>(s.table);
    return {};
}

void DefaultImportServices::writeDeclarationRow(const DeclarationRow& row) {
    m_state->writer->WriteDeclarationRow(row);
}

void DefaultImportServices::closeTables() noexcept {
    State& s = *m_state;
    try {
        s.endRows();
        s.lookups.reset();
        if (s.table.isOpen()) s.table.close();
        if (s.communes.isOpen()) s.communes.close();
        if (s.cities.isOpen()) s.cities.close();
    } catch (...) {
        // Closing only releases files; nothing is left to report.
    }
}

std::optional<fs::path> DefaultImportServices::newFileName(const std::string& folder,
                                                           const std::string& prefix,
                                                           MessageSink& messages) {
    std::string fullName;
    if (!fNewFileName(folder, true, prefix, fullName, &messages)) return std::nullopt;
    return fs::path(fullName);
}

bool DefaultImportServices::openWorkbook(const fs::path& file, MessageSink& messages) {
    try {
        m_state->sheet = std::make_unique<DeclarationSheet>(file);
        ImportReport& report = m_state->report;
        m_state->sheet->setCellNoteHandler([&report](const CellNote& note) {
            report.add({note.sheetRow, columnLetters(note.column), note.value,
                        ReportKind::CellNotRead, note.what});
        });
        return true;
    } catch (const std::exception& error) {
        m_state->sheet.reset();
        messages.show(MessageKind::Error, error.what());
        return false;
    }
}

int DefaultImportServices::checkSheetStructure() {
    return m_state->sheet->CheckSheetStructure();
}

bool DefaultImportServices::readSheetRow(DeclarationRow& row) {
    return m_state->sheet->ReadSheetRow(row);
}

void DefaultImportServices::closeWorkbook() noexcept {
    m_state->sheet.reset();
}

bool DefaultImportServices::initPackage(const GlobalVar& settings) {
    State& s = *m_state;
    if (s.transaction) s.transaction->commit();
    s.endRows();
    s.package = std::make_unique<TQDPPOZPaczka>();
    s.package->setProgramDir(s.programDir.string());
    return s.package->fInitPOZ(settings.NrInstalacji, settings.KodSwiadcz,
                               settings.ExportDocVersion, settings.ExportDocVariant, &s.table);
}

int DefaultImportServices::makePackage(const fs::path& outputFile,
                                       const std::string& temporaryFolder, MessageSink& messages) {
    State& s = *m_state;
    s.package->setMessageSink(&messages);
    return s.package->fMakePaczka(outputFile.string(), temporaryFolder, true);
}

void DefaultImportServices::releasePackage() noexcept {
    m_state->package.reset();
}

void ensureWorkingTable(const ProgramLocations& locations) {
    const fs::path file = locations.workingTableDir / kWorkingTableFile;
    std::error_code error;
    if (fs::exists(file, error)) return;
    // Only the user's own data folder is set up here; an install folder
    // without its table is reported by the import's checks.
    if (locations.workingTableDir == locations.programDir) return;
    fs::create_directories(locations.workingTableDir);
    store::WorkingTable::create(file);
}

ImportServicesFactory defaultImportServices(const ProgramLocations& locations) {
    return [locations](const GlobalVar& settings) -> std::unique_ptr<ImportServices> {
        ensureWorkingTable(locations);
        return std::make_unique<DefaultImportServices>(
            ImportLocations{locations.workingTableDir, locations.dictionaryDir}, settings,
            locations.programDir);
    };
}

} // namespace xls2qdp
