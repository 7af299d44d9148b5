// SPDX-License-Identifier: MIT
// Prints the cell texts of a workbook's first sheet, one line per row
// ("row<TAB>A=...<TAB>B=..."), for looking into files by hand.
#include "../CellText.h"
#include "../WorkbookReader.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: sheet_dump WORKBOOK\n", stderr);
        return 2;
    }
    try {
        auto reader = xls2qdp::OpenWorkbookReader(argv[1], 38);
        xls2qdp::SheetRow row;
        while (reader->nextRow(row)) {
            std::printf("%d", row.number);
            for (std::size_t c = 0; c < row.cells.size(); ++c) {
                const auto& cell = row.cells[c];
                if (cell.kind == xls2qdp::CellKind::Empty) continue;
                std::string text =
                    cell.kind == xls2qdp::CellKind::Error ? cell.text : xls2qdp::CellText(cell);
                for (char& ch : text)
                    if (ch == '\n') ch = '|';
                std::printf("\t%s=%s", xls2qdp::ColumnLetters(static_cast<int>(c)).c_str(),
                            text.c_str());
            }
            std::printf("\n");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
