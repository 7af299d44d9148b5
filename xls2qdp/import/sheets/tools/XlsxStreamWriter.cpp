// SPDX-License-Identifier: MIT
#include "XlsxStreamWriter.h"

#include "../CellText.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

namespace xls2qdp::tools {

namespace {

void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

constexpr const char* kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>)";
constexpr const char* kRootRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
constexpr const char* kWorkbook =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Deklaracje" sheetId="1" r:id="rId1"/></sheets></workbook>)";
constexpr const char* kWorkbookRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";
// Style 1 shows a date as dd-mm-yyyy; style 2 keeps text as text.
constexpr const char* kStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="1"><numFmt numFmtId="164" formatCode="dd\-mm\-yyyy"/></numFmts><fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts><fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills><borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/><xf numFmtId="49" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/></cellXfs><cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles></styleSheet>)";

struct ZipCloser {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};

void addBuffer(zip_t* zip, const char* name, const std::string& data) {
    zip_source_t* source = zip_source_buffer(zip, data.data(), data.size(), 0);
    if (!source || zip_file_add(zip, name, source, ZIP_FL_ENC_UTF_8) < 0) {
        if (source) zip_source_free(source);
        throw std::runtime_error(std::string("cannot add ") + name + ": " + zip_strerror(zip));
    }
}

} // namespace

XlsxStreamWriter::XlsxStreamWriter(std::filesystem::path output)
    : output_(std::move(output)), sheetPath_(output_.string() + ".sheet.tmp") {
    sheet_ = std::fopen(sheetPath_.c_str(), "wb");
    if (!sheet_) throw std::runtime_error("cannot create " + sheetPath_.string());
    std::fputs(
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        "\n"
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)",
        sheet_);
}

XlsxStreamWriter::~XlsxStreamWriter() {
    if (sheet_) std::fclose(sheet_);
    std::error_code ignored;
    std::filesystem::remove(sheetPath_, ignored);
}

void XlsxStreamWriter::startRow(int row) {
    row_ = row;
    std::fprintf(sheet_, "<row r=\"%d\">", row);
}

void XlsxStreamWriter::endRow() {
    std::fputs("</row>", sheet_);
}

void XlsxStreamWriter::cellStart(int column, const char* attributes) {
    std::fprintf(sheet_, "<c r=\"%s%d\"%s>", columnLetters(column).c_str(), row_, attributes);
}

void XlsxStreamWriter::text(int column, std::string_view value) {
    if (value.empty()) return;
    auto [it, added] =
        stringIndex_.try_emplace(std::string(value), static_cast<int>(strings_.size()));
    if (added) strings_.push_back(&it->first);
    ++stringUses_;
    cellStart(column, " t=\"s\"");
    std::fprintf(sheet_, "<v>%d</v></c>", it->second);
}

void XlsxStreamWriter::number(int column, double value) {
    cellStart(column, "");
    std::fprintf(sheet_, "<v>%.17g</v></c>", value);
}

void XlsxStreamWriter::date(int column, int days) {
    cellStart(column, " s=\"1\"");
    std::fprintf(sheet_, "<v>%d</v></c>", days);
}

void XlsxStreamWriter::finish() {
    std::fputs("</sheetData></worksheet>", sheet_);
    const bool written = std::fclose(sheet_) == 0;
    sheet_ = nullptr;
    if (!written) throw std::runtime_error("cannot write " + sheetPath_.string());

    std::string shared = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                         "\n";
    shared += "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"" +
              std::to_string(stringUses_) + "\" uniqueCount=\"" + std::to_string(strings_.size()) +
              "\">";
    for (const std::string* s : strings_) {
        shared += "<si><t xml:space=\"preserve\">";
        appendEscaped(shared, *s);
        shared += "</t></si>";
    }
    shared += "</sst>";

    std::error_code ignored;
    std::filesystem::remove(output_, ignored);
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(
        zip_open(output_.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!zip) throw std::runtime_error("cannot create " + output_.string());
    const std::string contentTypes = kContentTypes, rootRels = kRootRels, workbook = kWorkbook,
                      workbookRels = kWorkbookRels, styles = kStyles;
    addBuffer(zip.get(), "[Content_Types].xml", contentTypes);
    addBuffer(zip.get(), "_rels/.rels", rootRels);
    addBuffer(zip.get(), "xl/workbook.xml", workbook);
    addBuffer(zip.get(), "xl/_rels/workbook.xml.rels", workbookRels);
    addBuffer(zip.get(), "xl/styles.xml", styles);
    addBuffer(zip.get(), "xl/sharedStrings.xml", shared);
    zip_source_t* sheet = zip_source_file(zip.get(), sheetPath_.c_str(), 0, -1);
    if (!sheet || zip_file_add(zip.get(), "xl/worksheets/sheet1.xml", sheet, 0) < 0) {
        if (sheet) zip_source_free(sheet);
        throw std::runtime_error("cannot add the sheet: " + std::string(zip_strerror(zip.get())));
    }
    if (zip_close(zip.get()) < 0)
        throw std::runtime_error("cannot write " + output_.string() + ": " +
                                 zip_strerror(zip.get()));
    zip.release();
}

} // namespace xls2qdp::tools
