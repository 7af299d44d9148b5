// SPDX-License-Identifier: MIT
#include "SheetWorkbookSource.h"

#include "ReadAheadRows.h"

#include "import/conversion/ImportReport.h"
#include "import/sheets/CellText.h"
#include "import/sheets/DeclarationSheet.h"

namespace xls2qdp {

namespace {

class SheetWorkbook : public OpenWorkbook {
public:
    SheetWorkbook(const std::filesystem::path& file, ImportReport& report)
        : file_(file), report_(report), sheet_(std::make_unique<DeclarationSheet>(file)) {}

    HeaderCheck checkHeader() override {
        HeaderCheck check;
        check.column = sheet_->CheckSheetStructure();
        check.sheetEmpty = sheet_->isEmpty();
        if (check.column != 0 || check.sheetEmpty) lookForAnotherSheet(check);
        check.headers = sheet_->headerTexts();
        if (check.column != 0)
            check.found = check.headers[static_cast<std::size_t>(check.column - 1)];
        report_.setColumnHeaders(check.headers);
        // Notes are gathered where the row is read and reported when the row
        // is handed out, so that the report keeps the rows' order.
        sheet_->setCellNoteHandler([this](const CellNote& note) { gathering_->push_back(note); });
        return check;
    }
    const DeclarationRow* nextRow() override {
        if (!readAhead_)
            readAhead_ = std::make_unique<ReadAheadRows>(
                [this](DeclarationRow& next, std::vector<CellNote>& notes) {
                    gathering_ = &notes;
                    return sheet_->ReadSheetRow(next);
                });
        const DeclarationRow* row = readAhead_->next(notes_);
        report(notes_);
        return row;
    }
    RowsBelowEnd rowsBelowEnd() override {
        if (readAhead_) readAhead_->finish();
        notes_.clear();
        gathering_ = &notes_;
        const RowsBelowEnd below = sheet_->countRowsBelowEnd();
        report(notes_);
        return below;
    }

private:
    // The first worksheet's header row is wrong (or it is empty): when
    // exactly one other worksheet has the right one, that one is read.
    void lookForAnotherSheet(HeaderCheck& check) {
        const std::vector<std::string> names = sheet_->sheetNames();
        check.noSheets = names.empty();
        if (!names.empty()) check.sheetName = names.front();
        std::unique_ptr<DeclarationSheet> chosen;
        std::size_t chosenIndex = 0;
        for (std::size_t i = 1; i < names.size(); ++i) {
            try {
                auto other = std::make_unique<DeclarationSheet>(file_, i);
                if (other->CheckSheetStructure() != 0) continue;
                check.rightSheets.push_back(names[i]);
                if (!chosen) {
                    chosen = std::move(other);
                    chosenIndex = i;
                }
            } catch (const WorkbookError&) {
                // A worksheet that cannot be read is no candidate.
            }
        }
        if (check.rightSheets.size() != 1) return;
        sheet_ = std::move(chosen);
        check.column = 0;
        check.sheetEmpty = false;
        check.sheetName = names[chosenIndex];
        check.sheetNumber = static_cast<int>(chosenIndex) + 1;
    }

    void report(const std::vector<CellNote>& notes) {
        for (const CellNote& note : notes) {
            ReportEntry entry{note.sheetRow, columnLetters(note.column), note.value,
                              note.kind == CellNote::Kind::FormulaWithoutValue
                                  ? ReportKind::FormulaWithoutValue
                                  : ReportKind::CellNotRead,
                              note.what};
            entry.surname = note.surname;
            entry.pesel = note.pesel;
            report_.add(entry);
        }
    }

    std::filesystem::path file_;
    ImportReport& report_;
    std::unique_ptr<DeclarationSheet> sheet_;
    std::vector<CellNote> notes_;                // of the row handed out last
    std::vector<CellNote>* gathering_ = &notes_; // where the reader's notes go
    // Declared last: its thread is stopped before the sheet it reads goes.
    std::unique_ptr<ReadAheadRows> readAhead_;
};

} // namespace

std::unique_ptr<OpenWorkbook> SheetWorkbookSource::open(const std::filesystem::path& file) {
    return std::make_unique<SheetWorkbook>(file, report_);
}

} // namespace xls2qdp
