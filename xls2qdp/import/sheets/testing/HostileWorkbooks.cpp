// SPDX-License-Identifier: MIT
#include "import/sheets/testing/HostileWorkbooks.h"

#include "import/sheets/WorkbookReader.h"
#include "import/sheets/testing/SheetTestFiles.h"

#include <sys/stat.h>

#include <fstream>
#include <stdexcept>

namespace xls2qdp::test {

namespace {

namespace fs = std::filesystem;

const std::string kOdsHead =
    R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" )"
    R"(xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" )"
    R"(xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0">)"
    R"(<office:body><office:spreadsheet><table:table>)";
const std::string kOdsTail =
    "</table:table></office:spreadsheet></office:body></office:document-content>";
const std::string kTextCell =
    R"(<table:table-cell office:value-type="string"><text:p>Kowalski</text:p></table:table-cell>)";

std::map<std::string, std::string> odsParts(const std::string& body) {
    return {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
            {"content.xml", kOdsHead + body + kOdsTail}};
}

std::string row(const std::string& cells, const std::string& attributes = "") {
    return "<table:table-row" + attributes + ">" + cells + "</table:table-row>";
}

std::vector<std::uint8_t> labelSst(unsigned row, unsigned column, std::uint32_t index) {
    return Bytes().u16(row).u16(column).u16(0).u32(index).data;
}

// A shared-string table whose strings are cut into CONTINUE records of one
// character each: as many record boundaries as characters.
std::vector<std::uint8_t> continuedStrings(std::uint32_t strings) {
    return biffWorkbook(
        0x0600,
        [&](BiffStream& globals) {
            globals.record(0x00FC, Bytes().u32(strings).u32(strings).data);
            for (std::uint32_t i = 0; i < strings; ++i) {
                globals.record(0x003C, Bytes().u16(3).u8(0).raw("a").data);
                globals.record(0x003C, Bytes().u8(0).raw("b").data);
                globals.record(0x003C, Bytes().u8(0).raw("c").data);
            }
        },
        [&](BiffStream& sheet) {
            sheet.record(0x00FD, labelSst(0, 0, 0));
            sheet.record(0x00FD, labelSst(1, 0, strings - 1));
        });
}

// A LABEL of 65,535 UTF-16 characters, carried on in CONTINUE records.
std::vector<std::uint8_t> longLabel() {
    return biffWorkbook(
        0x0600, [](BiffStream&) {},
        [](BiffStream& sheet) {
            Bytes label;
            label.u16(0).u16(0).u16(0).u16(65535).u8(1);
            std::size_t left = 65535;
            const std::size_t first = (8224 - label.data.size()) / 2;
            for (std::size_t i = 0; i < first; ++i)
                label.u16(0x0105); // ą
            left -= first;
            sheet.record(0x0204, label.data);
            while (left > 0) {
                const std::size_t n = std::min<std::size_t>(left, 4000);
                Bytes more;
                more.u8(1);
                for (std::size_t i = 0; i < n; ++i)
                    more.u16('z');
                sheet.record(0x003C, more.data);
                left -= n;
            }
        });
}

// A record the reader does not use (a picture store) carried on in CONTINUE
// records of tokenBytes in all; it is passed over unread.
std::vector<std::uint8_t> bigUnusedRecord(std::size_t tokenBytes) {
    return biffWorkbook(
        0x0600,
        [&](BiffStream& globals) {
            const std::vector<std::uint8_t> block(8224, 0x55);
            globals.record(0x00EB, block);
            for (std::size_t done = 0; done < tokenBytes; done += block.size())
                globals.record(0x003C, block);
        },
        [](BiffStream& sheet) { sheet.record(0x0203, Bytes().u16(0).u16(0).u16(0).f64(7).data); });
}

void writeFile(const fs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

} // namespace

std::vector<HostileCase> makeHostileWorkbooks(const fs::path& folder, std::size_t tokenBytes) {
    const std::string huge(tokenBytes, 'a');
    const std::string tooMany = "więcej niż 1 048 576 wierszy";
    const std::string longTag = "znacznik dłuższy niż 4 MB";
    const std::string longToken = "dłuższa niż 4 MB";
    std::vector<HostileCase> cases;
    const auto add = [&](std::string name, fs::path path, std::string failure, bool textCut = false,
                         bool missingString = false, long long rows = -1) {
        cases.push_back(
            {std::move(name), std::move(path), std::move(failure), textCut, missingString, rows});
    };
    const auto zip = [&](const std::string& name, const std::map<std::string, std::string>& parts) {
        writeZip(folder / name, parts);
        return folder / name;
    };
    const auto file = [&](const std::string& name, const std::string& content) {
        writeFile(folder / name, content);
        return folder / name;
    };

    // .xlsx: the sheet and the shared strings go through the quick scanner,
    // the small parts through expat.
    add("xlsx: inline text",
        zip("inline.xlsx",
            xlsxParts(R"(<row r="1"><c t="inlineStr"><is><t>)" + huge + "</t></is></c></row>")),
        "", true);
    add("xlsx: formula text",
        zip("value.xlsx", xlsxParts(R"(<row r="1"><c t="str"><v>)" + huge + "</v></c></row>")), "",
        true);
    add("xlsx: shared string",
        zip("shared.xlsx",
            xlsxParts(R"(<row r="1"><c t="s"><v>0</v></c></row>)", "<si><t>" + huge + "</t></si>")),
        "", true);
    add("xlsx: CDATA",
        zip("cdata.xlsx",
            xlsxParts(R"(<row r="1"><c t="str"><v><![CDATA[)" + huge + "]]></v></c></row>")),
        "", true);
    add("xlsx: attribute",
        zip("attribute.xlsx", xlsxParts(R"(<row r="1"><c s=")" + huge + R"("><v>1</v></c></row>)")),
        longTag);
    add("xlsx: comment and blanks",
        zip("comment.xlsx", xlsxParts("<!--" + huge + "-->" + std::string(tokenBytes, ' ') +
                                      R"(<row r="1"><c><v>1</v></c></row>)")),
        "", false, false, 1);
    {
        auto parts = xlsxParts(R"(<row r="1"><c><v>1</v></c></row>)", "",
                               R"(<workbookPr codeName=")" + huge + R"("/>)");
        add("xlsx: attribute in a part expat reads", zip("workbook.xlsx", parts), longToken);
        parts = xlsxParts(R"(<row r="1"><c><v>1</v></c></row>)", "", "<!--" + huge + "-->");
        add("xlsx: comment in a part expat reads", zip("workbook-comment.xlsx", parts), longToken);
    }
    add("xlsx: shared string out of range",
        zip("index.xlsx",
            xlsxParts(R"(<row r="1"><c t="s"><v>7</v></c></row>)", "<si><t>jeden</t></si>")),
        "", false, true);
    add("xlsx: row past the last",
        zip("row.xlsx", xlsxParts(R"(<row r="1"><c><v>1</v></c></row>)"
                                  R"(<row r="99999999999"><c><v>2</v></c></row>)")),
        tooMany, false, false, 1);

    add("xlsx: a row inside a cell, closed out of turn",
        zip("nesting.xlsx",
            xlsxParts(
                R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="2"><c r="A2"><is><row r="3"></c></row></is></row>)")),
        "zamyka element", false, false, 1);

    // .ods: content.xml goes through the quick scanner.
    add("ods: a row inside a cell",
        zip("nesting.ods",
            odsParts(
                row(kTextCell) +
                row(R"(<table:table-cell office:value-type="string"><table:table-row/><text:p>x</text:p></table:table-cell>)"))),
        "wewnątrz komórki", false, false, 1);
    add("ods: paragraph",
        zip("paragraph.ods",
            odsParts(row("<table:table-cell><text:p>" + huge + "</text:p></table:table-cell>"))),
        "", true);
    {
        std::string spaces;
        for (int i = 0; i < 1000; ++i)
            spaces += R"(<text:s text:c="1000000000"/>)";
        add("ods: repeated blanks",
            zip("spaces.ods", odsParts(row("<table:table-cell><text:p>x" + spaces +
                                           "</text:p></table:table-cell>"))),
            "", true);
    }
    add("ods: string value attribute",
        zip("string-value.ods",
            odsParts(row(R"(<table:table-cell office:value-type="string" office:string-value=")" +
                         huge + R"("/>)"))),
        longTag);
    add("ods: comment", zip("ods-comment.ods", odsParts("<!--" + huge + "-->" + row(kTextCell))),
        "", false, false, 1);
    add("ods: row repeated 1,000,000,000 times",
        zip("rows.ods", odsParts(row(kTextCell, R"( table:number-rows-repeated="1000000000")"))),
        tooMany, false, false, 1'048'576);
    add("ods: long texts repeated",
        zip("long-rows.ods",
            odsParts(row("<table:table-cell table:number-columns-repeated=\"38\">"
                         "<text:p>" +
                             std::string(32767, 'x') + "</text:p></table:table-cell>",
                         R"( table:number-rows-repeated="1000000")"))),
        "długimi tekstami");
    add("ods: cell repeated to the largest number",
        zip("columns.ods",
            odsParts(row(
                R"(<table:table-cell table:number-columns-repeated="9223372036854775807" office:value-type="float" office:value="1"/>)"))),
        "więcej niż 16 384 kolumny");
    add("ods: empty rows past the last, then a value",
        zip("empty-rows.ods", odsParts(row(kTextCell) +
                                       row("<table:table-cell/>",
                                           R"( table:number-rows-repeated="999999999999999999")") +
                                       row(kTextCell))),
        tooMany, false, false, 1);

    // .xls
    WriteCompoundFile(
        folder / "continued.xls",
        {{"Workbook", continuedStrings(static_cast<std::uint32_t>(tokenBytes / 64))}});
    add("xls: strings cut into CONTINUE records", folder / "continued.xls", "", false, false, 2);
    WriteCompoundFile(folder / "long-label.xls", {{"Workbook", longLabel()}});
    add("xls: text of 65,535 characters", folder / "long-label.xls", "", true);
    WriteCompoundFile(folder / "picture.xls", {{"Workbook", bigUnusedRecord(tokenBytes)}});
    add("xls: large record not read", folder / "picture.xls", "", false, false, 1);
    WriteCompoundFile(
        folder / "index.xls",
        {{"Workbook", biffWorkbook(
                          0x0600,
                          [](BiffStream& globals) {
                              globals.record(0x00FC,
                                             Bytes().u32(1).u32(1).u16(1).u8(0).raw("x").data);
                          },
                          [](BiffStream& sheet) { sheet.record(0x00FD, labelSst(0, 0, 99)); })}});
    add("xls: shared string out of range", folder / "index.xls", "", false, true);

    // .csv
    add("csv: one field", file("field.csv", huge), "", true);
    add("csv: quoted field never closed", file("quoted.csv", "\"" + huge), "", true);
    {
        std::string fields;
        for (std::size_t i = 0; i < tokenBytes / 2; ++i)
            fields += "1;";
        add("csv: fields on one line", file("fields.csv", fields), "", false, false, 1);
    }

    // No files at all.
    const fs::path fifo = folder / "fifo.xlsx";
    if (::mkfifo(fifo.c_str(), 0600) != 0) throw std::runtime_error("cannot make a FIFO");
    add("FIFO", fifo, "to potok (FIFO)");
    fs::create_directories(folder / "folder.xlsx");
    add("folder", folder / "folder.xlsx", "to jest katalog");
    add("device", "/dev/zero", "to urządzenie");
    add("empty file", file("empty.xls", ""), "plik jest pusty");
    return cases;
}

} // namespace xls2qdp::test
