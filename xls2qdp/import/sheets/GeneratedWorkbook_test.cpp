// SPDX-License-Identifier: MIT
// gen_declarations makes workbooks the import reads from end to end: the same
// rows saved as .xlsx and as .csv give the same declaration rows.
#include "import/sheets/DeclarationSheet.h"
#include "import/sheets/testing/SheetTestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace xls2qdp {
namespace {

std::vector<DeclarationRow> readDeclarations(const std::filesystem::path& file) {
    DeclarationSheet sheet(file);
    EXPECT_EQ(sheet.CheckSheetStructure(), 0) << file;
    std::vector<DeclarationRow> rows;
    DeclarationRow row;
    while (sheet.ReadSheetRow(row))
        rows.push_back(row);
    return rows;
}

TEST(GeneratedWorkbookTest, XlsxAndCsvGiveTheSameRows) {
    test::ScratchFolder folder;
    for (const char* name : {"gen.xlsx", "gen.csv"}) {
        const std::string command = std::string(GEN_DECLARATIONS) + " --rows 300 --seed 7 " +
                                    (folder.path() / name).string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    const auto fromXlsx = readDeclarations(folder.path() / "gen.xlsx");
    const auto fromCsv = readDeclarations(folder.path() / "gen.csv");
    ASSERT_EQ(fromXlsx.size(), 300u);
    ASSERT_EQ(fromCsv.size(), 300u);
    int foreigners = 0, declaredByParent = 0, textDates = 0;
    for (std::size_t i = 0; i < fromXlsx.size(); ++i) {
        EXPECT_EQ(fromXlsx[i].sheetRow, static_cast<int>(i) + 7);
        EXPECT_EQ(fromXlsx[i].cells, fromCsv[i].cells) << "row " << fromXlsx[i].sheetRow;
        EXPECT_FALSE(fromXlsx[i].column("B").empty());
        EXPECT_FALSE(fromXlsx[i].column("Q").empty());
        EXPECT_FALSE(fromXlsx[i].column("U").empty());
        foreigners += fromXlsx[i].column("N") == "T";
        declaredByParent += fromXlsx[i].column("H") == "C";
        textDates += fromXlsx[i].column("F").find('-') == 4;
    }
    EXPECT_GT(foreigners, 0);
    EXPECT_GT(declaredByParent, 0);
    EXPECT_GT(textDates, 0); // some dates typed in a form the import refuses
}

} // namespace
} // namespace xls2qdp
