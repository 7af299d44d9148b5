// SPDX-License-Identifier: MIT
#include "OdsReader.h"

#include "CellLimits.h"
#include "IsoDateTime.h"
#include "RowQueue.h"
#include "XmlStreamParser.h"
#include "ZipArchive.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <utility>

namespace xls2qdp {

namespace {

#define ODF_OFFICE "urn:oasis:names:tc:opendocument:xmlns:office:1.0|"
#define ODF_TABLE "urn:oasis:names:tc:opendocument:xmlns:table:1.0|"
#define ODF_TEXT "urn:oasis:names:tc:opendocument:xmlns:text:1.0|"
#define ODF_DRAW "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0|"
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

// The most text the copies of one repeated row may carry.
constexpr std::size_t kMaxRepeatedBytes = 256u << 20;

constexpr std::string_view kDocument = ODF_OFFICE "document";
constexpr std::string_view kSpreadsheetType = "application/vnd.oasis.opendocument.spreadsheet";

// A repeat count: at least 1, and never more than is needed to pass the
// largest sheet, so that sums of counts cannot overflow.
long long repeatCount(const char** attributes, std::string_view name) {
    const char* value = FindAttribute(attributes, name);
    if (!value) return 1;
    const std::string_view text = value;
    long long n = 1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error == std::errc::result_out_of_range) return kMaxSheetRows + 1LL;
    if (error != std::errc{} || n < 1) return 1;
    return std::min(n, kMaxSheetRows + 1LL);
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
    // content.xml of a zipped document
    OdsReader(const WorkbookFile& workbook, int columnLimit, std::size_t sheet)
        : file_(workbook.path()), columnLimit_(columnLimit), sheet_(sheet) {
        const std::filesystem::path& file = file_;
        archive_.emplace(workbook);
        if (auto manifest = archive_->readAll("META-INF/manifest.xml", 16u << 20);
            manifest && manifest->find("encryption-data") != std::string::npos)
            throw WorkbookError(file, kEncryptedWorkbook);
        auto entry = archive_->open("content.xml");
        if (!entry)
            throw WorkbookError(file, std::string(kDamagedFile) + " Brak części „content.xml”.");
        content_.emplace(std::move(*entry));
        parser_.emplace(
            static_cast<XmlHandler&>(*this),
            [this](char* buffer, std::size_t size) { return content_->read(buffer, size); }, file,
            "content.xml");
    }

    // a flat XML document
    struct Flat {};
    OdsReader(WorkbookFile workbook, int columnLimit, std::size_t sheet, Flat)
        : file_(workbook.path()), columnLimit_(columnLimit), sheet_(sheet),
          flat_(std::move(workbook)) {
        parser_.emplace(
            static_cast<XmlHandler&>(*this),
            [this](char* buffer, std::size_t size) { return flat_->read(buffer, size); }, file_,
            file_.filename().string());
    }

    // The names come from a pass of their own over the content: the tables
    // follow one another in it, and only the one being read is parsed here.
    std::vector<std::string> sheetNames() override {
        SheetNamesHandler names;
        if (archive_) {
            ParseZipPart(*archive_, "content.xml", names, true);
        } else {
            WorkbookFile again(file_);
            XmlStreamParser parser(
                names, [&](char* buffer, std::size_t size) { return again.read(buffer, size); },
                file_, file_.filename().string());
            parser.parseAll();
        }
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
            queue_.throwIfDrained();
            if (finished_ || (!queue_.parse([this] { return parser_->parseChunk(); }) &&
                              queue_.empty() && repeatsLeft_ == 0))
                return false;
        }
        queue_.take(row);
        return true;
    }

private:
    void startElement(std::string_view name, const char** attributes) override {
        if (finished_) return;
        if (hiddenDepth_ > 0) {
            ++hiddenDepth_;
            return;
        }
        if (name == kDocument) {
            // A flat document names its kind on its root element.
            const char* type = FindAttribute(attributes, ODF_OFFICE "mimetype");
            if (type && !std::string_view(type).starts_with(kSpreadsheetType))
                throw WorkbookError(file_,
                                    "to dokument OpenDocument, ale nie arkusz kalkulacyjny.");
        } else if (name == kSpreadsheet) {
            inSpreadsheet_ = true;
        } else if (name == kTable && inSpreadsheet_) {
            if (tableDepth_++ == 0) reading_ = tablesSeen_++ == sheet_;
        } else if (tableDepth_ != 1 || !reading_) {
            return; // outside the sheet read, or inside a table within a cell
        } else if (name == kRow) {
            if (inCell_) { // a row inside a cell: no program writes that
                stop("Wiersz arkusza zapisano wewnątrz komórki.");
                return;
            }
            rowRepeat_ = repeatCount(attributes, ODF_TABLE "number-rows-repeated");
            row_ =
                &queue_.start(static_cast<int>(std::min<long long>(rowNumber_ + 1, kMaxSheetRows)));
            rowHasValue_ = rowTooWide_ = false;
            column_ = 0;
        } else if ((name == kCell || name == kCoveredCell) && row_) {
            startCell(attributes);
        } else if (!inCell_) {
            return;
        } else if (name == kAnnotation || name.starts_with(ODF_DRAW)) {
            // A comment, or a shape anchored to the cell (a text box, a
            // picture): their paragraphs are not the cell's text.
            hiddenDepth_ = 1;
        } else if (name == kParagraph) {
            if (paragraphs_++ > 0) appendText("\n");
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
        if (hiddenDepth_ > 0) {
            --hiddenDepth_;
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
        } else if ((name == kCell || name == kCoveredCell) && inCell_ && row_) {
            endCell();
        } else if (name == kRow && row_) {
            endRow();
        }
    }

    // Whitespace inside a paragraph collapses to one blank and is dropped at
    // the paragraph's start; real runs of blanks are written as <text:s>.
    void characters(std::string_view text) override {
        if (!inCell_ || hiddenDepth_ > 0 || paragraphs_ == 0) return;
        const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
        std::size_t i = 0;
        while (i < text.size()) {
            if (blank(text[i])) {
                if (!paragraphStart_) blankPending_ = true;
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < text.size() && !blank(text[end]))
                ++end;
            if (blankPending_) appendText(" ");
            blankPending_ = paragraphStart_ = false;
            appendText(text.substr(i, end - i));
            i = end;
        }
    }

    // Characters given by elements (<text:s>, <text:tab>, <text:line-break>)
    // never collapse; a blank collapsed before them still counts once.
    void appendLiteral(std::string_view text) {
        if (blankPending_) appendText(" ");
        appendText(text);
        paragraphStart_ = blankPending_ = false;
    }

    void appendText(std::string_view text) {
        if (appendCellBytes(text_, text)) textCut_ = true;
    }

    void startCell(const char** attributes) {
        inCell_ = true;
        columnRepeat_ = repeatCount(attributes, ODF_TABLE "number-columns-repeated");
        columnRepeat_ = std::min(columnRepeat_, kMaxSheetColumns + 1LL);
        text_.clear();
        textCut_ = false;
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
        if (cell_.kind == CellKind::Text && (cutToCellLength(cell_.text) || textCut_))
            cell_.problem = CellProblem::TextCut;
        // Programs pad rows with empty cells up to the last column they
        // know, which may be past the usual sheet; a value there is not
        // padding.
        if (cell_.kind != CellKind::Empty && column_ + columnRepeat_ > kMaxSheetColumns)
            rowTooWide_ = true;
        if (cell_.kind != CellKind::Empty && column_ < columnLimit_) {
            const long long last = std::min<long long>(column_ + columnRepeat_, columnLimit_);
            for (long long c = column_; c < last; ++c)
                CellAt(*row_, static_cast<int>(c)) = cell_;
            rowHasValue_ = true;
        }
        column_ = std::min(column_ + columnRepeat_, kMaxSheetColumns + 1LL);
    }

    void endRow() {
        SheetRow& row = *row_;
        row_ = nullptr;
        if (rowTooWide_) {
            stop(kTooManyColumns);
            return;
        }
        // Empty rows repeated to the end of a sheet larger than the usual one
        // cost nothing. Copies of a row with values count as rows: those up
        // to the last row of a sheet are handed out, the next one is damage.
        if (rowHasValue_ && rowNumber_ >= kMaxSheetRows) {
            stop(kTooManyRows);
            return;
        }
        if (rowHasValue_) {
            // Copies of a repeated row are made one by one as they are asked
            // for: the parser waits meanwhile, so a row repeated a million
            // times costs the memory of one. The copies' texts count too, so
            // that long texts repeated to the end of a sheet cost no more
            // than a large sheet does.
            long long copies = std::min(rowRepeat_ - 1, kMaxSheetRows - rowNumber_ - 1);
            if (copies > 0) {
                std::size_t bytes = 1;
                for (const CellValue& cell : row.cells)
                    bytes += cell.text.size();
                copies = std::min(copies, static_cast<long long>(kMaxRepeatedBytes / bytes));
                repeatCells_ = row.cells;
            }
            queue_.commit();
            if (copies > 0) {
                repeatNumber_ = static_cast<int>(rowNumber_) + 2;
                repeatsLeft_ = copies;
                parser_->suspend();
            }
            if (copies < rowRepeat_ - 1) {
                stop(rowNumber_ + rowRepeat_ > kMaxSheetRows
                         ? kTooManyRows
                         : "Wiersz z długimi tekstami powtórzono zbyt wiele razy.");
                return;
            }
        }
        rowNumber_ = std::min(rowNumber_ + rowRepeat_, kMaxSheetRows + 1LL);
    }

    // Damage: the rows before it are handed out, then it is reported.
    void stop(const char* what) {
        queue_.fail(WorkbookError(file_, std::string(kDamagedFile) + " " + what));
        finished_ = true;
        parser_->suspend();
    }

    std::filesystem::path file_;
    int columnLimit_;
    std::size_t sheet_;
    std::optional<ZipArchive> archive_;
    std::optional<ZipArchive::Entry> content_;
    std::optional<WorkbookFile> flat_;
    std::optional<XmlStreamParser> parser_;
    RowQueue queue_;

    bool inSpreadsheet_ = false, finished_ = false, reading_ = false;
    int tableDepth_ = 0, hiddenDepth_ = 0;
    std::size_t tablesSeen_ = 0;
    SheetRow* row_ = nullptr;
    long long rowNumber_ = 0; // rows before the current one
    long long rowRepeat_ = 1, columnRepeat_ = 1, column_ = 0;
    bool rowHasValue_ = false, rowTooWide_ = false;
    std::vector<CellValue> repeatCells_;
    int repeatNumber_ = 0;
    long long repeatsLeft_ = 0;

    bool inCell_ = false, isError_ = false, hasType_ = false, hasFormula_ = false;
    CellValue cell_;
    std::optional<std::string> stringValue_;
    std::string text_;
    bool textCut_ = false;
    int paragraphs_ = 0;
    bool blankPending_ = false, paragraphStart_ = false;
};

} // namespace

std::unique_ptr<WorkbookReader> OpenOdsReader(WorkbookFile file, int columnLimit,
                                              std::size_t sheet) {
    return std::make_unique<OdsReader>(std::as_const(file), columnLimit, sheet);
}

std::unique_ptr<WorkbookReader> OpenFlatOdsReader(WorkbookFile file, int columnLimit,
                                                  std::size_t sheet) {
    return std::make_unique<OdsReader>(std::move(file), columnLimit, sheet, OdsReader::Flat{});
}

} // namespace xls2qdp
