// SPDX-License-Identifier: MIT
// Test helpers: the fixture folder, scratch files, and hand-built .xls
// workbooks (BIFF records in a compound document) for cases no spreadsheet
// program writes on request.
#pragma once

#include "import/sheets/WorkbookReader.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace xls2qdp::test {

std::filesystem::path Fixture(const std::string& name);

// A folder of its own for one test, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::filesystem::path file(const std::string& name, const std::string& content) const;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& file);

// Writes a zip archive of the given parts (name -> content) into folder;
// returns its path.
std::string zipOf(const ScratchFolder& folder, const std::string& name,
                  const std::map<std::string, std::string>& parts);
void writeZip(const std::filesystem::path& file, const std::map<std::string, std::string>& parts);

// The parts of a one-sheet .xlsx workbook: sheetData holds the rows,
// sharedStrings the <si> items (no shared strings part when empty),
// workbookPr what goes before the sheets in xl/workbook.xml. Cell style 1 is
// the built-in date format 14.
struct XlsxNamespaces {
    std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    std::string relations = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
};
std::map<std::string, std::string> xlsxParts(const std::string& sheetData,
                                             const std::string& sharedStrings = "",
                                             const std::string& workbookPr = "",
                                             const XlsxNamespaces& namespaces = {});

// Every row of the first sheet: row number -> cell texts (error values as
// "!" + the stored code).
std::map<int, std::vector<std::string>> ReadAllTexts(const std::filesystem::path& file,
                                                     int columnLimit = 38);

// BIFF records, little-endian.
class BiffStream {
public:
    BiffStream& record(std::uint16_t type, const std::vector<std::uint8_t>& data);
    std::size_t size() const { return bytes_.size(); }
    void patch32(std::size_t offset, std::uint32_t value);
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

struct Bytes {
    std::vector<std::uint8_t> data;
    Bytes& u8(unsigned v);
    Bytes& u16(unsigned v);
    Bytes& u32(std::uint32_t v);
    Bytes& f64(double v);
    Bytes& raw(const std::string& s);
};

// A workbook stream with one worksheet, BIFF8 (version 0x0600) or BIFF5
// (0x0500): globals adds records to the workbook globals after their BOF
// (CODEPAGE, FORMAT, XF, SST, ...), sheet the records of the worksheet.
std::vector<std::uint8_t> biffWorkbook(unsigned version,
                                       const std::function<void(BiffStream&)>& globals,
                                       const std::function<void(BiffStream&)>& sheet);

// A FORMULA record at row, column whose result is a text, which a STRING
// record after it holds.
std::vector<std::uint8_t> textFormulaRecord(unsigned row, unsigned column);

// Writes a compound document holding the given streams.
void WriteCompoundFile(const std::filesystem::path& file,
                       const std::map<std::string, std::vector<std::uint8_t>>& streams);

} // namespace xls2qdp::test
