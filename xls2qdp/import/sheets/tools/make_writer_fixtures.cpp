// SPDX-License-Identifier: MIT
// Writes the fixtures of testdata/writers: small workbooks shaped the way
// particular spreadsheet programs write them, made with the test writers
// (zip parts, BIFF records in a compound document), since those programs do
// not run here. Run once, in that folder:  make_writer_fixtures .
// The reader tests read the committed files; WorkbookReader_test.cpp says
// what each must give.
#include "import/sheets/testing/SheetTestFiles.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

using xls2qdp::test::BiffStream;
using xls2qdp::test::biffWorkbook;
using xls2qdp::test::Bytes;
using xls2qdp::test::WriteCompoundFile;
using xls2qdp::test::writeZip;
using xls2qdp::test::xlsxParts;
namespace fs = std::filesystem;

const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kMarkup = "http://schemas.openxmlformats.org/markup-compatibility/2006";
const std::string kX15 = "http://schemas.microsoft.com/office/spreadsheetml/2010/11/main";

// A workbook in the 1904 date system as current Excel saves it: after the
// real workbookPr, its extension list holds a second one of its own
// namespace without the date system.
void date1904(const fs::path& folder) {
    const std::string workbook =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<workbook xmlns=")" +
        kMain + R"(" xmlns:r=")" + kRelationships + R"(" xmlns:mc=")" + kMarkup +
        R"(" mc:Ignorable="x15" xmlns:x15=")" + kX15 +
        R"("><fileVersion appName="xl" lastEdited="7" lowestEdited="7" rupBuild="27328"/>)"
        R"(<workbookPr date1904="1" defaultThemeVersion="166925"/>)"
        R"(<mc:AlternateContent><mc:Choice Requires="x15"><x15ac:absPath url="C:\Dane\" xmlns:x15ac="http://schemas.microsoft.com/office/spreadsheetml/2010/11/ac"/></mc:Choice></mc:AlternateContent>)"
        R"(<bookViews><workbookView xWindow="-120" yWindow="-120" windowWidth="29040" windowHeight="15840"/></bookViews>)"
        R"(<sheets><sheet name="Arkusz1" sheetId="1" r:id="rId1"/></sheets><calcPr calcId="191029"/>)"
        R"(<extLst><ext uri="{140A7094-0E35-4892-8432-C4D2E57EDEB5}"><x15:workbookPr chartTrackingRefBase="1"/></ext></extLst>)"
        R"(</workbook>)";
    // 11111 days after 01-01-1904 is 03-06-1934.
    const std::string rows =
        R"(<row r="1"><c r="A1" t="inlineStr"><is><t>Data urodzenia</t></is></c><c r="B1" s="1"><v>11111</v></c></row>)";
    auto parts = xlsxParts(rows);
    parts["xl/workbook.xml"] = workbook;
    writeZip(folder / "date1904_second_workbookPr.xlsx", parts);
}

// Part names with backslashes, as some programs store them.
void backslashNames(const fs::path& folder) {
    std::map<std::string, std::string> parts;
    const auto original = xlsxParts(
        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>Jan</t></is></c></row>)",
        R"(<si><t>Kowalski</t></si>)");
    for (const auto& [name, content] : original) {
        std::string stored = name;
        for (char& c : stored)
            if (c == '/') c = '\\';
        parts[stored] = content;
    }
    writeZip(folder / "backslash_part_names.xlsx", parts);
}

// Date cells (t="d") with a time alone, a date, and a text no date.
void timeOnlyDate(const fs::path& folder) {
    const std::string rows =
        R"(<row r="1"><c r="A1" t="d"><v>10:10:10</v></c><c r="B1" t="d"><v>1934-06-03T00:00:00</v></c>)"
        R"(<c r="C1" t="d"><v>wczoraj</v></c></row>)";
    writeZip(folder / "time_only_date_cell.xlsx", xlsxParts(rows));
}

std::vector<std::uint8_t> labelRecord(unsigned row, unsigned column, const std::string& latin1) {
    return Bytes()
        .u16(row)
        .u16(column)
        .u16(0)
        .u16(static_cast<unsigned>(latin1.size()))
        .u8(0)
        .raw(latin1)
        .data;
}

std::vector<std::uint8_t> biff8Label(const std::string& text) {
    return biffWorkbook(
        0x0600, [](BiffStream&) {},
        [&](BiffStream& sheet) { sheet.record(0x0204, labelRecord(0, 0, text)); });
}

std::vector<std::uint8_t> biff5Label(const std::string& bytes, unsigned codePage) {
    return biffWorkbook(
        0x0500, [&](BiffStream& book) { book.record(0x0042, Bytes().u16(codePage).data); },
        [&](BiffStream& sheet) {
            sheet.record(0x0204, Bytes()
                                     .u16(0)
                                     .u16(0)
                                     .u16(0)
                                     .u16(static_cast<unsigned>(bytes.size()))
                                     .raw(bytes)
                                     .data);
        });
}

// Workbook streams named in capitals, and a file with a current stream
// beside an older one.
void streamNames(const fs::path& folder) {
    WriteCompoundFile(folder / "stream_named_WORKBOOK.xls", {{"WORKBOOK", biff8Label("Kowalski")}});
    WriteCompoundFile(folder / "stream_named_BOOK.xls", {{"BOOK", biff5Label("Kowalski", 1252)}});
    WriteCompoundFile(
        folder / "streams_Book_and_WorkBook.xls",
        {{"Book", biff5Label("stara kopia", 1252)}, {"WorkBook", biff8Label("nowy")}});
}

std::vector<std::uint8_t> number(unsigned row, unsigned column, double value) {
    return Bytes().u16(row).u16(column).u16(0).f64(value).data;
}

// Cells of a row spread over row blocks (A1, C1, block end, B1), and a sheet
// written column by column, without row blocks.
void cellOrder(const fs::path& folder) {
    WriteCompoundFile(folder / "cells_out_of_column_order.xls",
                      {{"Workbook", biffWorkbook(
                                        0x0600, [](BiffStream&) {},
                                        [](BiffStream& sheet) {
                                            sheet.record(0x0203, number(0, 0, 1));
                                            sheet.record(0x0203, number(0, 2, 3));
                                            sheet.record(0x0203, number(1, 0, 4));
                                            sheet.record(0x00D7, Bytes().u32(0).data);
                                            sheet.record(0x0203, number(0, 1, 2));
                                            sheet.record(0x0203, number(1, 1, 5));
                                            sheet.record(0x00D7, Bytes().u32(0).data);
                                        })}});
    WriteCompoundFile(folder / "cells_column_by_column.xls",
                      {{"Workbook", biffWorkbook(
                                        0x0600, [](BiffStream&) {},
                                        [](BiffStream& sheet) {
                                            for (unsigned column = 0; column < 3; ++column)
                                                for (unsigned row = 0; row < 2000; ++row)
                                                    sheet.record(
                                                        0x0203,
                                                        number(row, column, row * 10.0 + column));
                                        })}});
}

// Excel 95 texts in code page 1258, whose letters may take a combining mark.
void codePage1258(const fs::path& folder) {
    // "Format", then "Việt" as 1258 writes it: e with circumflex, then the
    // combining dot below.
    WriteCompoundFile(
        folder / "codepage_1258.xls",
        {{"Book", biffWorkbook(
                      0x0500, [](BiffStream& book) { book.record(0x0042, Bytes().u16(1258).data); },
                      [](BiffStream& sheet) {
                          for (const auto& [column, text] :
                               std::map<unsigned, std::string>{{0, "Format"}, {1, "Vi\xEA\xF2t"}})
                              sheet.record(0x0204, Bytes()
                                                       .u16(0)
                                                       .u16(column)
                                                       .u16(0)
                                                       .u16(static_cast<unsigned>(text.size()))
                                                       .raw(text)
                                                       .data);
                      })}});
}

// A row with a value repeated 999,999,999 times (as far as a program thinks
// its sheet goes), after a row of data.
void endlessRows(const fs::path& folder) {
    const std::string content =
        R"(<?xml version="1.0" encoding="UTF-8"?>)"
        R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">)"
        R"(<office:body><office:spreadsheet><table:table table:name="Arkusz1">)"
        R"(<table:table-row><table:table-cell office:value-type="string"><text:p>Kowalski</text:p></table:table-cell></table:table-row>)"
        R"(<table:table-row table:number-rows-repeated="999999999"><table:table-cell table:number-columns-repeated="4"/>)"
        R"(<table:table-cell office:value-type="float" office:value="0"><text:p>0</text:p></table:table-cell>)"
        R"(<table:table-cell table:number-columns-repeated="16379"/></table:table-row>)"
        R"(</table:table></office:spreadsheet></office:body></office:document-content>)";
    writeZip(
        folder / "rows_repeated_999999999_times.ods",
        {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});
}

// A flat OpenDocument text (not a spreadsheet).
void flatText(const fs::path& folder) {
    std::ofstream(folder / "flat_text_document.fods")
        << R"(<?xml version="1.0" encoding="UTF-8"?>)"
           R"(<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">)"
           R"(<office:body><office:text><text:p>Kowalski;Jan</text:p></office:text></office:body></office:document>)"
           "\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_writer_fixtures FOLDER\n", stderr);
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        date1904(folder);
        backslashNames(folder);
        timeOnlyDate(folder);
        streamNames(folder);
        cellOrder(folder);
        codePage1258(folder);
        endlessRows(folder);
        flatText(folder);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_writer_fixtures: %s\n", e.what());
        return 1;
    }
    return 0;
}
