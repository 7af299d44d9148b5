// SPDX-License-Identifier: MIT
// One import run: a declaration workbook becomes one new QDP package file in
// the target folder. The checks, the three stages, the abort and the cleanup
// live here once; the desktop dialog and the command line are front ends.
#pragma once

#include "ImportFrontEnd.h"
#include "ImportServices.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp {

enum class ImportResult {
    Succeeded,
    DataFileMissing, // a dictionary or the working table is not where it belongs
    CityDictionaryDeclined,
    WorkTableError, // the working table could not be emptied
    NoWorkbookChosen,
    WorkbookMissing,
    NoFolderChosen,
    FolderMissing,
    FolderNotWritable, // no file can be made in the target folder
    DictionaryError,   // opening a dictionary or building its index failed
    OutputNameFailed,
    WorkbookNotOpened,
    EmptySheet, // no worksheet, or one without any cell
    WrongHeader,
    ColumnsShifted, // the columns after K are certainly not where they belong
    NoDeclarations, // the sheet holds no declaration: no package is written
    Aborted,
    PackageInitFailed,
    PackageNotWritten,
    Failed, // an error of the reader or the table store ended the run
};

struct ImportOutcome {
    ImportResult result = ImportResult::Failed;
    std::filesystem::path packageFile; // the written package, when Succeeded
    int declarations = 0;              // records written to the working table
    int headerColumn = 0;              // the first wrong header column, when WrongHeader
    int packageResult = 0;             // the package layer's code, when PackageNotWritten
    std::string errorText;             // the error's own text, when Failed
    int stage = 0;                     // stage reached: 0 checks, 1 workbook, 2 rows, 3 package
    // What the rows gave, once they were read to their end (hasSummary).
    ImportSummary summary;
    bool hasSummary = false;

    bool succeeded() const { return result == ImportResult::Succeeded; }
};

struct ImportRequest {
    std::string workbookFile; // as chosen (blank means none)
    std::string targetFolder; // as chosen (blank means none); a delimiter is appended
};

// Shown when the header row is wrong; its line breaks are LF CR, as users know it.
inline constexpr std::string_view kWrongHeaderMessage =
    "Format pliku MS Excel jest nieprawidłowy.\n\r"
    "Możliwe przyczyny to:\n\r"
    "-niezgodna liczba kolumn\n\r"
    "-niewłaściwa kolejność kolumn\n\r"
    "-niewłaściwe nazwy kolumn";

class ImportWorkflow {
public:
    ImportWorkflow(const ImportLocations& locations, ImportServices& services)
        : locations_(locations), services_(services) {}

    // Runs one import from the checks to the cleanup. Every message, the
    // final one included, goes to the front end. The working table is empty
    // afterwards and no partial package is left behind.
    ImportOutcome run(const ImportRequest& request, ImportFrontEnd& frontEnd);

private:
    // What the run holds open; released in the cleanup in reverse order.
    struct Held {
        std::unique_ptr<DeclarationRun> declarations;
        std::unique_ptr<OpenWorkbook> workbook;
        std::unique_ptr<PreparedPackage> package;
    };

    ImportResult checkImportConditions(const ImportRequest& request, ImportFrontEnd& frontEnd,
                                       Held& held);
    ImportResult runStages(const ImportRequest& request, ImportFrontEnd& frontEnd,
                           ImportOutcome& outcome, Held& held);
    ImportResult checkSheet(const std::string& workbook, ImportFrontEnd& frontEnd,
                            ImportOutcome& outcome, Held& held, HeaderCheck& header);

    ImportLocations locations_;
    ImportServices& services_;
};

} // namespace xls2qdp
