// SPDX-License-Identifier: MIT
// One data row of a declaration sheet as stage 2 hands it on: the normalised
// cell texts of columns A to AL (UTF-8) and the row's number in the sheet.
#pragma once

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

    // Column by its letters ("A", "AL"); letters outside A..AL are a programming error.
    const std::string& column(const char* letters) const {
        std::size_t index = 0;
        for (const char* p = letters; *p; ++p)
            index = index * 26 + static_cast<std::size_t>(*p - 'A' + 1);
        return cells.at(index - 1);
    }
};

} // namespace xls2qdp
