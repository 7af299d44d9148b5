// SPDX-License-Identifier: MIT
#include "ImportWorkflow.h"

#include "shell/ProgramLocations.h"

#include <system_error>

namespace xls2qdp {

namespace {

namespace fs = std::filesystem;

constexpr char kDelimiter = static_cast<char>(fs::path::preferred_separator);

std::string trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return std::string(text);
}

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error) && !fs::is_directory(path, error);
}

// Whatever is there goes on to the workbook reader, which says what is wrong
// with a folder, a FIFO or a device; only a name with nothing behind it is
// missing.
bool exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

std::string missingFileMessage(std::string_view table, const std::string& folder) {
    return "Brak pliku:" + std::string(table) + "\r\nw katalogu: " + folder;
}

// The header message keeps its line breaks as LF CR, as users know it.
constexpr std::string_view kWrongHeaderMessage = "Format pliku MS Excel jest nieprawidłowy.\n\r"
                                                 "Możliwe przyczyny to:\n\r"
                                                 "-niezgodna liczba kolumn\n\r"
                                                 "-niewłaściwa kolejność kolumn\n\r"
                                                 "-niewłaściwe nazwy kolumn";

} // namespace

std::string ImportWorkflow::withTrailingDelimiter(std::string folder) {
    if (folder.empty() || (folder.back() != kDelimiter && folder.back() != '/'))
        folder += kDelimiter;
    return folder;
}

ImportOutcome ImportWorkflow::run(const ImportRequest& request, ImportFrontEnd& frontEnd) {
    MessageSink& messages = frontEnd.messages();
    ImportOutcome outcome;

    try {
        outcome.result = checkImportConditions(request, frontEnd);
    } catch (const std::exception& error) {
        outcome.result = ImportResult::Failed;
        outcome.errorText = error.what();
    }
    if (outcome.result != ImportResult::Succeeded) {
        m_services.closeTables();
        frontEnd.runFinished();
        if (outcome.result == ImportResult::Failed)
            messages.show(MessageKind::Error, outcome.errorText);
        return outcome;
    }

    m_workbookOpened = false;
    try {
        outcome.result = runStages(request, frontEnd, outcome);
    } catch (const std::exception& error) {
        outcome.result = ImportResult::Failed;
        outcome.errorText = error.what();
    } catch (...) {
        outcome.result = ImportResult::Failed;
        outcome.errorText = "Nieznany błąd podczas importu";
    }

    // Cleanup, on every way out of the stages.
    m_services.releasePackage();
    frontEnd.runFinished();
    m_services.emptyWorkTable();
    if (m_workbookOpened) m_services.closeWorkbook();
    m_workbookOpened = false;
    m_services.closeTables();

    if (outcome.succeeded()) {
        messages.show(MessageKind::Information,
                      "Import zakończony, deklaracje zotsły zapisane w pliku:\r\n" +
                          outcome.packageFile.string());
        return outcome;
    }
    // The name was free when the run chose it, so whatever now stands under
    // it is this run's unfinished package: never leave it to be sent on.
    if (!outcome.packageFile.empty()) {
        std::error_code error;
        fs::remove(outcome.packageFile, error);
        outcome.packageFile.clear();
    }
    if (outcome.result == ImportResult::Aborted)
        messages.show(MessageKind::Information, "Import przerwany przez użytkownika");
    else if (outcome.result == ImportResult::Failed)
        messages.show(MessageKind::Error, outcome.errorText);
    return outcome;
}

ImportResult ImportWorkflow::checkImportConditions(const ImportRequest& request,
                                                   ImportFrontEnd& frontEnd) {
    MessageSink& messages = frontEnd.messages();
    const auto fail = [&](ImportResult result, std::string_view text) {
        messages.show(MessageKind::Error, text);
        return result;
    };

    const std::string dictionaryDir = withTrailingDelimiter(m_locations.dictionaryDir.string());
    const std::string tableDir = withTrailingDelimiter(m_locations.workingTableDir.string());

    if (!isFile(m_locations.dictionaryDir / kCommuneDictionaryFile))
        return fail(ImportResult::DataFileMissing,
                    missingFileMessage(kCommuneDictionaryFile, dictionaryDir));
    m_withoutCities = false;
    if (!isFile(m_locations.dictionaryDir / kCityDictionaryFile)) {
        m_withoutCities = true;
        if (!frontEnd.askYesNo(missingFileMessage(kCityDictionaryFile, dictionaryDir) +
                               "\r\n\r\nKontynuować?")) {
            frontEnd.focusField(ImportField::WorkbookFile);
            return ImportResult::CityDictionaryDeclined;
        }
    }
    if (!isFile(m_locations.workingTableDir / kWorkingTableFile))
        return fail(ImportResult::DataFileMissing, missingFileMessage(kWorkingTableFile, tableDir));
    if (!m_services.emptyWorkTable())
        return fail(ImportResult::WorkTableError,
                    std::string("Wystąpił błąd podczas dostepu do pliku: ") + kWorkingTableFile);
    m_services.openWorkTable();

    const std::string workbook = trimmed(request.workbookFile);
    if (workbook.empty()) {
        frontEnd.focusField(ImportField::WorkbookFile);
        return fail(ImportResult::NoWorkbookChosen, "Proszę wskazać plik XLS!");
    }
    if (!exists(workbook)) {
        frontEnd.focusField(ImportField::WorkbookFile);
        return fail(ImportResult::WorkbookMissing, "Wskazany plik XLS nieistnieje !");
    }
    const std::string folder = trimmed(request.targetFolder);
    if (folder.empty()) {
        frontEnd.focusField(ImportField::TargetFolder);
        return fail(ImportResult::NoFolderChosen, "Proszę wskazać katalog wyjściowy!");
    }
    if (!isFolder(folder)) {
        frontEnd.focusField(ImportField::TargetFolder);
        return fail(ImportResult::FolderMissing, "Wskazany katalog nieistnieje !");
    }

    const DictionaryProblem dictionaries = m_services.openDictionaries(m_withoutCities);
    switch (dictionaries.result) {
    case DictionaryOpenResult::Opened:
        break;
    case DictionaryOpenResult::AccessError:
        return fail(ImportResult::DictionaryError,
                    "Wystąpił błąd podczas dostępu do tabeli: " + dictionaries.tableName);
    case DictionaryOpenResult::IndexError:
        return fail(ImportResult::DictionaryError,
                    "Wystąpił błąd podczas tworzenia indeksu dla tabeli: " +
                        dictionaries.tableName);
    }
    return ImportResult::Succeeded;
}

ImportResult ImportWorkflow::runStages(const ImportRequest& request, ImportFrontEnd& frontEnd,
                                       ImportOutcome& outcome) {
    MessageSink& messages = frontEnd.messages();
    const std::string folder = withTrailingDelimiter(trimmed(request.targetFolder));
    frontEnd.conditionsMet(folder);

    const auto output = m_services.newFileName(folder, "d", messages);
    if (!output) {
        messages.show(MessageKind::Error, "Błąd podczas generacji pliku wyjściowego!");
        return ImportResult::OutputNameFailed;
    }
    outcome.packageFile = *output;
    outcome.stage = 1;

    if (!m_services.openWorkbook(trimmed(request.workbookFile), messages))
        return ImportResult::WorkbookNotOpened;
    m_workbookOpened = true;

    frontEnd.stageStarted(ImportStage::SheetStructure);
    outcome.headerColumn = m_services.checkSheetStructure();
    if (outcome.headerColumn != 0) {
        messages.show(MessageKind::Error, kWrongHeaderMessage);
        return ImportResult::WrongHeader;
    }
    frontEnd.sheetStructureAccepted();
    frontEnd.stageStarted(ImportStage::ReadingRows);

    outcome.stage = 2;
    frontEnd.readingStarted();
    DeclarationRow row;
    int lastDataRow = 6; // the header row
    for (;;) {
        if (!m_services.readSheetRow(row)) {
            frontEnd.sheetRowReached(lastDataRow);
            break;
        }
        lastDataRow = row.sheetRow;
        if ((row.sheetRow + 1) % 10 == 0) frontEnd.sheetRowReached(row.sheetRow + 1);
        if (frontEnd.abortRequested()) return ImportResult::Aborted; // this row is not written
        m_services.writeDeclarationRow(row);
        ++outcome.declarations;
    }

    outcome.stage = 3;
    if (!m_services.initPackage(m_settings)) {
        messages.show(MessageKind::Error, "Błąd podczas inicjalizacji eksportu!");
        return ImportResult::PackageInitFailed;
    }
    frontEnd.stageStarted(ImportStage::WritingPackage);
    outcome.packageResult = m_services.makePackage(*output, folder, messages);
    if (outcome.packageResult != 1) return ImportResult::PackageNotWritten;
    frontEnd.packageWritten(output->filename().string());
    return ImportResult::Succeeded;
}

} // namespace xls2qdp
