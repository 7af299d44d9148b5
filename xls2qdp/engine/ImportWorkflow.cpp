// SPDX-License-Identifier: MIT
#include "ImportWorkflow.h"

#include "common/FolderAccess.h"
#include "common/ProgramLocations.h"
#include "common/Text.h"
#include "import/conversion/ColumnLayoutCheck.h"
#include "import/sheets/CellText.h"
#include "import/sheets/DeclarationSheet.h"
#include "package/QdpCodes.h"

#include <system_error>
#include <utility>

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

std::string quotedText(std::string_view text) {
    return "„" + std::string(text) + "”";
}

std::string sheetLabel(const HeaderCheck& header) {
    std::string label = "nr " + std::to_string(header.sheetNumber);
    if (!header.sheetName.empty()) label += " " + quotedText(header.sheetName);
    return label;
}

// The line added to the wrong-header message: where, what was expected, what was found.
std::string wrongHeaderDetail(const HeaderCheck& header) {
    const std::size_t index = static_cast<std::size_t>(header.column - 1);
    std::string text =
        "Kolumna " + columnLetters(header.column - 1) + " (wiersz 6): oczekiwano " +
        quotedText(kExpectedHeaders[index]) + ", jest " +
        (header.found.empty() ? std::string("pusta komórka") : quotedText(header.found)) + ".";
    if (header.rightSheets.size() > 1) {
        text += "\n\rWłaściwy nagłówek mają arkusze:";
        for (std::size_t i = 0; i < header.rightSheets.size(); ++i)
            text += (i == 0 ? " " : ", ") + quotedText(header.rightSheets[i]);
        text += ". Przenieś arkusz z deklaracjami na pierwsze miejsce.";
    }
    return text;
}

std::string shiftedColumnsMessage(const LayoutVerdict& layout) {
    constexpr std::size_t kShown = 4;
    std::string text = "Kolumny od L do AL nie leżą tam, gdzie we wzorze deklaracji: ich dane "
                       "trafiłyby do niewłaściwych pól pliku QDP.";
    for (std::size_t i = 0; i < layout.evidence.size() && i < kShown; ++i)
        text += "\r\n" + layout.evidence[i];
    if (layout.evidence.size() > kShown)
        text += "\r\n(i " + std::to_string(layout.evidence.size() - kShown) + " podobnych)";
    text += "\r\nPrzywróć układ kolumn wzoru (usuń wstawioną kolumnę albo dodaj usuniętą) i "
            "wskaż plik ponownie.";
    return text;
}

// False when the columns after K are certainly moved (shown as an error);
// a likely move becomes a warning of the summary.
bool judgeLayout(const HeaderCheck& header, const std::vector<DeclarationRow>& firstRows,
                 MessageSink& messages, ImportSummary& summary) {
    const LayoutVerdict layout = checkColumnLayout(header.headers, firstRows);
    if (layout.shift == LayoutShift::Certain) {
        messages.show(MessageKind::Error, shiftedColumnsMessage(layout));
        return false;
    }
    if (layout.shift == LayoutShift::Likely)
        summary.warnings.push_back("Możliwe przesunięcie kolumn: " + layout.evidence.front() +
                                   " Sprawdź w pliku QDP adresy i daty.");
    return true;
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

    if (outcome.hasSummary) {
        outcome.summary.remarks = services_.remarks();
        outcome.summary.remarkTotal = 0;
        for (const RemarkCount& remark : outcome.summary.remarks)
            outcome.summary.remarkTotal += remark.count;
    }
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
    std::string tableFailure;
    held.declarations = services_.declarations().open(tableFailure);
    if (!held.declarations)
        return fail(ImportResult::WorkTableError,
                    std::string("Wystąpił błąd podczas dostepu do pliku: ") + kWorkingTableFile +
                        (tableFailure.empty() ? "" : "\r\n" + tableFailure));

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
        std::string text = "Wskazany katalog nieistnieje !";
        std::error_code error;
        if (fs::exists(folder, error))
            text += "\r\n" + quotedText(folder) + " to plik, a nie katalog.";
        return fail(ImportResult::FolderMissing, text);
    }
    // Found out now rather than after every row was read.
    if (const std::string problem = folderWriteProblem(folder); !problem.empty()) {
        frontEnd.focusField(ImportField::TargetFolder);
        return fail(ImportResult::FolderNotWritable, "Nie można zapisać pliku QDP w katalogu " +
                                                         quotedText(folder) + ": " + problem + ".");
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
    HeaderCheck header;
    if (const ImportResult result =
            checkSheet(trimmed(request.workbookFile), frontEnd, outcome, held, header);
        result != ImportResult::Succeeded)
        return result;
    frontEnd.sheetStructureAccepted();
    frontEnd.stageStarted(ImportStage::ReadingRows);

    // Stage 2: every data row becomes one working-table record. The progress
    // shows the counter of the next row when it is a multiple of ten, and
    // the last data row (the header row when there is none) at the end. The
    // first rows also tell whether the columns after K were moved; rows
    // appended before that is known go with the run if it ends.
    outcome.stage = 2;
    frontEnd.readingStarted();
    std::vector<DeclarationRow> firstRows;
    bool layoutJudged = false;
    int lastDataRow = kHeaderRow;
    ImportSummary& summary = outcome.summary;
    for (;;) {
        const DeclarationRow* next = held.workbook->nextRow();
        if (!next) {
            frontEnd.sheetRowReached(lastDataRow);
            break;
        }
        const DeclarationRow& row = *next;
        lastDataRow = row.sheetRow;
        if ((row.sheetRow + 1) % 10 == 0) frontEnd.sheetRowReached(row.sheetRow + 1);
        if (frontEnd.abortRequested()) return ImportResult::Aborted; // this row is not written
        if (!layoutJudged) {
            firstRows.push_back(row);
            if (firstRows.size() == kLayoutSampleRows) {
                layoutJudged = true;
                if (!judgeLayout(header, firstRows, messages, summary))
                    return ImportResult::ColumnsShifted;
            }
        }
        if (held.declarations->append(row))
            ++outcome.declarations;
        else
            ++summary.rowsSkipped;
    }
    if (!layoutJudged && !judgeLayout(header, firstRows, messages, summary))
        return ImportResult::ColumnsShifted;
    summary.declarations = outcome.declarations;
    summary.lastDataRow = lastDataRow;
    const RowsBelowEnd below = held.workbook->rowsBelowEnd();
    if (below.count > 0)
        summary.warnings.push_back(
            "Wiersz " + std::to_string(lastDataRow + 1) +
            " ma puste kolumny A–D, więc na nim kończą się dane; niżej jest jeszcze " +
            countedNoun(below.count, "wypełniony wiersz", "wypełnione wiersze",
                        "wypełnionych wierszy") +
            " (pierwszy: " + std::to_string(below.firstRow) + "), " +
            (below.count == 1 ? "którego" : "których") +
            " nie zaimportowano. Jeśli to deklaracje, usuń pusty wiersz i zaimportuj ponownie.");
    outcome.hasSummary = true;
    if (outcome.declarations == 0) {
        // An empty package sent on as a success would be a failure nobody sees.
        messages.show(MessageKind::Error,
                      "Arkusz nie zawiera żadnej deklaracji, więc plik QDP nie został zapisany."
                      "\r\nDeklaracje zaczynają się w wierszu 7 i kończą na pierwszym wierszu z "
                      "pustymi kolumnami A–D; wiersz bez nazwiska i imienia nie jest "
                      "deklaracją.");
        return ImportResult::NoDeclarations;
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

ImportResult ImportWorkflow::checkSheet(const std::string& workbook, ImportFrontEnd& frontEnd,
                                        ImportOutcome& outcome, Held& held, HeaderCheck& header) {
    MessageSink& messages = frontEnd.messages();
    try {
        held.workbook = services_.workbooks().open(workbook);
    } catch (const std::exception& error) {
        messages.show(MessageKind::Error, error.what());
        return ImportResult::WorkbookNotOpened;
    }
    frontEnd.stageStarted(ImportStage::SheetStructure);
    header = held.workbook->checkHeader();
    outcome.summary.sheetName = header.sheetName;
    outcome.summary.sheetNumber = header.sheetNumber;
    if (header.noSheets || header.sheetEmpty) {
        messages.show(MessageKind::Error,
                      (header.noSheets
                           ? "Skoroszyt " + quotedText(workbook) + " nie zawiera żadnego arkusza."
                           : "Arkusz " + sheetLabel(header) + " skoroszytu " +
                                 quotedText(workbook) + " jest pusty.") +
                          "\r\nDeklaracje muszą mieć nagłówek w wierszu 6 i dane od wiersza 7.");
        return ImportResult::EmptySheet;
    }
    outcome.headerColumn = header.column;
    if (header.column != 0) {
        messages.show(MessageKind::Error,
                      std::string(kWrongHeaderMessage) + "\n\r" + wrongHeaderDetail(header));
        return ImportResult::WrongHeader;
    }
    if (header.sheetNumber > 1)
        outcome.summary.warnings.push_back(
            "Pierwszy arkusz skoroszytu nie ma nagłówka deklaracji w wierszu 6; zaimportowano "
            "arkusz " +
            sheetLabel(header) + ".");
    return ImportResult::Succeeded;
}

} // namespace xls2qdp
