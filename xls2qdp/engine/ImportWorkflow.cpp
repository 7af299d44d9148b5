// SPDX-License-Identifier: MIT
#include "ImportWorkflow.h"

#include "common/ProgramLocations.h"
#include "common/Text.h"
#include "package/QdpCodes.h"

#include <system_error>

namespace xls2qdp {

namespace {

namespace fs = std::filesystem;

// Every package file the import writes begins with this letter.
constexpr const char* kPackagePrefix = "d";

std::string trimmed(std::string_view text) {
    return std::string(trimBlanksAndControls(text));
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

} // namespace

ImportOutcome ImportWorkflow::run(const ImportRequest& request, ImportFrontEnd& frontEnd) {
    MessageSink& messages = frontEnd.messages();
    ImportOutcome outcome;
    Held held;

    try {
        outcome.result = checkImportConditions(request, frontEnd, held);
    } catch (const std::exception& error) {
        outcome.result = ImportResult::Failed;
        outcome.errorText = error.what();
    }
    if (outcome.result != ImportResult::Succeeded) {
        held.declarations.reset();
        frontEnd.runFinished();
        if (outcome.result == ImportResult::Failed)
            messages.show(MessageKind::Error, outcome.errorText);
        return outcome;
    }

    try {
        outcome.result = runStages(request, frontEnd, outcome, held);
    } catch (const std::exception& error) {
        outcome.result = ImportResult::Failed;
        outcome.errorText = error.what();
    } catch (...) {
        outcome.result = ImportResult::Failed;
        outcome.errorText = "Nieznany błąd podczas importu";
    }

    // Cleanup, on every way out of the stages: the package object goes, the
    // inputs are given back, the working table is emptied and closed, the
    // workbook closed.
    held.package.reset();
    frontEnd.runFinished();
    held.declarations.reset();
    held.workbook.reset();

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
                                                   ImportFrontEnd& frontEnd, Held& held) {
    MessageSink& messages = frontEnd.messages();
    const auto fail = [&](ImportResult result, std::string_view text) {
        messages.show(MessageKind::Error, text);
        return result;
    };

    const std::string dictionaryDir = withTrailingDelimiter(locations_.dictionaryDir.string());
    const std::string tableDir = withTrailingDelimiter(locations_.workingTableDir.string());

    if (!isFile(locations_.dictionaryDir / kCommuneDictionaryFile))
        return fail(ImportResult::DataFileMissing,
                    missingFileMessage(kCommuneDictionaryFile, dictionaryDir));
    bool withoutCities = false;
    if (!isFile(locations_.dictionaryDir / kCityDictionaryFile)) {
        withoutCities = true;
        if (!frontEnd.askYesNo(missingFileMessage(kCityDictionaryFile, dictionaryDir) +
                               "\r\n\r\nKontynuować?")) {
            frontEnd.focusField(ImportField::WorkbookFile);
            return ImportResult::CityDictionaryDeclined;
        }
    }
    if (!isFile(locations_.workingTableDir / kWorkingTableFile))
        return fail(ImportResult::DataFileMissing, missingFileMessage(kWorkingTableFile, tableDir));
    held.declarations = services_.declarations().open();
    if (!held.declarations)
        return fail(ImportResult::WorkTableError,
                    std::string("Wystąpił błąd podczas dostepu do pliku: ") + kWorkingTableFile);

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

    const DictionaryProblem dictionaries = held.declarations->openDictionaries(withoutCities);
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
                                       ImportOutcome& outcome, Held& held) {
    MessageSink& messages = frontEnd.messages();
    const std::string folder = withTrailingDelimiter(trimmed(request.targetFolder));
    frontEnd.conditionsMet(folder);

    const auto output = services_.packages().newFileName(folder, kPackagePrefix, messages);
    if (!output) {
        messages.show(MessageKind::Error, "Błąd podczas generacji pliku wyjściowego!");
        return ImportResult::OutputNameFailed;
    }
    outcome.packageFile = *output;
    outcome.stage = 1;

    // Stage 1: the workbook and its header row.
    try {
        held.workbook = services_.workbooks().open(trimmed(request.workbookFile));
    } catch (const std::exception& error) {
        messages.show(MessageKind::Error, error.what());
        return ImportResult::WorkbookNotOpened;
    }
    frontEnd.stageStarted(ImportStage::SheetStructure);
    outcome.headerColumn = held.workbook->checkHeader();
    if (outcome.headerColumn != 0) {
        messages.show(MessageKind::Error, kWrongHeaderMessage);
        return ImportResult::WrongHeader;
    }
    frontEnd.sheetStructureAccepted();
    frontEnd.stageStarted(ImportStage::ReadingRows);

    // Stage 2: every data row becomes one working-table record. The progress
    // shows the counter of the next row when it is a multiple of ten, and
    // the last data row (the header row when there is none) at the end.
    outcome.stage = 2;
    frontEnd.readingStarted();
    DeclarationRow row;
    int lastDataRow = kHeaderRow;
    for (;;) {
        if (!held.workbook->nextRow(row)) {
            frontEnd.sheetRowReached(lastDataRow);
            break;
        }
        lastDataRow = row.sheetRow;
        if ((row.sheetRow + 1) % 10 == 0) frontEnd.sheetRowReached(row.sheetRow + 1);
        if (frontEnd.abortRequested()) return ImportResult::Aborted; // this row is not written
        held.declarations->append(row);
        ++outcome.declarations;
    }

    // Stage 3: the package from the working table.
    outcome.stage = 3;
    WorkingTableCursor& declarations = held.declarations->commit();
    held.package = services_.packages().prepare(declarations);
    if (!held.package) {
        messages.show(MessageKind::Error, "Błąd podczas inicjalizacji eksportu!");
        return ImportResult::PackageInitFailed;
    }
    frontEnd.stageStarted(ImportStage::WritingPackage);
    outcome.packageResult = held.package->save(*output, folder, messages);
    if (outcome.packageResult != qdpcode::Ok) return ImportResult::PackageNotWritten;
    frontEnd.packageWritten(output->filename().string());
    return ImportResult::Succeeded;
}

} // namespace xls2qdp
