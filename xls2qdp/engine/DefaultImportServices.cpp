// SPDX-License-Identifier: MIT
#include "DefaultImportServices.h"

#include "declarations/QdpPOZPaczka.h"
#include "import/ImportTables.h"
#include "import/sheets/DeclarationSheet.h"
#include "import/store/WorkingTable.h"
#include "package/NewFileName.h"

namespace xls2qdp {

namespace fs = std::filesystem;

struct DefaultImportServices::State {
    State(const ImportLocations& where, const GlobalVar& values, fs::path program)
        : locations(where), settings(values), programDir(std::move(program)),
          tables(where.workingTableDir, where.dictionaryDir) {}

    ImportLocations locations;
    GlobalVar settings;
    fs::path programDir;
    ImportTables tables;
    std::unique_ptr<DeclarationSheet> sheet;
    std::unique_ptr<TQDPPOZPaczka> package;
};

DefaultImportServices::DefaultImportServices(const ImportLocations& locations,
                                             const GlobalVar& settings, fs::path programDir)
    : m_state(std::make_unique<State>(locations, settings, std::move(programDir))) {}

DefaultImportServices::~DefaultImportServices() {
    releasePackage();
    closeWorkbook();
    closeTables();
}

const ImportReport& DefaultImportServices::report() const {
    return m_state->tables.report();
}

bool DefaultImportServices::emptyWorkTable() {
    return m_state->tables.emptyWorkTable();
}

void DefaultImportServices::openWorkTable() {
    m_state->tables.openWorkTable();
}

DictionaryProblem DefaultImportServices::openDictionaries(bool withoutCities) {
    State& s = *m_state;
    const DictionariesOpened opened = s.tables.openDictionaries(withoutCities);
    switch (opened.status) {
    case DictionaryStatus::Opened:
        break;
    case DictionaryStatus::AccessError:
        return {DictionaryOpenResult::AccessError, opened.tableName};
    case DictionaryStatus::IndexError:
        return {DictionaryOpenResult::IndexError, opened.tableName};
    }
    s.tables.startRows(ConversionSettings{s.settings.NrInstalacji, s.settings.KodOddzialuNFZ},
                       s.settings.KodWojew);
    return {};
}

void DefaultImportServices::writeDeclarationRow(const DeclarationRow& row) {
    m_state->tables.WriteDeclarationRow(row);
}

void DefaultImportServices::closeTables() noexcept {
    m_state->tables.closeTables();
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
        ImportReport& report = m_state->tables.report();
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
    s.tables.finishRows();
    s.package = std::make_unique<TQDPPOZPaczka>();
    s.package->setProgramDir(s.programDir.string());
    return s.package->fInitPOZ(settings.NrInstalacji, settings.KodSwiadcz,
                               settings.ExportDocVersion, settings.ExportDocVariant,
                               &s.tables.workingTable());
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
