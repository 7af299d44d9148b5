// SPDX-License-Identifier: MIT
#include "import/sheets/DeclarationSheet.h"
#include "import/sheets/testing/SheetTestFiles.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

using test::Fixture;

// Reads every data row of a sheet whose header is right.
std::vector<DeclarationRow> readRows(DeclarationSheet& sheet) {
    EXPECT_EQ(sheet.CheckSheetStructure(), 0);
    std::vector<DeclarationRow> rows;
    DeclarationRow row;
    while (sheet.ReadSheetRow(row))
        rows.push_back(row);
    return rows;
}

class DeclarationFixture : public testing::TestWithParam<const char*> {};

// declarations.fods in each format: header in other case and with blanks,
// rows 7-11 with the cases below, row 12 with only column E, row 13 filled.
TEST_P(DeclarationFixture, ReadsTheDataRowsAsTheImportNeedsThem) {
    DeclarationSheet sheet(Fixture(std::string("declarations.") + GetParam()));
    const std::vector<DeclarationRow> rows = readRows(sheet);
    ASSERT_EQ(rows.size(), 5u); // row 12 (only E) ends the data; row 13 is never read
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].sheetRow, 7 + static_cast<int>(i));

    const struct {
        std::size_t row;
        const char* column;
        const char* text;
    } cells[] = {
        {0, "A", "L"},
        {0, "B", "85010112345"},
        {0, "C", "Kowalski"},
        {0, "F", "05-03-1960"},
        {0, "I", "01-09-2025"},
        {0, "J", "1"}, // a formula's result
        {0, "P", "31-042"},
        {0, "S", "12"},
        {0, "AD", "1234567"},
        {0, "AK", "17-05-1990"}, // a date formula
        {0, "Q", "Kraków"},
        {0, "V", "12 345 67 89"},
        {1, "B", "00000000000"},    // " 0 "
        {1, "C", "Nowak Kowalska"}, // a cell of two lines
        {1, "F", "05-03-1960"},     // typed as text
        {1, "P", "12345"},          // a postal code typed as a number
        {1, "Q", "Gierałtów"},
        {1, "U", "Nowogrodziec"},
        {1, "AL", "N"},
        {2, "B", "2270803628"}, // a PESEL typed as a number keeps its digits, not its zero
        {2, "D", "Zofia Anna"},
        {2, "F", "1960-03-05"},
        {2, "H", "c"},
        {2, "M", "2004"},
        {2, "P", "1234"},
        {3, "B", "00000000000"}, // empty
        {3, "N", "T"},
        {3, "F", "30-11-1988"},
        {4, "B", "00000000000"}, // "0"
        {4, "M", "2004/05"},
        {4, "E", ""},
    };
    for (const auto& c : cells)
        EXPECT_EQ(rows[c.row].column(c.column), c.text)
            << "row " << rows[c.row].sheetRow << " column " << c.column;
}

INSTANTIATE_TEST_SUITE_P(Formats, DeclarationFixture, testing::Values("xlsx", "ods", "xls"));

TEST(CheckSheetStructureTest, NamesTheFirstWrongColumn) {
    const struct {
        const char* file;
        int column;
    } cases[] = {
        {"declarations.xlsx", 0},                     // case and surrounding blanks do not matter
        {"header_imie.xlsx", 4},                      // "Imie" without its Polish letter
        {"header_swapped.ods", 4},                    // columns D and E swapped
        {"row7_empty.xls", 0},     {"cells.xlsx", 1}, // not a declaration sheet at all
    };
    for (const auto& c : cases) {
        DeclarationSheet sheet(Fixture(c.file));
        EXPECT_EQ(sheet.CheckSheetStructure(), c.column) << c.file;
    }
}

TEST(ReadSheetRowTest, EmptyRowSevenEndsAtOnce) {
    DeclarationSheet sheet(Fixture("row7_empty.xls"));
    EXPECT_TRUE(readRows(sheet).empty());
}

// A sheet in memory, for cases no fixture needs to hold.
class MemoryReader : public WorkbookReader {
public:
    explicit MemoryReader(std::vector<SheetRow> rows) : rows_(std::move(rows)) {}
    bool nextRow(SheetRow& row) override {
        if (next_ == rows_.size()) return false;
        row = rows_[next_++];
        return true;
    }

private:
    std::vector<SheetRow> rows_;
    std::size_t next_ = 0;
};

SheetRow textRow(int number, std::vector<std::string> texts) {
    SheetRow row{number, {}};
    for (auto& text : texts) {
        row.cells.emplace_back();
        if (!text.empty()) row.cells.back().setText(std::move(text));
    }
    return row;
}

SheetRow headerRow() {
    std::vector<std::string> names(kExpectedHeaders.begin(), kExpectedHeaders.end());
    return textRow(kHeaderRow, names);
}

TEST(CheckSheetStructureTest, MissingHeaderRowFailsAtColumnOneAndKeepsTheNextRow) {
    DeclarationSheet sheet(std::make_unique<MemoryReader>(
        std::vector<SheetRow>{textRow(1, {"tytuł"}), textRow(7, {"L", "1", "Nowak", "Jan"})}));
    EXPECT_EQ(sheet.CheckSheetStructure(), 1);
}

TEST(ReadSheetRowTest, ErrorValuesBecomeEmptyAndAreReported) {
    SheetRow row = textRow(7, {"L", "85010112345", "Nowak", "Jan", "x"});
    row.cells[4].kind = CellKind::Error;
    row.cells[4].text = "#DIV/0!";
    SheetRow end = textRow(8, {"", "", "", "", "x"});
    end.cells[4].kind = CellKind::Error;
    end.cells[4].text = "#N/A";
    DeclarationSheet sheet(
        std::make_unique<MemoryReader>(std::vector<SheetRow>{headerRow(), row, end}));
    std::vector<CellNote> notes;
    sheet.setCellNoteHandler([&](const CellNote& note) { notes.push_back(note); });
    const auto rows = readRows(sheet);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].column("E"), "");
    ASSERT_EQ(notes.size(), 1u); // the row that ends the data reports nothing
    EXPECT_EQ(notes[0].sheetRow, 7);
    EXPECT_EQ(notes[0].column, 4);
    EXPECT_EQ(notes[0].value, "#DZIEL/0!");
    EXPECT_NE(notes[0].what.find("#DZIEL/0!"), std::string::npos);
}

// What a reader could not take as the file has it reaches the report too.
TEST(ReadSheetRowTest, CutTextsAndMissingSharedStringsAreReported) {
    SheetRow row =
        textRow(7, {"L", "85010112345", "Nowak", "Jan", "Zażółć" + std::string(80, 'x')});
    row.cells[4].problem = CellProblem::TextCut;
    row.cells.emplace_back();
    row.cells[5].problem = CellProblem::NoSuchSharedString;
    row.cells[5].text = "99";
    DeclarationSheet sheet(std::make_unique<MemoryReader>(std::vector<SheetRow>{headerRow(), row}));
    std::vector<CellNote> notes;
    sheet.setCellNoteHandler([&](const CellNote& note) { notes.push_back(note); });
    const auto rows = readRows(sheet);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].column("E"), "Zażółć" + std::string(80, 'x')); // kept as it came
    EXPECT_EQ(rows[0].column("F"), "");
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].column, 4);
    EXPECT_EQ(notes[0].value, "Zażółć" + std::string(34, 'x') + "…"); // 40 characters
    EXPECT_NE(notes[0].what.find("dłuższy niż 32 767 znaków"), std::string::npos);
    EXPECT_EQ(notes[1].column, 5);
    EXPECT_NE(notes[1].what.find("tekstu nr 99"), std::string::npos) << notes[1].what;
}

TEST(ReadSheetRowTest, ARowMissingFromTheFileEndsTheData) {
    DeclarationSheet sheet(std::make_unique<MemoryReader>(std::vector<SheetRow>{
        headerRow(), textRow(7, {"L", "1", "A", "B"}), textRow(9, {"L", "2", "C", "D"})}));
    EXPECT_EQ(readRows(sheet).size(), 1u);
}

// 12,000 data rows (7 to 12,006) come through as 12,000 rows; the progress
// the import shows while reading them is the engine's.
TEST(ReadSheetRowTest, TwelveThousandRows) {
    test::ScratchFolder folder;
    std::string csv =
        "\n\n\n\n\nRodzaj_listy;PESEL;Nazwisko;Imię;Nazwisko_rodowe;Data_urodzenia;Płeć;"
        "Tytuł_ubezp;Data_zgłoszenia;Nr_wyboru;Status_podopiecznego\n";
    for (int i = 0; i < 12000; ++i)
        csv += "L;" + std::to_string(85010100000LL + i) + ";Nowak;Jan\n";
    csv += ";;;;tylko E\nL;1;za;końcem\n";
    DeclarationSheet sheet(folder.file("big.csv", csv));
    const auto rows = readRows(sheet);
    ASSERT_EQ(rows.size(), 12000u);
    EXPECT_EQ(rows.back().sheetRow, 12006);
}

TEST(DeclarationSheetTest, UnreadableFileThrowsWithItsMessage) {
    try {
        DeclarationSheet sheet("/nonexistent/deklaracje.xls");
        FAIL() << "opened a missing file";
    } catch (const WorkbookError& error) {
        EXPECT_STREQ(error.what(),
                     "Nie można odczytać pliku „/nonexistent/deklaracje.xls”: plik nie istnieje.");
    }
}

} // namespace
} // namespace xls2qdp
