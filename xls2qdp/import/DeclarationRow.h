// SPDX-License-Identifier: MIT
// One data row of a declaration sheet as stage 2 hands it on: the normalised
// cell texts of columns A to AL (UTF-8), what kind of cell each text came
// from, and the row's number in the sheet.
#pragma once

#include "import/sheets/CellValue.h"

#include <array>
#include <cstddef>
#include <string>

namespace xls2qdp {

inline constexpr std::size_t kDeclarationColumns = 38; // A .. AL
inline constexpr int kHeaderRow = 6;                   // the column names
inline constexpr int kFirstDataRow = 7;

struct DeclarationRow {
    int sheetRow = 0;                                   // 1-based, as the user sees it
    std::array<std::string, kDeclarationColumns> cells; // cells[0] = column A
    // The kind of cell each text came from: a number cell lost the leading
    // zeros its text may have had.
    std::array<CellKind, kDeclarationColumns> kinds{};

    // Column by its letters ("A", "AL"); letters outside A..AL are a programming error.
    const std::string& column(const char* letters) const { return cells.at(columnIndex(letters)); }
    CellKind kind(const char* letters) const { return kinds.at(columnIndex(letters)); }

    // 0 for "A", 37 for "AL".
    static std::size_t columnIndex(const char* letters) {
        std::size_t index = 0;
        for (const char* p = letters; *p; ++p)
            index = index * 26 + static_cast<std::size_t>(*p - 'A' + 1);
        return index - 1;
    }
};

// The rows below the end of the data that would have been declarations.
struct RowsBelowEnd {
    int count = 0;    // rows with any of the columns A to D filled
    int firstRow = 0; // the first of them, 0 when there is none
};

} // namespace xls2qdp
