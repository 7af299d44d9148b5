// SPDX-License-Identifier: MIT
// A declaration sheet as the import reads it: the header check on row 6
// (stage 1) and the data rows from row 7 on (stage 2), each as the 38
// normalised cell texts of columns A to AL. Rows are streamed from the
// workbook file, never collected.
#pragma once

#include "import/DeclarationRow.h"
#include "import/sheets/WorkbookReader.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp {

inline constexpr int kHeaderRow = 6;
inline constexpr int kFirstDataRow = 7;

// The names row 6 must hold in columns A to K (compared upper-cased, without
// surrounding blanks).
inline constexpr std::array<std::string_view, 11> kExpectedHeaders = {"Rodzaj_listy",
                                                                      "PESEL",
                                                                      "Nazwisko",
                                                                      "Imię",
                                                                      "Nazwisko_rodowe",
                                                                      "Data_urodzenia",
                                                                      "Płeć",
                                                                      "Tytuł_ubezp",
                                                                      "Data_zgłoszenia",
                                                                      "Nr_wyboru",
                                                                      "Status_podopiecznego"};

// Shown when the header row is wrong; its line breaks are LF CR, as users know it.
inline constexpr std::string_view kWrongSheetStructureMessage =
    "Format pliku MS Excel jest nieprawidłowy.\n\r"
    "Możliwe przyczyny to:\n\r"
    "-niezgodna liczba kolumn\n\r"
    "-niewłaściwa kolejność kolumn\n\r"
    "-niewłaściwe nazwy kolumn";

// A cell the import could not take as it stands (for the import report).
struct CellNote {
    int sheetRow = 0;
    int column = 0;    // 0 = column A
    std::string value; // as the spreadsheet shows it
    std::string what;  // Polish, e.g. "komórka zawiera wartość błędu ...; przyjęto pustą"
};

class DeclarationSheet {
public:
    // Opens the workbook's first worksheet; throws WorkbookError.
    explicit DeclarationSheet(const std::filesystem::path& file);
    explicit DeclarationSheet(std::unique_ptr<WorkbookReader> reader);

    // 0 when the header row is right, else the number (1..11) of the first
    // column whose header differs. Call it once, before the rows are read.
    int CheckSheetStructure();

    // Fills row with the next data row and returns true; false at the end of
    // the data: the first row whose columns A to D are all empty (a row
    // missing from the file is empty), or the end of the sheet. An empty or
    // "0" PESEL (column B) becomes "00000000000". Throws WorkbookError when
    // the file turns out damaged while it is read.
    bool ReadSheetRow(DeclarationRow& row);

    // Receives a note for every cell of a returned row that held an error
    // value (its text is then empty), a text longer than a cell holds (cut),
    // or a reference to a text the file lacks (empty).
    void setCellNoteHandler(std::function<void(const CellNote&)> handler) {
        noteHandler_ = std::move(handler);
    }

    // The texts of one header cell as the check compares them.
    static std::string ReadHeaderCell(const CellValue& cell);

private:
    bool nextSheetRow(SheetRow& row);
    void noteProblem(const CellValue& cell, int column);

    std::unique_ptr<WorkbookReader> reader_;
    std::optional<SheetRow> lookahead_;
    SheetRow current_;
    int nextRow_ = kFirstDataRow;
    bool ended_ = false;
    std::vector<CellNote> notes_;
    std::function<void(const CellNote&)> noteHandler_;
};

// Stage 2 in one call, for callers without a loop of their own: every data
// row goes to onRow, the sheet row reached to onProgress every tenth row and
// once at the end with the last data row (as the progress label shows it),
// and abortRequested is asked after each row is read (a row read when it
// says yes is not passed on).
struct DeclarationReadCallbacks {
    std::function<void(const DeclarationRow&)> onRow;
    std::function<void(int sheetRow)> onProgress;
    std::function<bool()> abortRequested;
};

struct DeclarationReadResult {
    int rows = 0; // passed to onRow
    int lastDataRow = kHeaderRow;
    bool aborted = false;
};

DeclarationReadResult ReadDeclarationRows(DeclarationSheet& sheet,
                                          const DeclarationReadCallbacks& callbacks);

} // namespace xls2qdp
