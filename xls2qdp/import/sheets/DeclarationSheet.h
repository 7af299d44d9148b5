// SPDX-License-Identifier: MIT
// A declaration sheet as the import reads it: the header check on row 6
// (stage 1) and the data rows from row 7 on (stage 2), each as the 38
// normalised cell texts of columns A to AL. Rows are streamed from the
// workbook file, never collected; the import's read loop, its progress and
// its messages belong to the engine.
#pragma once

#include "import/DeclarationRow.h"
#include "import/sheets/TemplateHeaders.h"
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
// surrounding blanks): the template's first eleven.
inline constexpr std::array<std::string_view, 11> kExpectedHeaders = [] {
    std::array<std::string_view, 11> names{};
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = kTemplateHeaders[i];
    return names;
}();

// A cell the import could not take as it stands (for the import report).
struct CellNote {
    enum class Kind { ErrorValue, FormulaWithoutValue, TextCut, NoSuchSharedString };
    Kind kind = Kind::ErrorValue;
    int sheetRow = 0;
    int column = 0;    // 0 = column A
    std::string value; // as the spreadsheet shows it
    std::string what;  // Polish, e.g. "komórka zawiera wartość błędu ...; przyjęto pustą"
    std::string surname, pesel; // the row's columns C and B, to tell the row by
};

class DeclarationSheet {
public:
    // Opens the workbook's worksheet numbered sheet (0 = the first); throws
    // WorkbookError.
    explicit DeclarationSheet(const std::filesystem::path& file, std::size_t sheet = 0);
    explicit DeclarationSheet(std::unique_ptr<WorkbookReader> reader);

    // 0 when the header row is right, else the number (1..11) of the first
    // column whose header differs. Call it once, before the rows are read.
    int CheckSheetStructure();

    // After CheckSheetStructure: row 6's normalised texts, columns A to AL
    // (empty when the row is), and whether the sheet holds no cell at all.
    const std::array<std::string, kDeclarationColumns>& headerTexts() const { return header_; }
    bool isEmpty() const { return empty_; }

    // The names of the workbook's worksheets (WorkbookReader::sheetNames).
    std::vector<std::string> sheetNames() { return reader_->sheetNames(); }

    // Fills row with the next data row and returns true; false at the end of
    // the data: the first row whose columns A to D are all empty (a row
    // missing from the file is empty), or the end of the sheet. An empty or
    // "0" PESEL (column B) becomes "00000000000". Throws WorkbookError when
    // the file turns out damaged while it is read.
    bool ReadSheetRow(DeclarationRow& row);

    // After ReadSheetRow returned false: reads on to the end of the sheet and
    // counts the filled rows the end of the data left out.
    RowsBelowEnd countRowsBelowEnd();

    // Receives a note for every cell of a returned row that held an error
    // value or a formula without its result (its text is then empty), a text
    // longer than a cell holds (cut), or a reference to a text the file lacks
    // (empty).
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
    std::array<std::string, kDeclarationColumns> header_;
    bool empty_ = false;
};

} // namespace xls2qdp
