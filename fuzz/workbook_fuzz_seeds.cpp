// SPDX-License-Identifier: MIT
// Writes the seed corpora of the workbook readers' fuzz targets, in the forms
// WorkbookFuzzInput.h describes: small workbooks made here with every kind of
// cell each format has (and a declaration sheet's header and rows), plus the
// readers' test fixtures as whole files.
// Usage: workbook_fuzz_seeds FOLDER (makes FOLDER/xlsx, ods, xls, csv).
#include "WorkbookFuzzInput.h"
#include "import/sheets/DeclarationSheet.h"
#include "import/sheets/ZipArchive.h"
#include "import/sheets/testing/SheetTestFiles.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace xls2qdp;
using test::BiffStream;
using test::Bytes;

void write(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

void write(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    write(file, std::string(bytes.begin(), bytes.end()));
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& part : parts)
        out += (out.empty() ? "" : std::string(fuzz::kPartSeparator)) + part;
    return out;
}

std::string headerCells(const std::string& before, const std::string& after) {
    std::string cells;
    for (const auto name : kExpectedHeaders)
        cells += before + std::string(name) + after;
    return cells;
}

void xlsxSeeds(const fs::path& folder) {
    const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string sheet = "<worksheet xmlns=\"" + main + "\"><sheetData>";
    write(
        folder / "cells",
        joined(
            {sheet +
                 R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><r><t>Kra</t></r><r><t xml:space="preserve">ków </t></r><rPh><t>x</t></rPh></is></c>)"
                 R"(<c r="C1" t="str"><f>A1</f><v>a_x000D_b</v></c><c r="D1" t="b"><v>1</v></c><c r="E1" t="e"><v>#N/A</v></c>)"
                 R"(<c r="F1" t="d"><v>1960-03-05T10:00:00</v></c><c r="G1" s="1"><v>20518</v></c><c r="H1"><v>1.5E3</v></c>)"
                 R"(<c r="I1" t="d"><v>10:10:10</v></c><c r="J1" t="s"><v>1</v></c></row>)"
                 R"(<row r="3" spans="1:2"><c r="a3"><v>-0.25</v></c><c><v> 7</v></c></row>)"
                 "</sheetData></worksheet>",
             R"(<sst count="2" uniqueCount="2"><si><t>Kowalski</t></si><si><r><t>Now</t></r><r><t>ak</t></r></si></sst>)",
             "<workbook xmlns=\"" + main +
                 R"(" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" xmlns:x15="http://schemas.microsoft.com/office/spreadsheetml/2010/11/main">)"
                 R"(<workbookPr date1904="1"/><mc:AlternateContent><mc:Choice Requires="x15"><workbookPr/></mc:Choice></mc:AlternateContent>)"
                 R"(<sheets><sheet name="A" sheetId="1" r:id="rId1"/></sheets><extLst><ext><x15:workbookPr chartTrackingRefBase="1"/></ext></extLst></workbook>)",
             "<styleSheet xmlns=\"" + main +
                 R"("><numFmts><numFmt numFmtId="164" formatCode="dd\-mm\-yyyy"/></numFmts><cellXfs><xf numFmtId="0"/><xf numFmtId="164"/></cellXfs></styleSheet>)"}));
    std::string rows =
        R"(<row r="6">)" + headerCells(R"(<c t="inlineStr"><is><t>)", "</t></is></c>") + "</row>";
    for (int r = 7; r <= 9; ++r)
        rows +=
            "<row r=\"" + std::to_string(r) +
            R"("><c t="inlineStr"><is><t>L</t></is></c><c><v>8501011234)" + std::to_string(r) +
            R"(</v></c><c t="s"><v>0</v></c><c t="inlineStr"><is><t>Jan</t></is></c><c s="1"><v>21980</v></c></row>)";
    write(folder / "declarations",
          joined({sheet + rows + "</sheetData></worksheet>", "<sst><si><t>Nowak</t></si></sst>"}));
}

std::string odsContent(const std::string& table) {
    return R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"><office:body><office:spreadsheet><table:table>)" +
           table + "</table:table></office:spreadsheet></office:body></office:document-content>";
}

void odsSeeds(const fs::path& folder) {
    std::string header =
        "<table:table-row "
        "table:number-rows-repeated=\"5\"><table:table-cell/></table:table-row><table:table-row>" +
        headerCells(R"(<table:table-cell office:value-type="string"><text:p>)",
                    "</text:p></table:table-cell>") +
        "</table:table-row>";
    write(
        folder / "declarations",
        odsContent(
            header +
            R"(<table:table-row table:number-rows-repeated="2"><table:table-cell office:value-type="string"><text:p>L</text:p></table:table-cell>)"
            R"(<table:table-cell office:value-type="float" office:value="85010112345"><text:p>85010112345</text:p></table:table-cell>)"
            R"(<table:table-cell office:value-type="string"><text:p>Nowak <text:s text:c="2"/>Kowalska</text:p><text:p>druga</text:p></table:table-cell>)"
            R"(<table:table-cell office:value-type="string" office:string-value="Jan"><text:p>J</text:p></table:table-cell>)"
            R"(<table:table-cell office:value-type="date" office:date-value="1960-03-05"><text:p>05-03-1960</text:p></table:table-cell>)"
            R"(<table:table-cell office:value-type="time" office:time-value="PT10H20M"><text:p>10:20</text:p></table:table-cell>)"
            R"(<table:table-cell office:value-type="boolean" office:boolean-value="true"><text:p>PRAWDA</text:p></table:table-cell>)"
            R"(<table:table-cell table:formula="of:=1/0" office:value-type="string" office:string-value="" calcext:value-type="error"><text:p>#DIV/0!</text:p></table:table-cell>)"
            R"(<table:table-cell table:number-columns-repeated="3"><office:annotation><text:p>uwaga</text:p></office:annotation><draw:frame><text:p>ramka</text:p></draw:frame><text:p>x<text:tab/>y<text:line-break/>z</text:p></table:table-cell>)"
            R"(<table:covered-table-cell/></table:table-row>)"));
    for (const char* fixture : {"cells.ods", "declarations.ods"}) {
        ZipArchive archive(test::Fixture(fixture));
        write(folder / (std::string(fixture) + ".content"),
              *archive.readAll("content.xml", 1 << 20));
    }
}

void xlsSeeds(const fs::path& folder) {
    const auto xf = [](unsigned format) {
        return Bytes().u16(0).u16(format).u32(0).u32(0).u32(0).u32(0).u16(0).data;
    };
    write(folder / "cells.stream",
          test::biffWorkbook(
              0x0600,
              [&](BiffStream& globals) {
                  globals.record(0x0022, Bytes().u16(0).data);
                  globals.record(0x041E, Bytes().u16(164).u16(10).u8(0).raw("dd-mm-yyyy").data);
                  globals.record(0x00E0, xf(0));
                  globals.record(0x00E0, xf(164));
                  globals.record(0x00FC, Bytes()
                                             .u32(3)
                                             .u32(3)
                                             .u16(8)
                                             .u8(0)
                                             .raw("Kowalski")
                                             .u16(5)
                                             .u8(0x08)
                                             .u16(1)
                                             .raw("No")
                                             .data);
                  globals.record(0x003C, Bytes().u8(1).u16('w').u16(0x0105).u16('k').u32(0).data);
                  globals.record(0x003C, Bytes().u16(2).u8(0).raw("ab").data);
              },
              [](BiffStream& sheet) {
                  sheet.record(0x00FD, Bytes().u16(0).u16(0).u16(0).u32(0).data);
                  sheet.record(0x0203, Bytes().u16(0).u16(1).u16(1).f64(21980).data);
                  sheet.record(0x027E, Bytes().u16(0).u16(2).u16(0).u32((1234u << 2) | 3).data);
                  sheet.record(0x00BD, Bytes()
                                           .u16(1)
                                           .u16(0)
                                           .u16(0)
                                           .u32((7u << 2) | 2)
                                           .u16(0)
                                           .u32(0x3FF00000)
                                           .u16(1)
                                           .data);
                  sheet.record(0x0006, test::textFormulaRecord(2, 0));
                  sheet.record(0x0207, Bytes().u16(3).u8(0).raw("abc").data);
                  sheet.record(0x0205, Bytes().u16(2).u16(1).u16(0).u8(0x07).u8(1).data);
                  sheet.record(0x0204, Bytes()
                                           .u16(2)
                                           .u16(2)
                                           .u16(0)
                                           .u16(3)
                                           .u8(1)
                                           .u16(0x0141)
                                           .u16('d')
                                           .u16(0xD83D)
                                           .data);
                  sheet.record(0x00D7, Bytes().u32(0).data);
                  sheet.record(0x0809, Bytes().u16(0x0600).u16(0x0020).u32(0).u32(0).u32(0).data);
                  sheet.record(0x000A, {});
                  sheet.record(0x00FD, Bytes().u16(3).u16(0).u16(0).u32(2).data);
              }));
    write(folder / "biff5.stream",
          test::biffWorkbook(
              0x0500, [](BiffStream& globals) { globals.record(0x0042, Bytes().u16(1250).data); },
              [](BiffStream& sheet) {
                  sheet.record(0x0204,
                               Bytes().u16(0).u16(0).u16(0).u16(6).raw("Za\xbf\xf3\xb3\xe6").data);
              }));
}

void csvSeeds(const fs::path& folder) {
    std::string header;
    for (const auto name : kExpectedHeaders)
        header += std::string(name) + ";";
    write(folder / "declarations.csv", "\xEF\xBB\xBF;\n;\n;\n;\n;\n" + header +
                                           "\nL;\"85010112345\";\"Nowak\r\nKowalska\";Jan;\n");
    write(folder / "cp1250.csv", "Imi\xea;P\xb3"
                                 "e\xe6;\xaf\xf3\xb3w\n\"a\"\"b\";;x\r\n");
    write(folder / "tabs.csv", "a\tb,c\t\"d\te\"\nf\tg\n");
}

// The fixtures as whole files, for the targets that read them.
void fixtureSeeds(const fs::path& folder) {
    for (const fs::path& dir : {test::Fixture(""), test::Fixture("writers")}) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file() || entry.file_size() > 32768) continue;
            std::string extension = entry.path().extension().string();
            if (extension == ".fods") extension = ".ods";
            const fs::path target = folder / extension.substr(1);
            if (fs::is_directory(target))
                fs::copy_file(entry.path(), target / entry.path().filename());
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: workbook_fuzz_seeds FOLDER\n", stderr);
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        for (const char* format : {"xlsx", "ods", "xls", "csv"})
            fs::create_directories(folder / format);
        xlsxSeeds(folder / "xlsx");
        odsSeeds(folder / "ods");
        xlsSeeds(folder / "xls");
        csvSeeds(folder / "csv");
        fixtureSeeds(folder);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "workbook_fuzz_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
