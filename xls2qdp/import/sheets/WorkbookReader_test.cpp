// SPDX-License-Identifier: MIT
#include "import/sheets/CellText.h"
#include "import/sheets/IsoDateTime.h"
#include "import/sheets/WorkbookReader.h"
#include "import/sheets/testing/SheetTestFiles.h"

#include <freexl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include <sys/wait.h>

namespace xls2qdp {
namespace {

using test::Bytes;
using test::Fixture;
using test::ReadAllTexts;
using test::xlsxParts;
using test::zipOf;
using Rows = std::map<int, std::vector<std::string>>;

// cells.fods as LibreOffice saved it in each format: the texts every reader
// must give, formula results included.
const Rows kCellTexts = {
    {1, {"whole", "1234"}},
    {2, {"negative", "-5"}},
    {3, {"quarter", "0,25"}},
    {4, {"third", "0,333333333333333"}},
    {5, {"big", "1E20"}},
    {6, {"small", "1E-7"}},
    {7, {"tenthousandth", "0,0001"}},
    {8, {"pesel number", "2270803628", "85010112345"}},
    {9, {"date", "05-03-1960"}},
    {10, {"datetime", "15-03-2004 10:20:30"}},
    {11, {"time", "12:30:15"}},
    {12, {"two lines", "Jan\nKowalski"}},
    {13, {"blanks", "a    b"}},
    {14, {"polish", "Zażółć gęślą jaźń ŻÓŁW"}},
    {15, {"formula number", "2468"}},
    {16, {"formula text", "Kraków Nowa Huta"}},
    {17, {"formula date", "01-10-2004"}},
    {18, {"boolean", "PRAWDA"}},
    {19, {"formula boolean", "FAŁSZ"}},
    {20, {"formula error", "!#DIV/0!"}},
    {21, {"formula empty"}},
    {22, {"rich", "Nowa Huta"}},
    {23, {"text digits", "00123"}},
    {24, {"percent", "0,25"}},
    {25, {"currency", "12,5"}},
    {26, {"midnight", "01-01-2020"}},
    {27, {"padded", "  Ala  "}},
    {28, {"fifteen digits", "123456789012345", "1,23456789012346E15"}},
    {29, {"markup", "<Kowalski & syn> \"sp.\""}},
    {30, {"formula two lines", "a\nb"}},
    {31, {"repeated cells", "x", "x", "x"}},
    {32, {"repeated row", "same"}},
    {33, {"repeated row", "same"}},
    // row 34 is empty and not handed out
    {35, {"after gap", "", "", "", "", "F"}},
    {36, {"formula na", "!#N/A"}},
};

class SameWorkbookInEveryFormat : public testing::TestWithParam<const char*> {};

TEST_P(SameWorkbookInEveryFormat, GivesTheSameCellTexts) {
    const Rows rows = ReadAllTexts(Fixture(std::string("cells.") + GetParam()));
    EXPECT_EQ(rows, kCellTexts); // also: the second worksheet is not read
}

TEST_P(SameWorkbookInEveryFormat, LeavesOutColumnsPastTheLimit) {
    const Rows rows = ReadAllTexts(Fixture(std::string("cells.") + GetParam()), 2);
    EXPECT_EQ(rows.at(8), (std::vector<std::string>{"pesel number", "2270803628"}));
    EXPECT_EQ(rows.at(35), (std::vector<std::string>{"after gap"}));
}

INSTANTIATE_TEST_SUITE_P(Formats, SameWorkbookInEveryFormat, testing::Values("xlsx", "ods", "xls"));

// cells.fods, the flat source of the files above, is read as a spreadsheet
// too. Written by hand, its formulas carry no result type: their error
// results come as the texts they show.
TEST(OdsReaderTest, ReadsFlatDocuments) {
    Rows expected = kCellTexts;
    expected[20] = {"formula error", "#DIV/0!"};
    expected[36] = {"formula na", "#N/A"};
    EXPECT_EQ(ReadAllTexts(Fixture("cells.fods")), expected);
}

// How a reading ends: the first rows' texts, the number of rows, the reason
// of the error it ends with ("" for none).
struct Outcome {
    Rows first;
    long long rows = 0;
    std::string failure;
};

Outcome ReadOutcome(const std::filesystem::path& file, int firstRows) {
    Outcome outcome;
    try {
        auto reader = OpenWorkbookReader(file, 38);
        SheetRow row;
        while (reader->nextRow(row)) {
            ++outcome.rows;
            if (row.number > firstRows) continue;
            auto& texts = outcome.first[row.number];
            for (const CellValue& cell : row.cells)
                texts.push_back(cellText(cell));
        }
    } catch (const WorkbookError& error) {
        outcome.failure = error.reason();
    }
    return outcome;
}

// testdata/writers: files shaped as particular programs write them (made
// by tools/make_writer_fixtures.cpp), each once read wrong or refused.
TEST(WorkbookReaderTest, ReadsFilesAsEachProgramWritesThem) {
    const struct {
        const char* fixture;
        Rows first; // rows 1 to 3
        long long rows;
        std::string failure;
    } cases[] = {
        // 1904 date system, then an extension's workbookPr without it
        {"date1904_second_workbookPr.xlsx", {{1, {"Data urodzenia", "03-06-1934"}}}, 1, ""},
        // stream names in capitals; a current stream beside an older one
        {"stream_named_WORKBOOK.xls", {{1, {"Kowalski"}}}, 1, ""},
        {"stream_named_BOOK.xls", {{1, {"Kowalski"}}}, 1, ""},
        {"streams_Book_and_WorkBook.xls", {{1, {"nowy"}}}, 1, ""},
        // a row's cells spread over row blocks; a sheet stored column by column
        {"cells_out_of_column_order.xls", {{1, {"1", "2", "3"}}, {2, {"4", "5"}}}, 2, ""},
        {"cells_column_by_column.xls",
         {{1, {"0", "1", "2"}}, {2, {"10", "11", "12"}}, {3, {"20", "21", "22"}}},
         2000,
         ""},
        // a row with a value repeated 999,999,999 times: its copies up to
        // the last row of a sheet, then the file is damaged
        {"rows_repeated_999999999_times.ods",
         {{1, {"Kowalski"}}, {2, {"", "", "", "", "0"}}, {3, {"", "", "", "", "0"}}},
         kMaxSheetRows,
         std::string(kDamagedFile) + " " + kTooManyRows},
        // part names with backslashes
        {"backslash_part_names.xlsx", {{1, {"Kowalski", "Jan"}}}, 1, ""},
        // code page 1258: a letter waits for its combining mark
        {"codepage_1258.xls", {{1, {"Format", "Việt"}}}, 1, ""},
        // date cells: a time alone, a date, a text that is no date
        {"time_only_date_cell.xlsx", {{1, {"10:10:10", "03-06-1934", "wczoraj"}}}, 1, ""},
        // flat OpenDocument: a text document is refused (cells.fods is read above)
        {"flat_text_document.fods",
         {},
         0,
         "to dokument OpenDocument, ale nie arkusz kalkulacyjny."},
    };
    for (const auto& c : cases) {
        const Outcome outcome = ReadOutcome(Fixture(std::string("writers/") + c.fixture), 3);
        EXPECT_EQ(outcome.first, c.first) << c.fixture;
        EXPECT_EQ(outcome.rows, c.rows) << c.fixture;
        EXPECT_EQ(outcome.failure, c.failure) << c.fixture;
    }
}

// What other programs write: inline and rich strings, escapes, the 1904 date
// system, ISO date cells, prefixed element names, an absolute part name.
TEST(XlsxReaderTest, ReadsWhatOtherWritersPut) {
    test::ScratchFolder folder;
    const std::string file = zipOf(
        folder, "other.xlsx",
        {{"[Content_Types].xml", "<Types/>"},
         {"_rels/.rels",
          R"(<Relationships><Relationship Id="r1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="/xl/workbook.xml"/></Relationships>)"},
         {"xl/workbook.xml",
          R"(<x:workbook xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><x:workbookPr date1904="true"/><x:sheets><x:sheet name="Chart" r:id="c1"/><x:sheet name="A" r:id="s1"/></x:sheets></x:workbook>)"},
         {"xl/_rels/workbook.xml.rels",
          R"(<Relationships><Relationship Id="c1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet" Target="chartsheets/sheet1.xml"/><Relationship Id="s1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/data.xml"/><Relationship Id="st" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)"},
         {"xl/styles.xml",
          R"(<styleSheet><numFmts><numFmt numFmtId="200" formatCode="[$-415]d\ mmmm\ yyyy"/></numFmts><cellStyleXfs><xf numFmtId="14"/></cellStyleXfs><cellXfs><xf numFmtId="0"/><xf numFmtId="200"/><xf numFmtId="14"/></cellXfs></styleSheet>)"},
         {"xl/worksheets/data.xml",
          R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:sheetData>)"
          R"(<x:row r="2"><x:c r="A2" t="inlineStr"><x:is><x:r><x:t>Kra</x:t></x:r><x:r><x:t xml:space="preserve">ków </x:t></x:r><x:rPh><x:t>fonetyka</x:t></x:rPh></x:is></x:c>)"
          R"(<x:c r="B2" t="str"><x:f>A1</x:f><x:v>a_x000D_b_x005F_x</x:v></x:c><x:c r="C2" s="1"><x:v>20518</x:v></x:c><x:c r="D2" s="0"><x:v>20518</x:v></x:c></x:row>)"
          R"(<x:row><x:c t="d"><x:v>1960-03-05T12:00:00</x:v></x:c><x:c t="b"><x:v>0</x:v></x:c><x:c t="e"><x:v>#REF!</x:v></x:c><x:c s="2"><x:v>0.75</x:v></x:c></x:row>)"
          R"(</x:sheetData></x:worksheet>)"}});
    EXPECT_EQ(ReadAllTexts(file),
              (Rows{{2, {"Kraków ", "a\rb_x", "05-03-1960", "20518"}},
                    {3, {"05-03-1960 12:00:00", "FAŁSZ", "!#REF!", "18:00:00"}}}));
}

// Elements are taken by namespace, not by local name alone; parts are read
// in the encoding they declare.
TEST(XlsxReaderTest, NamespacesAndEncodingsAsWritersUseThem) {
    const std::string date = R"(<row r="1"><c r="a1" s="1"><v>11111</v></c></row>)";
    test::ScratchFolder folder;
    const struct {
        const char* name;
        std::map<std::string, std::string> parts;
        Rows rows;
    } cases[] = {
        {"strict.xlsx",
         xlsxParts(date, "", R"(<workbookPr date1904="true"/>)",
                   {"http://purl.oclc.org/ooxml/spreadsheetml/main",
                    "http://purl.oclc.org/ooxml/officeDocument/relationships"}),
         {{1, {"03-06-1934"}}}},
        // what a program that knows no extension reads: the fallback
        {"alternate-content.xlsx",
         xlsxParts(
             date, "",
             R"(<mc:AlternateContent><mc:Choice Requires="x15"><workbookPr/></mc:Choice>)"
             R"(<mc:Fallback><workbookPr date1904="1"/></mc:Fallback></mc:AlternateContent>)"),
         {{1, {"03-06-1934"}}}},
        // extension elements named like ours inside the sheet's rows
        {"extension-cells.xlsx",
         xlsxParts(R"(<row r="1"><c r="A1"><v>1</v><x14:c><x14:v>9</x14:v></x14:c></c>)"
                   R"(<x14:row r="5"><c r="B5"><v>2</v></c></x14:row></row>)"),
         {{1, {"1", "2"}}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadAllTexts(zipOf(folder, c.name, c.parts)), c.rows) << c.name;

    // The same sheet in UTF-16 with a byte order mark and in ISO-8859-1.
    const std::string text =
        R"(<row r="1"><c r="A1" t="inlineStr"><is><t>Müller</t></is></c></row>)";
    const auto recoded = [&](const std::string& encoding, auto&& encode) {
        auto parts = xlsxParts(text);
        std::string& sheet = parts["xl/worksheets/sheet1.xml"];
        sheet.replace(sheet.find("UTF-8"), 5, encoding);
        sheet.replace(sheet.find("Müller"), std::string("Müller").size(), "M\xFCller");
        sheet = encode(sheet);
        return parts;
    };
    const auto utf16 = recoded("UTF-16", [](const std::string& latin1) {
        std::string wide = "\xFF\xFE";
        for (const char c : latin1)
            wide += {c, '\0'};
        return wide;
    });
    const auto latin1 = recoded("ISO-8859-1", [](const std::string& bytes) { return bytes; });
    EXPECT_EQ(ReadAllTexts(zipOf(folder, "utf16.xlsx", utf16)), (Rows{{1, {"Müller"}}}));
    EXPECT_EQ(ReadAllTexts(zipOf(folder, "latin1.xlsx", latin1)), (Rows{{1, {"Müller"}}}));
}

// Rows are stored in ascending order; one out of it is reported (after the
// rows before it), not put in a place it does not belong.
TEST(XlsxReaderTest, RowsOutOfOrderAreReported) {
    test::ScratchFolder folder;
    const std::string file =
        zipOf(folder, "order.xlsx",
              xlsxParts(R"(<row r="1"><c><v>1</v></c></row><row r="3"><c><v>3</v></c></row>)"
                        R"(<row r="2"><c><v>2</v></c></row>)"));
    const Outcome outcome = ReadOutcome(file, 10);
    EXPECT_EQ(outcome.first, (Rows{{1, {"1"}}, {3, {"3"}}}));
    EXPECT_NE(outcome.failure.find("nieoczekiwanej kolejności (wiersz 2 po wierszu 3)"),
              std::string::npos)
        << outcome.failure;
}

// FreeXL reads .xls cells on its own; wherever it gives a value (it leaves
// formula cells empty) our reader must agree.
TEST(XlsReaderTest, AgreesWithFreeXlOnCellsWithoutFormulas) {
    const auto file = Fixture("cells.xls");
    const Rows ours = ReadAllTexts(file);
    const void* handle = nullptr;
    ASSERT_EQ(freexl_open(file.c_str(), &handle), FREEXL_OK);
    ASSERT_EQ(freexl_select_active_worksheet(handle, 0), FREEXL_OK);
    unsigned int rows = 0;
    unsigned short columns = 0;
    ASSERT_EQ(freexl_worksheet_dimensions(handle, &rows, &columns), FREEXL_OK);
    int compared = 0;
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            ASSERT_EQ(freexl_get_cell_value(handle, r, c, &value), FREEXL_OK);
            std::string expected;
            switch (value.type) {
            case FREEXL_CELL_INT:
                expected = formatNumber(value.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                expected = formatNumber(value.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                expected = value.value.text_value;
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
                expected = formatDateTime(*ParseIsoDateTime(value.value.text_value));
                break;
            case FREEXL_CELL_TIME:
                expected = value.value.text_value;
                break;
            default:
                continue; // empty, or a formula FreeXL does not evaluate
            }
            const auto& row = ours.at(static_cast<int>(r) + 1);
            ASSERT_LT(c, row.size()) << "row " << r + 1;
            if (row[c] == "PRAWDA" || row[c] == "FAŁSZ") continue; // FreeXL shows booleans as 1/0
            EXPECT_EQ(row[c], expected) << "row " << r + 1 << " column " << c + 1;
            ++compared;
        }
    }
    freexl_close(handle);
    EXPECT_GT(compared, 40);
}

// An Excel 95 workbook: 8-bit texts in the workbook's code page.
TEST(XlsReaderTest, ReadsBiff5WithItsCodePage) {
    test::ScratchFolder folder;
    test::BiffStream book;
    book.record(0x0809, Bytes().u16(0x0500).u16(0x0005).u16(0).u16(0).data); // BOF, globals
    book.record(0x0042, Bytes().u16(1250).data);                             // CODEPAGE
    book.record(0x0022, Bytes().u16(1).data);                                // DATEMODE 1904
    book.record(0x041E, Bytes().u16(164).u8(12).raw("dd\\-mm\\-yyyy").data); // FORMAT
    for (unsigned format : {0u, 14u, 164u})                                  // XF 0, 1, 2
        book.record(0x00E0, Bytes().u16(0).u16(format).u32(0).u32(0).u32(0).data);
    const std::size_t boundSheet = book.size() + 4;
    book.record(0x0085, Bytes().u32(0).u8(0).u8(0).u8(6).raw("Arkusz").data);
    book.record(0x000A, {});
    book.patch32(boundSheet, static_cast<std::uint32_t>(book.size()));
    book.record(0x0809, Bytes().u16(0x0500).u16(0x0010).u16(0).u16(0).data); // BOF, sheet
    // "Zażółć" in Windows-1250
    book.record(0x0204, Bytes().u16(0).u16(0).u16(0).u16(6).raw("Za\xbf\xf3\xb3\xe6").data);
    book.record(0x0203, Bytes().u16(0).u16(1).u16(1).f64(20518).data);            // 1904 date
    book.record(0x027E, Bytes().u16(1).u16(0).u16(0).u32((1234u << 2) | 2).data); // RK 1234
    book.record(0x027E, Bytes().u16(1).u16(1).u16(0).u32((1234u << 2) | 3).data); // RK 12,34
    // FORMULA with a text result, which follows in a STRING record
    book.record(0x0006, test::textFormulaRecord(2, 0));
    book.record(0x0207, Bytes()
                            .u16(5)
                            .raw("\xa3\xf3"
                                 "d\x9f")
                            .raw("!")
                            .data);                                        // "Łódź!"
    book.record(0x0205, Bytes().u16(2).u16(1).u16(0).u8(0x07).u8(1).data); // #DIV/0!
    book.record(0x000A, {});
    const auto file = folder.path() / "excel95.xls";
    test::WriteCompoundFile(file, {{"Book", book.bytes()}});

    const Rows rows = ReadAllTexts(file);
    EXPECT_EQ(
        rows,
        (Rows{{1, {"Zażółć", "05-03-1960"}}, {2, {"1234", "12,34"}}, {3, {"Łódź!", "!#DIV/0!"}}}));
}

// Shared strings whose characters run on in a CONTINUE record, switching
// from 8-bit to 16-bit characters there.
TEST(XlsReaderTest, ReadsSharedStringsAcrossContinueRecords) {
    test::ScratchFolder folder;
    test::BiffStream book;
    book.record(0x0809, Bytes().u16(0x0600).u16(0x0005).u16(0).u16(0).u32(0).u32(0).data);
    book.record(0x00E0, Bytes().u16(0).u16(0).u32(0).u32(0).u32(0).u32(0).u16(0).data);
    const std::size_t boundSheet = book.size() + 4;
    book.record(0x0085, Bytes().u32(0).u8(0).u8(0).u8(1).u8(0).raw("A").data);
    // SST: "Kowalski", then "Gęś" + "la" split after "G": the rest is UTF-16.
    book.record(0x00FC,
                Bytes().u32(2).u32(2).u16(8).u8(0).raw("Kowalski").u16(5).u8(0).raw("G").data);
    book.record(0x003C, Bytes().u8(1).u16(0x0119).u16(0x015B).u16('l').u16('a').data);
    book.record(0x000A, {});
    book.patch32(boundSheet, static_cast<std::uint32_t>(book.size()));
    book.record(0x0809, Bytes().u16(0x0600).u16(0x0010).u16(0).u16(0).u32(0).u32(0).data);
    book.record(0x00FD, Bytes().u16(0).u16(0).u16(0).u32(1).data);
    book.record(0x00FD, Bytes().u16(0).u16(1).u16(0).u32(0).data);
    book.record(0x00D7, Bytes().u32(0).data); // DBCELL ends the row block
    // MULRK: row 2, columns A and B
    book.record(
        0x00BD,
        Bytes().u16(1).u16(0).u16(0).u32((7u << 2) | 2).u16(0).u32((8u << 2) | 2).u16(1).data);
    book.record(0x000A, {});
    const auto file = folder.path() / "continue.xls";
    test::WriteCompoundFile(file, {{"Workbook", book.bytes()}});

    EXPECT_EQ(ReadAllTexts(file), (Rows{{1, {"Gęśla", "Kowalski"}}, {2, {"7", "8"}}}));
}

// Orders the format leaves open: cell formats before the number formats
// they use; a character of two UTF-16 units cut by a CONTINUE record.
TEST(XlsReaderTest, ReadsWhatTheFormatLeavesOpen) {
    test::ScratchFolder folder;
    const auto book = test::biffWorkbook(
        0x0600,
        [](test::BiffStream& globals) {
            globals.record(0x00E0, Bytes().u16(0).u16(0).u32(0).u32(0).u32(0).u32(0).u16(0).data);
            globals.record(0x00E0, Bytes().u16(0).u16(170).u32(0).u32(0).u32(0).u32(0).u16(0).data);
            globals.record(0x041E, Bytes().u16(170).u16(10).u8(0).raw("yyyy-mm-dd").data);
            // "a" + U+1F600 (D83D DE00), cut between its two units
            globals.record(0x00FC, Bytes().u32(1).u32(1).u16(3).u8(1).u16('a').u16(0xD83D).data);
            globals.record(0x003C, Bytes().u8(1).u16(0xDE00).data);
        },
        [](test::BiffStream& sheet) {
            sheet.record(0x0203, Bytes().u16(0).u16(0).u16(1).f64(20518).data);
            sheet.record(0x00FD, Bytes().u16(0).u16(1).u16(0).u32(0).data);
        });
    const auto file = folder.path() / "order.xls";
    test::WriteCompoundFile(file, {{"Workbook", book}});
    EXPECT_EQ(ReadAllTexts(file), (Rows{{1, {"04-03-1956", "a\U0001F600"}}}));
}

TEST(CsvReaderTest, DelimitersQuotesAndEncodings) {
    const struct {
        const char* name;
        std::string content;
        Rows rows;
    } cases[] = {
        {"semicolons.csv", "a;b;c\r\n1;2;3\r\n", {{1, {"a", "b", "c"}}, {2, {"1", "2", "3"}}}},
        {"tabs.txt", "a\tb,c\n", {{1, {"a", "b,c"}}}},
        {"commas.csv", "a,b,c\nd,e,f\n", {{1, {"a", "b", "c"}}, {2, {"d", "e", "f"}}}},
        {"quotes.csv", "\"a;b\";\"say \"\"hi\"\"\";0012\n", {{1, {"a;b", "say \"hi\"", "0012"}}}},
        {"lines.csv",
         "\"Jan\r\nKowalski\";x\n\n;;\nlast",
         {{1, {"Jan\nKowalski", "x"}}, {4, {"last"}}}},
        {"bom.csv", "\xEF\xBB\xBFImię;Płeć\n", {{1, {"Imię", "Płeć"}}}},
        {"cp1250.csv",
         "Imi\xea;P\xb3"
         "e\xe6;\xaf\xf3\xb3w\n",
         {{1, {"Imię", "Płeć", "Żółw"}}}},
        {"no-newline.csv", "x", {{1, {"x"}}}},
    };
    test::ScratchFolder folder;
    for (const auto& c : cases)
        EXPECT_EQ(ReadAllTexts(folder.file(c.name, c.content)), c.rows) << c.name;
}

// A row repeated many times is handed out copy by copy, in its place.
TEST(OdsReaderTest, RepeatedRowsComeInOrder) {
    test::ScratchFolder folder;
    const std::string cell =
        R"(<table:table-cell office:value-type="string"><text:p>%</text:p></table:table-cell>)";
    const auto row = [&](const std::string& text, const std::string& repeat) {
        std::string c = cell;
        c.replace(c.find('%'), 1, text);
        return "<table:table-row" +
               (repeat.empty() ? "" : " table:number-rows-repeated=\"" + repeat + "\"") + ">" + c +
               "</table:table-row>";
    };
    const std::string content =
        R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet><table:table>)" +
        row("first", "") + row("again", "100000") +
        R"(<table:table-row table:number-rows-repeated="5"/>)" + row("last", "") +
        "</table:table></office:spreadsheet></office:body></office:document-content>";
    const std::string file = zipOf(
        folder, "repeat.ods",
        {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});
    auto reader = OpenWorkbookReader(file, 38);
    SheetRow sheetRow;
    int count = 0, lastNumber = 0;
    std::string lastText;
    while (reader->nextRow(sheetRow)) {
        ++count;
        EXPECT_GT(sheetRow.number, lastNumber);
        lastNumber = sheetRow.number;
        lastText = sheetRow.cells.at(0).text;
    }
    EXPECT_EQ(count, 100002);
    EXPECT_EQ(lastNumber, 100007);
    EXPECT_EQ(lastText, "last");
}

// Shapes anchored to a cell (a text box) and comments sit inside the cell's
// element; their paragraphs are not the cell's text.
TEST(OdsReaderTest, ShapesAndCommentsAreNotCellText) {
    test::ScratchFolder folder;
    const std::string content =
        R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"><office:body><office:spreadsheet><table:table><table:table-row>)"
        R"(<table:table-cell office:value-type="string"><draw:frame><draw:text-box><text:p>ramka</text:p></draw:text-box></draw:frame><text:p>Kowalski</text:p></table:table-cell>)"
        R"(<table:table-cell><draw:custom-shape><text:p>strzałka</text:p></draw:custom-shape></table:table-cell>)"
        R"(<table:table-cell office:value-type="string"><office:annotation><text:p>uwaga</text:p></office:annotation><text:p>Jan</text:p></table:table-cell>)"
        R"(</table:table-row></table:table></office:spreadsheet></office:body></office:document-content>)";
    const std::string file = zipOf(
        folder, "shapes.ods",
        {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});
    EXPECT_EQ(ReadAllTexts(file), (Rows{{1, {"Kowalski", "", "Jan"}}}));
}

// --- files we cannot read ----------------------------------------------------

// Reads every row; returns the message of the WorkbookError it ends with.
std::string FailureOf(const std::filesystem::path& file) {
    try {
        auto reader = OpenWorkbookReader(file, 38);
        SheetRow row;
        while (reader->nextRow(row)) {
        }
    } catch (const WorkbookError& error) {
        EXPECT_TRUE(std::string(error.what())
                        .starts_with("Nie można odczytać pliku „" + file.string() + "”: "))
            << error.what();
        return error.reason();
    }
    return "(read without error)";
}

TEST(UnreadableFilesTest, GiveAPolishReasonNamingTheFile) {
    test::ScratchFolder folder;
    const std::string xlsx = test::ReadBytes(Fixture("cells.xlsx"));
    const std::string xls = test::ReadBytes(Fixture("cells.xls"));
    const std::string sheet =
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>x</t></is></c></row><row r="2"><c r="A2"><v>1</v)";
    const std::map<std::string, std::string> brokenSheet = {
        {"[Content_Types].xml", "<Types/>"},
        {"xl/workbook.xml",
         R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="A" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)"},
        {"xl/worksheets/sheet1.xml", sheet}};
    // Flip bytes inside the compressed sheet: decompression or its checksum fails.
    std::string corrupted = xlsx;
    const std::size_t sheetData = corrupted.find("xl/worksheets/sheet1.xml") + 200;
    for (std::size_t i = sheetData; i < sheetData + 64; ++i)
        corrupted[i] ^= 0x5A;

    test::BiffStream encrypted;
    encrypted.record(0x0809, Bytes().u16(0x0600).u16(0x0005).u16(0).u16(0).u32(0).u32(0).data);
    encrypted.record(0x002F, Bytes().u16(1).u16(1).u16(1).data);
    encrypted.record(0x000A, {});
    test::WriteCompoundFile(folder.path() / "encrypted.xls", {{"Workbook", encrypted.bytes()}});
    test::WriteCompoundFile(
        folder.path() / "encrypted.xlsx",
        {{"EncryptionInfo", {4, 0, 4, 0}}, {"EncryptedPackage", std::vector<std::uint8_t>(64, 7)}});
    test::WriteCompoundFile(folder.path() / "word.xls",
                            {{"WordDocument", std::vector<std::uint8_t>(64, 0)}});

    const struct {
        std::filesystem::path file;
        const char* reason;
    } cases[] = {
        {folder.path() / "missing.xlsx", "plik nie istnieje."},
        {folder.path(), "to jest katalog"},
        {folder.file("empty.xls", ""), "plik jest pusty."},
        {folder.file("truncated.xlsx", xlsx.substr(0, xlsx.size() / 2)), "uszkodzony"},
        {folder.file("truncated.xls", xls.substr(0, 2048)), "uszkodzony"},
        {folder.file("corrupted.xlsx", corrupted), "uszkodzony"},
        {zipOf(folder, "broken-xml.xlsx", brokenSheet),
         "uszkodzony lub niekompletny. Błąd w części „xl/worksheets/sheet1.xml”"},
        {zipOf(folder, "photos.xlsx", {{"photo.jpg", "\xFF\xD8\xFF"}}), "nie zawiera skoroszytu"},
        {zipOf(folder, "text.ods", {{"mimetype", "application/vnd.oasis.opendocument.text"}}),
         "nie arkusz"},
        {folder.file("renamed.xls", "Rodzaj_listy;PESEL\nL;85010112345\n"), "zawiera zwykły tekst"},
        {folder.file("binary.xlsx", std::string("\x01\x02\x00\x03garbage", 10)), "nieznany format"},
        {folder.file("page.xls", "<html><body><table><tr><td>1</td></tr></table></body></html>"),
         "to strona HTML"},
        {folder.file("export.xml", "<?xml version=\"1.0\"?><lista><osoba/></lista>"),
         "to plik XML"},
        {folder.file("excel2003.xml",
                     "<?xml version=\"1.0\"?><Workbook "
                     "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"></Workbook>"),
         "MS Excel 2003"},
        {folder.file("old.xls", std::string("\x09\x04\x06\x00\x00\x00\x10\x00", 8)),
         "starym formacie"},
        {folder.path() / "encrypted.xls", "zaszyfrowany"},
        {folder.path() / "encrypted.xlsx", "zaszyfrowany"},
        {folder.path() / "word.xls", "MS Word"},
    };
    for (const auto& c : cases) {
        const std::string reason = FailureOf(c.file);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.file << ": " << reason;
    }
}

// A compound file whose directory is damaged (found by fuzzing) is refused
// with its message. libgsf leaks a little on it, which the sanitizer runs
// are told to ignore: read in a process of its own, as those runs read it,
// nothing else may leak. (Allocations inside libgsf are only traced back to
// it with the slow unwinder; a normal build just gives the message.)
TEST(UnreadableFilesTest, ADamagedCompoundDirectoryLeaksOnlyWhatTheSuppressionsName) {
    test::ScratchFolder folder;
    const auto output = folder.path() / "output.txt";
    const std::string command =
        std::string("env ASAN_OPTIONS=fast_unwind_on_malloc=0:malloc_context_size=16 "
                    "LSAN_OPTIONS=suppressions=") +
        LSAN_SUPPRESSIONS + " " + SHEET_DUMP + " " + Fixture("damaged_directory.xls").string() +
        " >" + output.string() + " 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string said = test::ReadBytes(output);
    EXPECT_THAT(said, testing::HasSubstr("nie zawiera skoroszytu"));
    EXPECT_THAT(said, testing::Not(testing::HasSubstr("LeakSanitizer"))) << said;
}

// content.xml is read with the prefixes resolved as its declarations say,
// not as LibreOffice happens to write them, and what namespace processing
// refuses is refused with the XML parser's own words and the line.
TEST(OdsReaderTest, NamespacesAreResolvedAsDeclared) {
    const std::string office = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
    const std::string table = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
    const std::string text = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
    const auto content = [&](const std::string& rows, const std::string& declarations = "") {
        return "<office:document-content xmlns:office=\"" + office + "\" xmlns:table=\"" + table +
               "\" xmlns:text=\"" + text + "\"" + declarations +
               "><office:body><office:spreadsheet><table:table>\n" + rows +
               "</table:table></office:spreadsheet></office:body></office:document-content>";
    };
    const std::string cell =
        R"(<table:table-cell office:value-type="string"><text:p>Jan</text:p></table:table-cell>)";
    const auto row = [](const std::string& cells) {
        return "<table:table-row>" + cells + "</table:table-row>";
    };
    test::ScratchFolder folder;
    const auto ods = [&](const std::string& name, const std::string& xml) {
        return zipOf(
            folder, name,
            {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", xml}});
    };

    const struct {
        const char* name;
        std::string xml;
        Rows rows;
    } read[] = {
        {"other-prefixes.ods",
         content(R"(<t:table-row><t:table-cell o:value-type="float" o:value="7"/>)"
                 R"(<t:table-cell><p:p>Jan</p:p></t:table-cell></t:table-row>)",
                 " xmlns:t=\"" + table + "\" xmlns:o=\"" + office + "\" xmlns:p=\"" + text + "\""),
         {{1, {"7", "Jan"}}}},
        {"default-namespace.ods",
         content("<table-row xmlns=\"" + table + "\"><table-cell><text:p>Jan</text:p>" +
                 "</table-cell></table-row>"),
         {{1, {"Jan"}}}},
        // text: bound to something else inside the cell: no paragraph of a spreadsheet
        {"rebound-prefix.ods",
         content(
             row(R"(<table:table-cell xmlns:text="urn:other"><text:p>Jan</text:p></table:table-cell>)") +
             row(cell)),
         {{2, {"Jan"}}}},
        // the same local name in another namespace is another attribute
        {"other-namespace-attribute.ods",
         content(
             row(R"(<table:table-cell x:value-type="float" x:value="1" office:value-type="float" office:value="2"/>)"),
             " xmlns:x=\"urn:other\""),
         {{1, {"2"}}}},
    };
    for (const auto& c : read)
        EXPECT_EQ(ReadAllTexts(ods(c.name, c.xml)), c.rows) << c.name;

    const struct {
        const char* name;
        std::string xml;
        const char* reason;
    } refused[] = {
        {"unbound-element.ods", content(row(cell) + row("<tabel:table-cell/>")),
         "(wiersz 2: unbound prefix)"},
        {"unbound-attribute.ods", content(row(R"(<table:table-cell ofice:value-type="string"/>)")),
         "(wiersz 2: unbound prefix)"},
        {"duplicate-attribute.ods",
         content(row(R"(<table:table-cell office:value-type="string" o:value-type="float"/>)"),
                 " xmlns:o=\"" + office + "\""),
         "(wiersz 2: duplicate attribute)"},
        {"undeclared-prefix.ods", content(row(R"(<table:table-cell xmlns:x=""/>)")),
         "(wiersz 2: must not undeclare prefix)"},
        {"reserved-prefix.ods", content(row(R"(<table:table-cell xmlns:xml="urn:other"/>)")),
         "(wiersz 2: reserved prefix (xml) must not be undeclared or bound to another namespace "
         "name)"},
        {"reserved-namespace.ods",
         content(row(R"(<table:table-cell xmlns:x="http://www.w3.org/2000/xmlns/"/>)")),
         "(wiersz 2: prefix must not be bound to one of the reserved namespace names)"},
        {"two-colons.ods", content(row("<table:table:cell/>")),
         "(wiersz 2: not well-formed (invalid token))"},
        {"empty-prefix.ods", content(row(R"(<table:table-cell xmlns:="urn:other"/>)")),
         "(wiersz 2: not well-formed (invalid token))"},
    };
    for (const auto& c : refused)
        EXPECT_THAT(FailureOf(ods(c.name, c.xml)),
                    testing::HasSubstr(std::string("Błąd w części „content.xml” ") + c.reason))
            << c.name;
}

// Rows of a truncated .xls read up to the damage, then the reader reports it.
TEST(UnreadableFilesTest, DamageFoundWhileStreamingIsReported) {
    test::ScratchFolder folder;
    test::BiffStream book;
    book.record(0x0809, Bytes().u16(0x0600).u16(0x0005).u16(0).u16(0).u32(0).u32(0).data);
    const std::size_t boundSheet = book.size() + 4;
    book.record(0x0085, Bytes().u32(0).u8(0).u8(0).u8(1).u8(0).raw("A").data);
    book.record(0x000A, {});
    book.patch32(boundSheet, static_cast<std::uint32_t>(book.size()));
    book.record(0x0809, Bytes().u16(0x0600).u16(0x0010).u16(0).u16(0).u32(0).u32(0).data);
    book.record(0x0203, Bytes().u16(0).u16(0).u16(0).f64(1).data);
    book.record(0x00D7, Bytes().u32(0).data);
    book.record(0x0203, Bytes().u16(1).u16(0).u16(0).data); // NUMBER without its number
    const auto file = folder.path() / "cut.xls";
    test::WriteCompoundFile(file, {{"Workbook", book.bytes()}});

    auto reader = OpenWorkbookReader(file, 38);
    SheetRow row;
    ASSERT_TRUE(reader->nextRow(row));
    EXPECT_EQ(row.number, 1);
    EXPECT_THROW(reader->nextRow(row), WorkbookError);
}

} // namespace
} // namespace xls2qdp
