// SPDX-License-Identifier: MIT
// The quick row path must take only rows whose meaning is plain, and the
// .xlsx reader must give the same rows, cells and errors with it as without
// it, wherever the input is cut into chunks.
#include "import/sheets/CellLimits.h"
#include "import/sheets/WorkbookFile.h"
#include "import/sheets/XlsxQuickScan.h"
#include "import/sheets/XlsxReader.h"
#include "import/sheets/testing/SheetTestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace xls2qdp {
namespace {

TEST(XlsxQuickScanTest, TakesPlainRowsOnly) {
    const struct {
        std::string xml;
        RowScan scan;
        std::size_t cells = 0;
    } cases[] = {
        {R"(<row r="7" spans="1:3" x14ac:dyDescent="0.25"><c r="A7" t="s"><v>0</v></c>)"
         R"(<c r="B7" s="1"><f>A7+1</f><v>2</v></c><c/>  <c r="D7"><v/></c></row>tail)",
         RowScan::Done, 4},
        {"<row/>", RowScan::Done, 0},
        {"<row r='1'>\n<c r='A1'><f t='shared' si='0'/><v>1</v></c>\n</row>", RowScan::Done, 1},
        // cut anywhere: more input could make it plain
        {R"(<row r="7"><c r="A7" t="s"><v>0</v></c)", RowScan::Incomplete},
        {R"(<row r="7"><c r="A7" t="s"><v>12)", RowScan::Incomplete},
        {R"(<ro)", RowScan::Incomplete},
        {R"(<row r="7)", RowScan::Incomplete},
        // what the general scanner decodes, checks or hands on as events
        {R"(<rows/>)", RowScan::Unknown},
        {R"(<x:row r="1"/>)", RowScan::Unknown},
        {R"(<row r="1" xmlns="urn:other"/>)", RowScan::Unknown},
        {R"(<row r="&#49;"/>)", RowScan::Unknown},
        {"<row r=\"1\t\"/>", RowScan::Unknown},
        {R"(<row r = "1"/>)", RowScan::Unknown},
        {R"(<row r="1"><c t="inlineStr"><is><t>a</t></is></c></row>)", RowScan::Unknown},
        {R"(<row r="1"><c><v>a&amp;b</v></c></row>)", RowScan::Unknown},
        {"<row r=\"1\"><c><v>a\r\nb</v></c></row>", RowScan::Unknown},
        {R"(<row r="1"><c><v>1</v><v>2</v></c></row>)", RowScan::Unknown},
        {R"(<row r="1"><c><v><![CDATA[1]]></v></c></row>)", RowScan::Unknown},
        {R"(<row r="1"><!-- x --><c><v>1</v></c></row>)", RowScan::Unknown},
        {R"(<row r="1"><c><x14:v>1</x14:v></c></row>)", RowScan::Unknown},
        {R"(<row r="1"><c s="-1"><v>1</v></c></row>)", RowScan::Unknown},
        {R"(<row r="1"><c><f>A1&amp;B1</f></c></row>)", RowScan::Unknown},
        {R"(<row r="1"><c>text</c></row>)", RowScan::Unknown},
        {R"(<row r="1"><c></c ></row>)", RowScan::Unknown},
        {R"(<row r="1"><row r="2"/></row>)", RowScan::Unknown},
    };
    for (const auto& c : cases) {
        ScannedRow row;
        std::size_t length = 0;
        EXPECT_EQ(ScanWorksheetRow(c.xml, row, length), c.scan) << c.xml;
        if (c.scan != RowScan::Done) continue;
        EXPECT_EQ(row.cells.size(), c.cells) << c.xml;
        EXPECT_EQ(c.xml.substr(length), c.xml.ends_with("tail") ? "tail" : "") << c.xml;
    }

    ScannedRow row;
    std::size_t length = 0;
    ASSERT_EQ(ScanWorksheetRow(cases[0].xml, row, length), RowScan::Done);
    EXPECT_EQ(row.number, "7");
    EXPECT_EQ(row.cells[0].ref, "A7");
    EXPECT_EQ(row.cells[0].type, "s");
    EXPECT_EQ(row.cells[0].value, "0");
    EXPECT_TRUE(row.cells[1].hasFormula && row.cells[1].hasValue);
    EXPECT_EQ(row.cells[1].style, 1);
    EXPECT_FALSE(row.cells[2].hasValue || row.cells[2].ref);
    EXPECT_TRUE(row.cells[3].hasValue && row.cells[3].value.empty());
}

TEST(XlsxQuickScanTest, TakesPlainSharedStringsOnly) {
    const struct {
        std::string xml;
        RowScan scan;
        std::string text;
    } cases[] = {
        {"<si><t>Kowalski</t></si>", RowScan::Done, "Kowalski"},
        {"<si>\n <t xml:space=\"preserve\"> Jan </t>\n</si>", RowScan::Done, " Jan "},
        {"<si><t/></si>", RowScan::Done, ""},
        {"<si><t>Kowal", RowScan::Incomplete, ""},
        {"<si><t>a</t></s", RowScan::Incomplete, ""},
        {"<si><r><t>a</t></r></si>", RowScan::Unknown, ""},
        {"<si><t>a</t><rPh sb=\"0\" eb=\"1\"><t>b</t></rPh></si>", RowScan::Unknown, ""},
        {"<si><t>a&amp;b</t></si>", RowScan::Unknown, ""},
        {"<si><t>a</t><t>b</t></si>", RowScan::Unknown, ""},
        {"<si/>", RowScan::Unknown, ""},
        {"<sst/>", RowScan::Unknown, ""},
    };
    for (const auto& c : cases) {
        std::string_view text;
        std::size_t length = 0;
        EXPECT_EQ(ScanSharedString(c.xml, text, length), c.scan) << c.xml;
        if (c.scan != RowScan::Done) continue;
        EXPECT_EQ(text, c.text) << c.xml;
        EXPECT_EQ(length, c.xml.size()) << c.xml;
    }
}

// Every row, cell and error of the first sheet, read one way or the other.
std::string ReadAll(const std::filesystem::path& file, XlsxPath path) {
    std::ostringstream out;
    try {
        auto reader = OpenXlsxReader(WorkbookFile(file), 38, 0, path);
        SheetRow row;
        while (reader->nextRow(row)) {
            out << "row " << row.number << "\n";
            for (const CellValue& cell : row.cells)
                out << " " << static_cast<int>(cell.kind) << "/" << cell.number << "/[" << cell.text
                    << "]/" << static_cast<int>(cell.problem) << "\n";
        }
    } catch (const WorkbookError& error) {
        out << "error " << error.what() << "\n";
    }
    return out.str();
}

TEST(XlsxQuickScanTest, QuickPathReadsAsTheGeneralOne) {
    const std::string plain = R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" s="1">)"
                              R"(<v>20518</v></c><c r="C1" t="b"><v>1</v></c></row>)";
    std::string wide = R"(<row r="9">)"; // longer than two chunks: left to the scanner
    for (int i = 0; i < 9000; ++i)
        wide += R"(<c><v>12345678</v></c>)";
    wide += "</row>";
    std::string many; // rows across chunk ends at every offset
    for (int r = 1; r <= 4000; ++r)
        many += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) +
                "\" t=\"str\"><f>x</f><v>" + std::string(static_cast<std::size_t>(r % 37), 'x') +
                "</v></c><c r=\"AM" + std::to_string(r) + "\"><v>1</v></c></row>";
    const std::string sheets[] = {
        plain,
        R"(<row r="1"><c r="A1" t="e"><v>#N/A</v></c><c r="C1"><f>1/0</f></c>)"
        R"(<c t="d"><v>1960-03-05</v></c><c t="d"><v>jutro</v></c><c t="s"><v>7</v></c>)"
        R"(<c t="s"><v>x</v></c><c><v> +12</v></c><c><v>12a</v></c><c r="ZZZZZZZ1"><v>1</v></c></row>)",
        // a plain row after one the general path takes, and the other way round
        R"(<row r="2"><c t="inlineStr"><is><t>a</t></is></c></row>)" + plain +
            "<row><c><v>3</v></c></row>",
        // damage in a quick row and in a general one, after rows before it
        plain + R"(<row r="1"><c><v>1</v></c></row>)",
        plain + R"(<row r="x"><c><v>1</v></c></row>)",
        plain + R"(<row r="2000000"/>)",
        plain + R"(<row r="2"><c><v>1</v></c></row><row r="2"><!-- --><c><v>1</v></c></row>)",
        plain + R"(<row r="2"><c><v>1</v></c><c></row>)",
        plain + R"(<row r="2"><c><v>1</v></c>)",
        // rows where no row belongs: inside a cell, inside a skipped block
        R"(<row r="1"><c r="A1"><v>1</v><row r="2"><c><v>2</v></c></row></c></row>)",
        R"(<mc:AlternateContent xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006">)"
        R"(<mc:Choice><row r="1"><c><v>1</v></c></row></mc:Choice>)"
        R"(<mc:Fallback><row r="2"><c><v>2</v></c></row></mc:Fallback></mc:AlternateContent>)",
        R"(<x:row xmlns:x="urn:other" r="1"><row r="3"><c><v>3</v></c></row></x:row>)",
        // a cell text longer than a cell holds
        R"(<row r="1"><c t="str"><v>)" + std::string(kMaxCellBytes + 10, 'a') + "</v></c></row>",
        wide,
        many,
    };
    test::ScratchFolder folder;
    int n = 0;
    for (const std::string& sheet : sheets) {
        const std::string file = zipOf(folder, "s" + std::to_string(n++) + ".xlsx",
                                       test::xlsxParts(sheet, "<si><t>Kowalski</t></si>"));
        const std::string general = ReadAll(file, XlsxPath::General);
        EXPECT_EQ(ReadAll(file, XlsxPath::Quick), general) << sheet.substr(0, 300);
    }

    // Shared strings: plain items among others, across chunk ends, cut,
    // escaped, and damage after them.
    std::string items;
    for (int i = 0; i < 3000; ++i)
        items += i % 7 == 0   ? "<si><r><t>r" + std::to_string(i) + "</t></r></si>"
                 : i % 5 == 0 ? "<si><t>a_x0041_&amp;" + std::to_string(i) + "</t></si>"
                              : "<si><t>" + std::string(static_cast<std::size_t>(i % 41), 'k') +
                                    std::to_string(i) + "</t></si>";
    std::string cells = R"(<row r="1">)";
    for (int i = 0; i < 3000; i += 97)
        cells += R"(<c t="s"><v>)" + std::to_string(i) + "</v></c>";
    cells += "</row>";
    const std::string stringTables[] = {
        items,
        items + "<si><t>" + std::string(kMaxCellBytes + 10, 'a') + "</t></si>",
        items + "<si><t>a</t>",
        "<si><t>a</t></si><si><t>b</t><si><t>c</t></si></si><si><t>d</t></si>",
    };
    for (const std::string& table : stringTables) {
        const std::string file = zipOf(folder, "s" + std::to_string(n++) + ".xlsx",
                                       test::xlsxParts(cells + plain, table));
        const std::string general = ReadAll(file, XlsxPath::General);
        EXPECT_EQ(ReadAll(file, XlsxPath::Quick), general) << table.substr(0, 300);
    }
}

} // namespace
} // namespace xls2qdp
