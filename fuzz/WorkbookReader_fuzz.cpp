// SPDX-License-Identifier: MIT
// Fuzz target of one workbook reader (WORKBOOK_FORMAT: "xlsx", "ods", "xls"
// or "csv"): the input becomes a file (WorkbookFuzzInput.h), whose first
// worksheet (and second, if it has one) is read to its end row by row, every
// cell turned into its text, and then once more as a declaration sheet
// (header check, data rows, notes). Besides the
// sanitizers and libFuzzer's time and memory limits, it checks what the
// readers promise whatever the file: only WorkbookError escapes, rows come
// in ascending order within the sheet, no row is wider than asked, no text
// longer than a cell holds. An .xlsx sheet is also read a second time with
// its plain rows taken through the general scanner instead of the quick
// path: both must give the same rows, cells and error.
#include "FuzzInputFile.h"
#include "WorkbookFuzzInput.h"
#include "common/TextEncoding.h"
#include "import/sheets/CellLimits.h"
#include "import/sheets/CellText.h"
#include "import/sheets/DeclarationSheet.h"
#include "import/sheets/WorkbookFile.h"
#include "import/sheets/WorkbookReader.h"
#include "import/sheets/XlsxReader.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace xls2qdp;
using namespace xls2qdp::fuzz;

constexpr std::string_view kFormat = WORKBOOK_FORMAT;
constexpr int kColumns = 38;
// Rows read of one input: a repeated row may legitimately make a million.
constexpr long kMaxRows = 100'000;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

void put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A zip archive of stored (uncompressed) entries.
std::string storedZip(const std::vector<std::pair<std::string_view, std::string_view>>& entries) {
    std::string out, directory;
    for (const auto& [name, data] : entries) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        const auto offset = static_cast<std::uint32_t>(out.size());
        const auto size = static_cast<std::uint32_t>(data.size());
        put32(out, 0x04034B50);
        put16(out, 20);
        put16(out, 0);
        put16(out, 0); // stored
        put16(out, 0);
        put16(out, 0x21); // 01-01-1980
        put32(out, crc);
        put32(out, size);
        put32(out, size);
        put16(out, static_cast<unsigned>(name.size()));
        put16(out, 0);
        out.append(name);
        out.append(data);
        put32(directory, 0x02014B50);
        put16(directory, 20);
        put16(directory, 20);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0x21);
        put32(directory, crc);
        put32(directory, size);
        put32(directory, size);
        put16(directory, static_cast<unsigned>(name.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, 0);
        put32(directory, offset);
        directory.append(name);
    }
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<unsigned>(entries.size()));
    put16(out, static_cast<unsigned>(entries.size()));
    put32(out, static_cast<std::uint32_t>(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

std::string xlsxFile(std::string_view input) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t end = input.find(kPartSeparator);
        parts.push_back(input.substr(0, end));
        if (end == std::string_view::npos) break;
        input.remove_prefix(end + kPartSeparator.size());
    }
    const auto part = [&](std::size_t i, std::string_view fallback) {
        return i < parts.size() ? parts[i] : fallback;
    };
    std::vector<std::pair<std::string_view, std::string_view>> entries = {
        {"[Content_Types].xml", kContentTypes},
        {"_rels/.rels", kRootRelationships},
        {"xl/_rels/workbook.xml.rels", kWorkbookRelationships},
        {kXlsxPartNames[0], parts[0]},
        {kXlsxPartNames[2], part(2, kDefaultWorkbook)},
        {kXlsxPartNames[3], part(3, kDefaultStyles)},
    };
    if (!part(1, "").empty()) entries.emplace_back(kXlsxPartNames[1], parts[1]);
    return storedZip(entries);
}

std::string compoundFile(std::string_view stream) {
    static const bool ready = (gsf_init(), true);
    (void)ready;
    GsfOutput* memory = gsf_output_memory_new();
    GsfOutfile* ole = gsf_outfile_msole_new(memory);
    GsfOutput* child = gsf_outfile_new_child(ole, "Workbook", FALSE);
    gsf_output_write(child, stream.size(), reinterpret_cast<const guint8*>(stream.data()));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    const auto* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
    std::string file(reinterpret_cast<const char*>(bytes),
                     static_cast<std::size_t>(gsf_output_size(memory)));
    g_object_unref(memory);
    return file;
}

std::string asFile(std::string_view input) {
    if (kFormat == "csv" || input.starts_with("PK")) return std::string(input);
    if (kFormat == "xlsx") return xlsxFile(input);
    if (kFormat == "xls") {
        if (input.starts_with("\xD0\xCF\x11\xE0")) return std::string(input);
        return compoundFile(input);
    }
    // ods
    if (input.find("office:document ") != std::string_view::npos ||
        input.find("office:document>") != std::string_view::npos)
        return std::string(input);
    return storedZip({{"mimetype", kOdsMimetype}, {"content.xml", input}});
}

// Reads the worksheet numbered sheet; the number of worksheets there are,
// when the workbook tells.
std::size_t readRows(const char* path, std::size_t sheet) {
    std::size_t sheets = 0;
    try {
        auto reader = OpenWorkbookReader(path, kColumns, sheet);
        sheets = reader->sheetNames().size();
        SheetRow row;
        int last = 0;
        for (long rows = 0; rows < kMaxRows && reader->nextRow(row); ++rows) {
            check(row.number > last && row.number <= kMaxSheetRows);
            last = row.number;
            check(row.cells.size() <= static_cast<std::size_t>(kColumns));
            for (const CellValue& cell : row.cells) {
                check(utf8Length(cell.text) <= kMaxCellCharacters);
                NormalizeCellText(cellText(cell));
            }
        }
    } catch (const WorkbookError&) {
    }
    return sheets;
}

// One step of a reader: true with the next row, false at the end, or the
// error's message.
struct Step {
    bool row = false;
    std::string error;
};
Step nextOf(WorkbookReader& reader, SheetRow& row) {
    try {
        return {reader.nextRow(row), {}};
    } catch (const WorkbookError& error) {
        return {false, error.what()};
    }
}

bool sameCells(const SheetRow& a, const SheetRow& b) {
    if (a.number != b.number || a.cells.size() != b.cells.size()) return false;
    for (std::size_t i = 0; i < a.cells.size(); ++i) {
        const CellValue &x = a.cells[i], &y = b.cells[i];
        if (x.kind != y.kind || x.text != y.text || x.problem != y.problem ||
            !(x.number == y.number || (x.number != x.number && y.number != y.number)))
            return false;
    }
    return true;
}

// The .xlsx build reads every input both ways; the others never call this.
[[maybe_unused]] void compareRowPaths(const char* path) {
    std::unique_ptr<WorkbookReader> quick, general;
    std::string quickError, generalError;
    try {
        quick = OpenXlsxReader(WorkbookFile(path), kColumns, 0, XlsxPath::Quick);
    } catch (const WorkbookError& error) {
        quickError = error.what();
    }
    try {
        general = OpenXlsxReader(WorkbookFile(path), kColumns, 0, XlsxPath::General);
    } catch (const WorkbookError& error) {
        generalError = error.what();
    }
    check(quickError == generalError && !quick == !general);
    if (!quick) return;
    SheetRow a, b;
    for (long rows = 0; rows < kMaxRows; ++rows) {
        const Step x = nextOf(*quick, a), y = nextOf(*general, b);
        check(x.row == y.row && x.error == y.error);
        if (!x.row) break;
        check(sameCells(a, b));
    }
}

void readDeclarations(const char* path) {
    try {
        DeclarationSheet sheet(path);
        std::size_t notes = 0;
        sheet.setCellNoteHandler([&](const CellNote&) { ++notes; });
        sheet.CheckSheetStructure();
        DeclarationRow row;
        for (long rows = 0; rows < kMaxRows && sheet.ReadSheetRow(row); ++rows) {
        }
    } catch (const WorkbookError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static InputFile input;
    input.set(asFile(std::string_view(reinterpret_cast<const char*>(data), size)));
    if (readRows(input.path(), 0) > 1) readRows(input.path(), 1);
    readDeclarations(input.path());
    if constexpr (kFormat == "xlsx") compareRowPaths(input.path());
    return 0;
}
