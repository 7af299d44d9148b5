// SPDX-License-Identifier: MIT
// A declaration sheet as the import reads it: the header check on row 6
// (stage 1) and the data rows from row 7 on (stage 2), each as the 38
// normalised cell texts of columns A to AL. Rows are streamed from the
// workbook file, never collected; the import's read loop, its progress and
// its messages belong to the engine.
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

} // namespace xls2qdp
