// SPDX-License-Identifier: MIT
#include "DeclarationSheet.h"

#include "CellText.h"
#include "common/Text.h"
#include "common/TextEncoding.h"

#include <algorithm>

namespace xls2qdp {

namespace {

constexpr std::string_view kNoPesel = "00000000000";

} // namespace

DeclarationSheet::DeclarationSheet(const std::filesystem::path& file, std::size_t sheet)
    : reader_(OpenWorkbookReader(file, static_cast<int>(kDeclarationColumns), sheet)) {}

DeclarationSheet::DeclarationSheet(std::unique_ptr<WorkbookReader> reader)
    : reader_(std::move(reader)) {}

std::string DeclarationSheet::ReadHeaderCell(const CellValue& cell) {
    return upperPolish(NormalizeCellText(cellText(cell)));
}

bool DeclarationSheet::nextSheetRow(SheetRow& row) {
    if (lookahead_) {
        std::swap(row, *lookahead_);
        lookahead_.reset();
        return true;
    }
    return reader_->nextRow(row);
}

int DeclarationSheet::CheckSheetStructure() {
    SheetRow header;
    bool found = false;
    bool anyRow = false;
    while (nextSheetRow(header)) {
        anyRow = true;
        if (header.number < kHeaderRow) continue;
        if (header.number == kHeaderRow)
            found = true;
        else
            lookahead_ = std::move(header); // the header row is empty
        break;
    }
    empty_ = !anyRow;
    for (std::size_t column = 0; column < kDeclarationColumns; ++column)
        header_[column] = found && column < header.cells.size()
                              ? NormalizeCellText(cellText(header.cells[column]))
                              : std::string();
    for (std::size_t column = 0; column < kExpectedHeaders.size(); ++column) {
        if (kExpectedHeaders[column].empty()) continue;
        if (upperPolish(header_[column]) != upperPolish(kExpectedHeaders[column]))
            return static_cast<int>(column) + 1;
    }
    return 0;
}

void DeclarationSheet::noteProblem(const CellValue& cell, int column) {
    if (cell.problem == CellProblem::TextCut) {
        // The start of the text names it well enough in the report.
        notes_.push_back({CellNote::Kind::TextCut,
                          current_.number,
                          column,
                          std::string(utf8Prefix(cell.text, 40)) + "…",
                          "tekst komórki jest dłuższy niż 32 767 znaków; przyjęto jego początek",
                          {},
                          {}});
    } else if (cell.problem == CellProblem::NoSuchSharedString) {
        notes_.push_back({CellNote::Kind::NoSuchSharedString,
                          current_.number,
                          column,
                          "",
                          "komórka odwołuje się do tekstu nr " + cell.text +
                              ", którego skoroszyt nie zawiera (plik uszkodzony); przyjęto pustą",
                          {},
                          {}});
    }
}

RowsBelowEnd DeclarationSheet::countRowsBelowEnd() {
    RowsBelowEnd below;
    SheetRow row;
    while (nextSheetRow(row)) {
        if (row.number <= kHeaderRow) continue;
        bool filled = false;
        for (std::size_t column = 0; column < 4 && column < row.cells.size(); ++column) {
            const CellValue& cell = row.cells[column];
            if (cell.kind == CellKind::Text ? !trimUnicodeBlanks(cell.text).empty()
                                            : cell.kind != CellKind::Empty)
                filled = true;
        }
        if (!filled) continue;
        if (below.count++ == 0) below.firstRow = row.number;
    }
    return below;
}

bool DeclarationSheet::ReadSheetRow(DeclarationRow& row) {
    if (ended_) return false;
    do {
        if (!nextSheetRow(current_)) {
            ended_ = true;
            return false;
        }
    } while (current_.number < nextRow_);
    if (current_.number > nextRow_) { // the row in between is empty: the data end there
        lookahead_ = std::move(current_);
        ended_ = true;
        return false;
    }

    notes_.clear();
    for (std::size_t column = 0; column < kDeclarationColumns; ++column) {
        std::string& text = row.cells[column];
        if (column >= current_.cells.size()) {
            text.clear();
            row.kinds[column] = CellKind::Empty;
            continue;
        }
        const CellValue& cell = current_.cells[column];
        row.kinds[column] = cell.kind;
        if (cell.kind == CellKind::Error) {
            const std::string shown = errorValueName(cell.text);
            notes_.push_back({CellNote::Kind::ErrorValue,
                              current_.number,
                              static_cast<int>(column),
                              shown,
                              "komórka zawiera wartość błędu " + shown + "; przyjęto pustą",
                              {},
                              {}});
        } else if (cell.kind == CellKind::Formula) {
            notes_.push_back({CellNote::Kind::FormulaWithoutValue,
                              current_.number,
                              static_cast<int>(column),
                              "",
                              "formuła bez zapisanej wartości (plik zapisano bez jej "
                              "przeliczenia); przyjęto pustą",
                              {},
                              {}});
        }
        if (cell.problem != CellProblem::None) noteProblem(cell, static_cast<int>(column));
        normalizedCellTextInto(text, cell);
    }
    if (row.cells[0].empty() && row.cells[1].empty() && row.cells[2].empty() &&
        row.cells[3].empty()) {
        ended_ = true;
        return false;
    }
    if (row.cells[1].empty() || row.cells[1] == "0") row.cells[1] = kNoPesel;
    row.sheetRow = current_.number;
    ++nextRow_;
    if (noteHandler_)
        for (CellNote& note : notes_) {
            note.surname = row.cells[2];
            note.pesel = row.cells[1];
            noteHandler_(note);
        }
    return true;
}

} // namespace xls2qdp
