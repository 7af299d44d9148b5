// SPDX-License-Identifier: MIT
// Looks into a workbook the way the import sees it:
//   sheet_dump WORKBOOK                 the cell texts of the first sheet, one
//                                       line per row ("row<TAB>A=...<TAB>B=...")
//   sheet_dump --declarations WORKBOOK  the header check and the count of
//                                       data rows, as stages 1 and 2 read them
#include "../CellText.h"
#include "../DeclarationSheet.h"
#include "../WorkbookReader.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

void dumpCells(const char* file) {
    auto reader = xls2qdp::OpenWorkbookReader(file, 38);
    xls2qdp::SheetRow row;
    while (reader->nextRow(row)) {
        std::printf("%d", row.number);
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const auto& cell = row.cells[c];
            if (cell.kind == xls2qdp::CellKind::Empty) continue;
            std::string text =
                cell.kind == xls2qdp::CellKind::Error ? cell.text : xls2qdp::cellText(cell);
            for (char& ch : text)
                if (ch == '\n') ch = '|';
            std::printf("\t%s=%s", xls2qdp::columnLetters(static_cast<int>(c)).c_str(),
                        text.c_str());
        }
        std::printf("\n");
    }
}

int countDeclarations(const char* file) {
    xls2qdp::DeclarationSheet sheet(file);
    const int column = sheet.CheckSheetStructure();
    if (column != 0) {
        std::printf("header row 6: column %d differs\n", column);
        return 1;
    }
    int notes = 0;
    sheet.setCellNoteHandler([&](const xls2qdp::CellNote&) { ++notes; });
    int rows = 0;
    int lastDataRow = xls2qdp::kHeaderRow;
    xls2qdp::DeclarationRow row;
    while (sheet.ReadSheetRow(row)) {
        ++rows;
        lastDataRow = row.sheetRow;
    }
    std::printf("header row 6: right\ndata rows: %d\nlast data row: %d\ncells noted: %d\n", rows,
                lastDataRow, notes);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool declarations = argc == 3 && std::strcmp(argv[1], "--declarations") == 0;
    if (argc != 2 && !declarations) {
        std::fputs("usage: sheet_dump [--declarations] WORKBOOK\n", stderr);
        return 2;
    }
    try {
        if (declarations) return countDeclarations(argv[2]);
        dumpCells(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
