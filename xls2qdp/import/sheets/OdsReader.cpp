// SPDX-License-Identifier: MIT
#include "OdsReader.h"

#include "IsoDateTime.h"
#include "RowQueue.h"
#include "XmlStreamParser.h"
#include "ZipArchive.h"

#include <charconv>
#include <optional>
#include <string>

namespace xls2qdp {

namespace {

#define ODF_OFFICE "urn:oasis:names:tc:opendocument:xmlns:office:1.0|"
#define ODF_TABLE "urn:oasis:names:tc:opendocument:xmlns:table:1.0|"
#define ODF_TEXT "urn:oasis:names:tc:opendocument:xmlns:text:1.0|"
#define ODF_CALCEXT "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0|"

constexpr std::string_view kSpreadsheet = ODF_OFFICE "spreadsheet";
constexpr std::string_view kAnnotation = ODF_OFFICE "annotation";
constexpr std::string_view kTable = ODF_TABLE "table";
constexpr std::string_view kRow = ODF_TABLE "table-row";
constexpr std::string_view kCell = ODF_TABLE "table-cell";
constexpr std::string_view kCoveredCell = ODF_TABLE "covered-table-cell";
constexpr std::string_view kParagraph = ODF_TEXT "p";
constexpr std::string_view kSpaces = ODF_TEXT "s";
constexpr std::string_view kTab = ODF_TEXT "tab";
constexpr std::string_view kLineBreak = ODF_TEXT "line-break";

constexpr int kMaxRows = 1 << 30;

long long repeatCount(const char** attributes, std::string_view name) {
    const char* value = FindAttribute(attributes, name);
    if (!value) return 1;
    const long long n = std::strtoll(value, nullptr, 10);
    return n < 1 ? 1 : n;
}

// Collects the names of the top-level tables of content.xml.
class SheetNamesHandler : public XmlHandler {
public:
    std::vector<std::string> names;
    void startElement(std::string_view name, const char** attributes) override {
        if (name != kTable) return;
        if (depth_++ == 0) {
            const char* tab = FindAttribute(attributes, ODF_TABLE "name");
            names.emplace_back(tab ? tab : "");
        }
    }
    void endElement(std::string_view name) override {
        if (name == kTable) --depth_;
    }
    void characters(std::string_view) override {}

private:
    int depth_ = 0;
};

class OdsReader : public WorkbookReader, private XmlHandler {
public:
    OdsReader(const std::filesystem::path& file, int columnLimit, std::size_t sheet)
        : archive_(file), columnLimit_(columnLimit), sheet_(sheet) {
        if (auto manifest = archive_.readAll("META-INF/manifest.xml", 16u << 20);
            manifest && manifest->find("encryption-data") != std::string::npos)
            throw WorkbookError(file, kEncryptedWorkbook);
        auto entry = archive_.open("content.xml");
        if (!entry)
            throw WorkbookError(file, std::string(kDamagedFile) + " Brak części „content.xml”.");
        content_.emplace(std::move(*entry));
        parser_.emplace(
            static_cast<XmlHandler&>(*this),
            [this](char* buffer, std::size_t size) { return content_->read(buffer, size); }, file,
            "content.xml");
    }

    // The names come from a pass of their own over content.xml: the tables
    // follow one another in it, and only the one being read is parsed here.
    std::vector<std::string> sheetNames() override {
        SheetNamesHandler names;
        ParseZipPart(archive_, "content.xml", names, true);
        return std::move(names.names);
    }

    bool nextRow(SheetRow& row) override {
        while (queue_.empty()) {
            if (repeatsLeft_ > 0) {
                queue_.start(repeatNumber_++).cells = repeatCells_;
                queue_.commit();
                --repeatsLeft_;
                break;
            }
            if (finished_ || (!parser_->parseChunk() && queue_.empty() && repeatsLeft_ == 0))
                return false;
        }
        queue_.take(row);
        return true;
    }

private:
    void startElement(std::string_view name, const char** attributes) override {
        if (finished_) return;
        if (annotationDepth_ > 0) {
            ++annotationDepth_;
            return;
        }
        if (name == kSpreadsheet) {
            inSpreadsheet_ = true;
        } else if (name == kTable && inSpreadsheet_) {
            if (tableDepth_++ == 0) reading_ = tablesSeen_++ == sheet_;
        } else if (tableDepth_ != 1 || !reading_) {
            return; // outside the sheet read, or inside a table within a cell
        } else if (name == kRow) {
            rowRepeat_ = repeatCount(attributes, ODF_TABLE "number-rows-repeated");
            row_ = &queue_.start(rowNumber_ + 1);
            rowHasValue_ = false;
            column_ = 0;
        } else if ((name == kCell || name == kCoveredCell) && row_) {
            startCell(attributes);
        } else if (!inCell_) {
            return;
        } else if (name == kAnnotation) {
            annotationDepth_ = 1;
        } else if (name == kParagraph) {
            if (paragraphs_++ > 0) text_ += '\n';
            blankPending_ = false;
            paragraphStart_ = true;
        } else if (name == kSpaces) {
            const long long n = repeatCount(attributes, ODF_TEXT "c");
            appendLiteral(std::string(static_cast<std::size_t>(std::min(n, 1000LL)), ' '));
        } else if (name == kTab) {
            appendLiteral("\t");
        } else if (name == kLineBreak) {
            appendLiteral("\n");
        }
    }

    void endElement(std::string_view name) override {
        if (finished_) return;
        if (annotationDepth_ > 0) {
            --annotationDepth_;
            return;
        }
        if (name == kTable && inSpreadsheet_) {
            if (--tableDepth_ == 0 && reading_) finished_ = true; // only one sheet is read
        } else if (tableDepth_ != 1 || !reading_) {
            return;
        } else if (name == kParagraph && inCell_) {
            // Only blanks at the start of a paragraph are dropped; one at its end stays.
            if (blankPending_) text_ += ' ';
            blankPending_ = false;
        } else if ((name == kCell || name == kCoveredCell) && inCell_) {
            endCell();
        } else if (name == kRow && row_) {
            endRow();
        }
    }

    // Whitespace inside a paragraph collapses to one blank and is dropped at
    // the paragraph's start; real runs of blanks are written as <text:s>.
    void characters(std::string_view text) override {
        if (!inCell_ || annotationDepth_ > 0 || paragraphs_ == 0) return;
        for (char c : text) {
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                if (!paragraphStart_) blankPending_ = true;
                continue;
            }
            if (blankPending_) text_ += ' ';
            blankPending_ = paragraphStart_ = false;
            text_ += c;
        }
    }

    // Characters given by elements (<text:s>, <text:tab>, <text:line-break>)
    // never collapse; a blank collapsed before them still counts once.
    void appendLiteral(std::string_view text) {
        if (blankPending_) text_ += ' ';
        text_ += text;
        paragraphStart_ = blankPending_ = false;
    }

    void startCell(const char** attributes) {
        inCell_ = true;
        columnRepeat_ = repeatCount(attributes, ODF_TABLE "number-columns-repeated");
        text_.clear();
        paragraphs_ = 0;
        blankPending_ = paragraphStart_ = false;
        cell_.clear();
        const char* type = FindAttribute(attributes, ODF_OFFICE "value-type");
        const char* extType = FindAttribute(attributes, ODF_CALCEXT "value-type");
        isError_ = extType && std::string_view(extType) == "error";
        stringValue_.reset();
        hasType_ = type != nullptr;
        hasFormula_ = FindAttribute(attributes, ODF_TABLE "formula") != nullptr;
        if (!type || isError_) return;
        const std::string_view kind = type;
        if (kind == "float" || kind == "percentage" || kind == "currency") {
            if (const char* value = FindAttribute(attributes, ODF_OFFICE "value")) {
                double number = 0;
                std::string_view v = value;
                if (!v.empty() && v.front() == '+') v.remove_prefix(1);
                const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), number);
                if (error == std::errc{}) cell_.setNumber(number);
            }
        } else if (kind == "date") {
            if (const char* value = FindAttribute(attributes, ODF_OFFICE "date-value"))
                if (auto days = ParseIsoDateTime(value)) cell_.setNumber(*days, CellKind::DateTime);
        } else if (kind == "time") {
            if (const char* value = FindAttribute(attributes, ODF_OFFICE "time-value"))
                if (auto days = ParseIsoDuration(value)) cell_.setNumber(*days, CellKind::DateTime);
        } else if (kind == "boolean") {
            if (const char* value = FindAttribute(attributes, ODF_OFFICE "boolean-value")) {
                const std::string_view b = value;
                cell_.setNumber(b == "true" || b == "1" ? 1 : 0, CellKind::Boolean);
            }
        } else if (kind == "string") {
            if (const char* value = FindAttribute(attributes, ODF_OFFICE "string-value"))
                stringValue_ = value;
        }
    }

    void endCell() {
        inCell_ = false;
        if (isError_) {
            cell_.kind = CellKind::Error;
            cell_.text = text_;
        } else if (stringValue_) {
            cell_.setText(std::move(*stringValue_));
        } else if (cell_.kind == CellKind::Empty && !text_.empty()) {
            // A string cell, or a cell some program wrote without a value type.
            cell_.setText(text_);
        } else if (cell_.kind == CellKind::Empty && hasFormula_ && !hasType_) {
            cell_.kind = CellKind::Formula; // a formula written without its result
        }
        if (cell_.kind == CellKind::Text && cell_.text.empty()) cell_.kind = CellKind::Empty;
        if (cell_.kind != CellKind::Empty && column_ < columnLimit_) {
            const long long last = std::min<long long>(column_ + columnRepeat_, columnLimit_);
            for (long long c = column_; c < last; ++c)
                CellAt(*row_, static_cast<int>(c)) = cell_;
            rowHasValue_ = true;
        }
        column_ = std::min<long long>(column_ + columnRepeat_, columnLimit_);
    }

    void endRow() {
        const long long repeat = std::min<long long>(rowRepeat_, kMaxRows - rowNumber_);
        if (rowHasValue_) {
            // Copies of a repeated row are made one by one as they are asked
            // for: the parser waits meanwhile, so a row repeated a million
            // times costs the memory of one.
            if (repeat > 1) {
                repeatCells_ = row_->cells;
                repeatNumber_ = rowNumber_ + 2;
                repeatsLeft_ = repeat - 1;
                parser_->suspend();
            }
            queue_.commit();
        }
        rowNumber_ += static_cast<int>(repeat);
        row_ = nullptr;
        if (rowNumber_ >= kMaxRows) finished_ = true;
    }

    ZipArchive archive_;
    int columnLimit_;
    std::size_t sheet_;
    std::optional<ZipArchive::Entry> content_;
    std::optional<XmlStreamParser> parser_;
    RowQueue queue_;

    bool inSpreadsheet_ = false, finished_ = false, reading_ = false;
    int tableDepth_ = 0, annotationDepth_ = 0;
    std::size_t tablesSeen_ = 0;
    SheetRow* row_ = nullptr;
    int rowNumber_ = 0;
    long long rowRepeat_ = 1, columnRepeat_ = 1, column_ = 0;
    bool rowHasValue_ = false;
    std::vector<CellValue> repeatCells_;
    int repeatNumber_ = 0;
    long long repeatsLeft_ = 0;

    bool inCell_ = false, isError_ = false, hasType_ = false, hasFormula_ = false;
    CellValue cell_;
    std::optional<std::string> stringValue_;
    std::string text_;
    int paragraphs_ = 0;
    bool blankPending_ = false, paragraphStart_ = false;
};

} // namespace

std::unique_ptr<WorkbookReader> OpenOdsReader(const std::filesystem::path& file, int columnLimit,
                                              std::size_t sheet) {
    return std::make_unique<OdsReader>(file, columnLimit, sheet);
}

} // namespace xls2qdp
