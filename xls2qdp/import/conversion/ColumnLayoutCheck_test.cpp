// SPDX-License-Identifier: MIT
#include "ColumnLayoutCheck.h"

#include "import/sheets/TemplateHeaders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace xls2qdp {
namespace {

using Texts = std::map<std::string, std::string>;

// A declaration as the template lays it out, from column letters.
DeclarationRow rowOf(int number, const Texts& cells) {
    DeclarationRow row;
    row.sheetRow = number;
    for (const auto& [letters, text] : cells)
        row.cells.at(DeclarationRow::columnIndex(letters.c_str())) = text;
    return row;
}

const Texts kDeclaration = {{"A", "L"},        {"B", "60030512342"},
                            {"C", "Kowalski"}, {"D", "Jan"},
                            {"N", "N"},        {"O", "N"},
                            {"P", "34-700"},   {"Q", "Rabka-Zdrój"},
                            {"R", "Polna"},    {"AE", "70010112341"},
                            {"AF", "Lekarz"}};

// The same row with a column typed in at `at` (everything from there moves
// right) or, for a negative step, the column at `at` deleted.
DeclarationRow moved(int number, std::size_t at, int step) {
    DeclarationRow row = rowOf(number, kDeclaration);
    DeclarationRow out = row;
    for (std::size_t c = at; c < kDeclarationColumns; ++c) {
        const long from = static_cast<long>(c) - step;
        out.cells[c] = from >= 0 && static_cast<std::size_t>(from) < kDeclarationColumns
                           ? row.cells[static_cast<std::size_t>(from)]
                           : std::string();
    }
    if (step > 0) out.cells[at] = "uwaga";
    return out;
}

std::array<std::string, kDeclarationColumns> templateHeaders() {
    std::array<std::string, kDeclarationColumns> headers;
    for (std::size_t c = 0; c < kDeclarationColumns; ++c)
        headers[c] = std::string(kTemplateHeaders[c]);
    return headers;
}

TEST(ColumnLayoutCheck, TheContentOfTheFirstRowsTellsAMovedLayout) {
    const std::array<std::string, kDeclarationColumns> noHeaders{};
    const struct {
        const char* name;
        std::vector<DeclarationRow> rows;
        LayoutShift shift;
        std::vector<std::string> evidence;
    } cases[] = {
        {"as the template",
         {rowOf(7, kDeclaration), rowOf(8, kDeclaration), rowOf(9, kDeclaration)},
         LayoutShift::None,
         {}},
        {"a column typed in after K",
         {moved(7, 11, 1), moved(8, 11, 1), moved(9, 11, 1)},
         LayoutShift::Certain,
         {"Kolumna O zawiera znaczniki T/N (np. „N”), które należą do kolumny N.",
          "Kolumna Q zawiera kody pocztowe (np. „34-700”), które należą do kolumny P.",
          "Kolumna AF zawiera numery PESEL (np. „70010112341”), które należą do kolumny AE."}},
        {"column O deleted",
         {moved(7, 14, -1), moved(8, 14, -1), moved(9, 14, -1)},
         LayoutShift::Certain,
         {"Kolumna N zawiera znaczniki T/N (np. „N”), które należą do kolumny O.",
          "Kolumna O zawiera kody pocztowe (np. „34-700”), które należą do kolumny P.",
          "Kolumna AD zawiera numery PESEL (np. „70010112341”), które należą do kolumny AE."}},
        {"two rows are too few to tell", {moved(7, 11, 1), moved(8, 11, 1)}, LayoutShift::None, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LayoutVerdict verdict = checkColumnLayout(noHeaders, c.rows);
        EXPECT_EQ(verdict.shift, c.shift);
        EXPECT_EQ(verdict.evidence, c.evidence);
    }
}

TEST(ColumnLayoutCheck, HeadersNamedAfterOtherColumnsTellItToo) {
    auto headers = templateHeaders();
    const std::vector<DeclarationRow> rows{rowOf(7, kDeclaration)};
    EXPECT_EQ(checkColumnLayout(headers, rows).shift, LayoutShift::None);

    headers[16] = "kod poczt zam"; // Q named as P (case, blank for "_")
    const LayoutVerdict one = checkColumnLayout(headers, rows);
    EXPECT_EQ(one.shift, LayoutShift::Likely);
    EXPECT_THAT(one.evidence, ::testing::ElementsAre("Kolumna Q (wiersz 6) ma nagłówek „kod poczt "
                                                     "zam”, który we wzorze należy do kolumny P."));

    headers[15] = "Bezdomny"; // P named as O
    EXPECT_EQ(checkColumnLayout(headers, rows).shift, LayoutShift::Certain);

    // Names of the clinic's own are no evidence.
    auto own = templateHeaders();
    own[15] = "Kod pocztowy";
    own[16] = "Miasto";
    EXPECT_EQ(checkColumnLayout(own, rows).shift, LayoutShift::None);
}

} // namespace
} // namespace xls2qdp
