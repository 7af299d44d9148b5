// SPDX-License-Identifier: MIT
#include "import/sheets/testing/SheetTestFiles.h"

#include "import/sheets/CellText.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <zip.h>

#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

namespace xls2qdp::test {

std::filesystem::path Fixture(const std::string& name) {
    return std::filesystem::path(SHEETS_TESTDATA_DIR) / name;
}

ScratchFolder::ScratchFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("sheets-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::file(const std::string& name,
                                          const std::string& content) const {
    const auto file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out << content;
    return file;
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::map<int, std::vector<std::string>> ReadAllTexts(const std::filesystem::path& file,
                                                     int columnLimit) {
    std::map<int, std::vector<std::string>> rows;
    auto reader = OpenWorkbookReader(file, columnLimit);
    SheetRow row;
    while (reader->nextRow(row)) {
        auto& texts = rows[row.number];
        for (const CellValue& cell : row.cells)
            texts.push_back(cell.kind == CellKind::Error ? "!" + cell.text : cellText(cell));
        while (!texts.empty() && texts.back().empty())
            texts.pop_back();
    }
    return rows;
}

std::string zipOf(const ScratchFolder& folder, const std::string& name,
                  const std::map<std::string, std::string>& parts) {
    const auto path = folder.path() / name;
    writeZip(path, parts);
    return path.string();
}

void writeZip(const std::filesystem::path& file, const std::map<std::string, std::string>& parts) {
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) throw std::runtime_error("cannot create " + file.string());
    for (const auto& [part, data] : parts) {
        zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
        zip_file_add(archive, part.c_str(), source, 0);
    }
    if (zip_close(archive) != 0) throw std::runtime_error("cannot write " + file.string());
}

std::map<std::string, std::string> xlsxParts(const std::string& sheetData,
                                             const std::string& sharedStrings,
                                             const std::string& workbookPr,
                                             const XlsxNamespaces& namespaces) {
    const std::string declaration = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)";
    const std::string packageRelations =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    const auto relation = [&](const char* id, const char* type, const char* target) {
        return std::string(R"(<Relationship Id=")") + id + R"(" Type=")" + namespaces.relations +
               "/" + type + R"(" Target=")" + target + R"("/>)";
    };
    std::map<std::string, std::string> parts = {
        {"[Content_Types].xml",
         declaration +
             R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
             R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
             R"(<Default Extension="xml" ContentType="application/xml"/>)"
             R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
             R"(</Types>)"},
        {"_rels/.rels", declaration + packageRelations +
                            relation("rId1", "officeDocument", "xl/workbook.xml") +
                            "</Relationships>"},
        {"xl/workbook.xml",
         declaration + R"(<workbook xmlns=")" + namespaces.main + R"(" xmlns:r=")" +
             namespaces.relations +
             R"(" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006">)" +
             workbookPr +
             R"(<sheets><sheet name="Arkusz1" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         declaration + packageRelations + relation("rId1", "worksheet", "worksheets/sheet1.xml") +
             relation("rId2", "styles", "styles.xml") +
             (sharedStrings.empty() ? "" : relation("rId3", "sharedStrings", "sharedStrings.xml")) +
             "</Relationships>"},
        {"xl/styles.xml",
         declaration + R"(<styleSheet xmlns=")" + namespaces.main +
             R"("><cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14" applyNumberFormat="1"/></cellXfs></styleSheet>)"},
        {"xl/worksheets/sheet1.xml",
         declaration + R"(<worksheet xmlns=")" + namespaces.main + R"(" xmlns:r=")" +
             namespaces.relations +
             R"(" xmlns:x14="http://schemas.microsoft.com/office/spreadsheetml/2009/9/main"><sheetData>)" +
             sheetData + "</sheetData></worksheet>"},
    };
    if (!sharedStrings.empty())
        parts["xl/sharedStrings.xml"] =
            declaration + R"(<sst xmlns=")" + namespaces.main + R"(">)" + sharedStrings + "</sst>";
    return parts;
}

std::vector<std::uint8_t> biffWorkbook(unsigned version,
                                       const std::function<void(BiffStream&)>& globals,
                                       const std::function<void(BiffStream&)>& sheet) {
    const bool biff8 = version == 0x0600;
    const auto bof = [&](unsigned kind) {
        Bytes b;
        b.u16(version).u16(kind).u16(0).u16(0);
        if (biff8) b.u32(0).u32(0);
        return b.data;
    };
    BiffStream book;
    book.record(0x0809, bof(0x0005));
    globals(book);
    const std::size_t boundSheet = book.size() + 4;
    Bytes sheetEntry;
    sheetEntry.u32(0).u8(0).u8(0).u8(1);
    if (biff8) sheetEntry.u8(0);
    book.record(0x0085, sheetEntry.raw("A").data);
    book.record(0x000A, {});
    book.patch32(boundSheet, static_cast<std::uint32_t>(book.size()));
    book.record(0x0809, bof(0x0010));
    sheet(book);
    book.record(0x000A, {});
    return book.bytes();
}

std::vector<std::uint8_t> textFormulaRecord(unsigned row, unsigned column) {
    return Bytes()
        .u16(row)
        .u16(column)
        .u16(0) // xf
        .u8(0)  // result: a text ...
        .u8(0)
        .u8(0)
        .u8(0)
        .u8(0)
        .u8(0)
        .u16(0xFFFF) // ... not a number
        .u16(0)      // options
        .u32(0)
        .u16(0) // formula length
        .data;
}

BiffStream& BiffStream::record(std::uint16_t type, const std::vector<std::uint8_t>& data) {
    Bytes header;
    header.u16(type).u16(static_cast<unsigned>(data.size()));
    bytes_.insert(bytes_.end(), header.data.begin(), header.data.end());
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
}

void BiffStream::patch32(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes_[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes& Bytes::u8(unsigned v) {
    data.push_back(static_cast<std::uint8_t>(v));
    return *this;
}
Bytes& Bytes::u16(unsigned v) {
    return u8(v & 0xFF).u8(v >> 8);
}
Bytes& Bytes::u32(std::uint32_t v) {
    return u16(v & 0xFFFF).u16(v >> 16);
}
Bytes& Bytes::f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i)
        u8(static_cast<unsigned>(bits >> (8 * i)) & 0xFF);
    return *this;
}
Bytes& Bytes::raw(const std::string& s) {
    data.insert(data.end(), s.begin(), s.end());
    return *this;
}

void WriteCompoundFile(const std::filesystem::path& file,
                       const std::map<std::string, std::vector<std::uint8_t>>& streams) {
    gsf_init();
    GError* error = nullptr;
    GsfOutput* sink = gsf_output_stdio_new(file.c_str(), &error);
    if (!sink) throw std::runtime_error("cannot create " + file.string());
    GsfOutfile* ole = gsf_outfile_msole_new(sink);
    for (const auto& [name, bytes] : streams) {
        GsfOutput* child = gsf_outfile_new_child(ole, name.c_str(), FALSE);
        gsf_output_write(child, bytes.size(), bytes.data());
        gsf_output_close(child);
        g_object_unref(child);
    }
    gsf_output_close(GSF_OUTPUT(ole)); // closes the sink too
    g_object_unref(ole);
    g_object_unref(sink);
}

} // namespace xls2qdp::test
