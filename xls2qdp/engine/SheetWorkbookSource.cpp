// SPDX-License-Identifier: MIT
#include "SheetWorkbookSource.h"

#include "import/conversion/ImportReport.h"
#include "import/sheets/CellText.h"
#include "import/sheets/DeclarationSheet.h"

namespace xls2qdp {

namespace {

class SheetWorkbook : public OpenWorkbook {
public:
    SheetWorkbook(const std::filesystem::path& file, ImportReport& report) : sheet_(file) {
        sheet_.setCellNoteHandler([&report](const CellNote& note) {
            report.add({note.sheetRow, columnLetters(note.column), note.value,
                        ReportKind::CellNotRead, note.what});
        });
    }
    int checkHeader() override { return sheet_.CheckSheetStructure(); }
    bool nextRow(DeclarationRow& row) override { return sheet_.ReadSheetRow(row); }

private:
    DeclarationSheet sheet_;
};

} // namespace

std::unique_ptr<OpenWorkbook> SheetWorkbookSource::open(const std::filesystem::path& file) {
    return std::make_unique<SheetWorkbook>(file, report_);
}

} // namespace xls2qdp
