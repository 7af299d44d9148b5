// SPDX-License-Identifier: MIT
#include "OdsReader.h"

#include "CellLimits.h"
#include "IsoDateTime.h"
#include "RowQueue.h"
#include "SimpleXmlScanner.h"
#include "XmlStreamParser.h"
#include "ZipArchive.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <utility>

namespace xls2qdp {

namespace {

// The namespaces of content.xml, resolved from the prefixes as written: the
// quick scanner does no namespace processing, and expat's costs a third of
// its parse.
enum : int { kOffice, kTable, kText, kDrawing, kCalcExt };

XmlNamespaces odfNamespaces() {
    return XmlNamespaces({
        {"urn:oasis:names:tc:opendocument:xmlns:office:1.0", kOffice},
        {"urn:oasis:names:tc:opendocument:xmlns:table:1.0", kTable},
        {"urn:oasis:names:tc:opendocument:xmlns:text:1.0", kText},
        {"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0", kDrawing},
        {"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0", kCalcExt},
    });
}

bool is(const XmlNamespaces::Name& name, int ns, std::string_view local) {
    return name.ns == ns && name.local == local;
}

// The most text the copies of one repeated row may carry.
constexpr std::size_t kMaxRepeatedBytes = 256u << 20;

constexpr std::string_view kSpreadsheetType = "application/vnd.oasis.opendocument.spreadsheet";

// A repeat count (an attribute's value, or nullptr): at least 1, and never
// more than is needed to pass the largest sheet, so that sums of counts
// cannot overflow.
long long repeatCount(const char* value) {
    if (!value) return 1;
    const std::string_view text = value;
    long long n = 1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error == std::errc::result_out_of_range) return kMaxSheetRows + 1LL;
    if (error != std::errc{} || n < 1) return 1;
    return std::min(n, kMaxSheetRows + 1LL);
}

// Element names and attributes of content.xml with the prefixes resolved,
// refusing what namespace processing refuses.
class OdfNames {
public:
    void setParser(const XmlPartParser& parser) { parser_ = &parser; }

    XmlNamespaces::Name enter(std::string_view name, const char** attributes) {
        if (auto problem = namespaces_.enter(attributes)) parser_->refuse(*problem);
        XmlNamespaces::Name split{};
        if (auto problem = namespaces_.checkedName(name, split)) parser_->refuse(*problem);
        return split;
    }
    // The end tag of an element entered: its declarations are still in scope.
    XmlNamespaces::Name ending(std::string_view name) {
        XmlNamespaces::Name split{};
        namespaces_.checkedName(name, split);
        return split;
    }
    void leave() { namespaces_.leave(); }

    const char* attribute(const char** attributes, int ns, std::string_view local) {
        const XmlNamespaces::Wanted wanted[] = {{ns, local}};
        const char* value = nullptr;
        this->attributes(attributes, wanted, std::span(&value, 1));
        return value;
    }
    void attributes(const char** attributes, std::span<const XmlNamespaces::Wanted> wanted,
                    std::span<const char*> values) {
        if (auto problem = namespaces_.attributes(attributes, wanted, values))
            parser_->refuse(*problem);
    }

private:
    const XmlPartParser* parser_ = nullptr;
    XmlNamespaces namespaces_ = odfNamespaces();
};

// Collects the names of the top-level tables of content.xml.
class SheetNamesHandler : public XmlHandler {
public:
    std::vector<std::string> names;
    OdfNames odf;

    void startElement(std::string_view name, const char** attributes) override {
        if (!is(odf.enter(name, attributes), kTable, "table")) return;
        if (depth_++ == 0) {
            const char* tab = odf.attribute(attributes, kTable, "name");
            names.emplace_back(tab ? tab : "");
        }
    }
    void endElement(std::string_view name) override {
        if (is(odf.ending(name), kTable, "table")) --depth_;
        odf.leave();
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
        parser_ = openContent(static_cast<XmlHandler&>(*this), content_);
        names_.setParser(*parser_);
    }

    // a flat XML document
    struct Flat {};
    OdsReader(WorkbookFile workbook, int columnLimit, std::size_t sheet, Flat)
        : file_(workbook.path()), columnLimit_(columnLimit), sheet_(sheet),
          flat_(std::move(workbook)) {
        parser_ = std::make_unique<XmlStreamParser>(
            static_cast<XmlHandler&>(*this),
            [this](char* buffer, std::size_t size) { return flat_->read(buffer, size); }, file_,
            file_.filename().string(), false);
        names_.setParser(*parser_);
    }

    // The names come from a pass of their own over the content: the tables
    // follow one another in it, and only the one being read is parsed here.
    std::vector<std::string> sheetNames() override {
        SheetNamesHandler names;
        std::optional<ZipArchive::Entry> entry;
        std::optional<WorkbookFile> again;
        std::unique_ptr<XmlPartParser> parser;
        if (archive_) {
            parser = openContent(names, entry);
        } else {
            again.emplace(file_);
            parser = std::make_unique<XmlStreamParser>(
                names, [&](char* buffer, std::size_t size) { return again->read(buffer, size); },
                file_, file_.filename().string(), false);
        }
        names.odf.setParser(*parser);
        parser->parseAll();
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
    // content.xml as spreadsheet programs write it, plain UTF-8 without a
    // document type declaration, goes through the quick scanner (several
    // times expat's speed on a part of a few hundred megabytes); anything
    // else through expat. entry holds the part while it is parsed.
    std::unique_ptr<XmlPartParser> openContent(XmlHandler& handler,
                                               std::optional<ZipArchive::Entry>& entry) {
        bool quick = false;
        {
            auto head = archive_->open("content.xml");
            if (!head)
                throw WorkbookError(file_,
                                    std::string(kDamagedFile) + " Brak części „content.xml”.");
            std::string bytes(1024, '\0');
            std::size_t n = 0;
            while (n < bytes.size()) {
                const std::size_t got = head->read(bytes.data() + n, bytes.size() - n);
                if (got == 0) break;
                n += got;
            }
            bytes.resize(n);
            quick = IsPlainUtf8Xml(bytes) && bytes.find("<!DOCTYPE") == std::string::npos;
        }
        entry.emplace(*archive_->open("content.xml"));
        XmlStreamParser::Source source = [&entry](char* buffer, std::size_t size) {
            return entry->read(buffer, size);
        };
        if (quick)
            return std::make_unique<SimpleXmlScanner>(handler, std::move(source), file_,
                                                      "content.xml");
        return std::make_unique<XmlStreamParser>(handler, std::move(source), file_, "content.xml",
                                                 false);
    }

    void startElement(std::string_view qualified, const char** attributes) override {
        if (finished_) return;
        const XmlNamespaces::Name name = names_.enter(qualified, attributes);
        if (hiddenDepth_ > 0) {
            ++hiddenDepth_;
            return;
        }
        if (is(name, kOffice, "document")) {
            // A flat document names its kind on its root element.
            const char* type = names_.attribute(attributes, kOffice, "mimetype");
            if (type && !std::string_view(type).starts_with(kSpreadsheetType))
                throw WorkbookError(file_,
                                    "to dokument OpenDocument, ale nie arkusz kalkulacyjny.");
        } else if (is(name, kOffice, "spreadsheet")) {
            inSpreadsheet_ = true;
        } else if (is(name, kTable, "table") && inSpreadsheet_) {
            if (tableDepth_++ == 0) reading_ = tablesSeen_++ == sheet_;
        } else if (tableDepth_ != 1 || !reading_) {
            return; // outside the sheet read, or inside a table within a cell
        } else if (is(name, kTable, "table-row")) {
            if (inCell_) { // a row inside a cell: no program writes that
                stop("Wiersz arkusza zapisano wewnątrz komórki.");
                return;
            }
            rowRepeat_ = repeatCount(names_.attribute(attributes, kTable, "number-rows-repeated"));
            row_ =
                &queue_.start(static_cast<int>(std::min<long long>(rowNumber_ + 1, kMaxSheetRows)));
            rowHasValue_ = rowTooWide_ = false;
            column_ = 0;
        } else if (isCell(name) && row_) {
            startCell(attributes);
        } else if (!inCell_) {
            return;
        } else if (is(name, kOffice, "annotation") || name.ns == kDrawing) {
            // A comment, or a shape anchored to the cell (a text box, a
            // picture): their paragraphs are not the cell's text.
            hiddenDepth_ = 1;
        } else if (is(name, kText, "p")) {
            if (paragraphs_++ > 0) appendText("\n");
            blankPending_ = false;
            paragraphStart_ = true;
        } else if (is(name, kText, "s")) {
            const long long n = repeatCount(names_.attribute(attributes, kText, "c"));
            appendLiteral(std::string(static_cast<std::size_t>(std::min(n, 1000LL)), ' '));
        } else if (is(name, kText, "tab")) {
            appendLiteral("\t");
        } else if (is(name, kText, "line-break")) {
            appendLiteral("\n");
        }
    }

    void endElement(std::string_view qualified) override {
        if (finished_) return;
        end(names_.ending(qualified));
        names_.leave();
    }

    static bool isCell(const XmlNamespaces::Name& name) {
        return is(name, kTable, "table-cell") || is(name, kTable, "covered-table-cell");
    }

    void end(const XmlNamespaces::Name& name) {
        if (hiddenDepth_ > 0) {
            --hiddenDepth_;
            return;
        }
        if (is(name, kTable, "table") && inSpreadsheet_) {
            if (--tableDepth_ == 0 && reading_) finished_ = true; // only one sheet is read
        } else if (tableDepth_ != 1 || !reading_) {
            return;
        } else if (is(name, kText, "p") && inCell_) {
            // Only blanks at the start of a paragraph are dropped; one at its end stays.
            if (blankPending_) text_ += ' ';
            blankPending_ = false;
        } else if (isCell(name) && inCell_ && row_) {
            endCell();
        } else if (is(name, kTable, "table-row") && row_) {
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

    // The attributes a cell may have that tell its value, found in one pass.
    enum CellAttribute {
        kColumnsRepeated,
        kValueType,
        kExtValueType,
        kFormula,
        kValue,
        kDateValue,
        kTimeValue,
        kBooleanValue,
        kStringValue,
        kCellAttributes
    };
    static constexpr XmlNamespaces::Wanted kCellWanted[kCellAttributes] = {
        {kTable, "number-columns-repeated"},
        {kOffice, "value-type"},
        {kCalcExt, "value-type"},
        {kTable, "formula"},
        {kOffice, "value"},
        {kOffice, "date-value"},
        {kOffice, "time-value"},
        {kOffice, "boolean-value"},
        {kOffice, "string-value"},
    };

    void startCell(const char** attributes) {
        const char* found[kCellAttributes];
        names_.attributes(attributes, kCellWanted, found);
        inCell_ = true;
        columnRepeat_ = repeatCount(found[kColumnsRepeated]);
        columnRepeat_ = std::min(columnRepeat_, kMaxSheetColumns + 1LL);
        text_.clear();
        textCut_ = false;
        paragraphs_ = 0;
        blankPending_ = paragraphStart_ = false;
        cell_.clear();
        const char* type = found[kValueType];
        const char* extType = found[kExtValueType];
        isError_ = extType && std::string_view(extType) == "error";
        stringValue_.reset();
        hasType_ = type != nullptr;
        hasFormula_ = found[kFormula] != nullptr;
        if (!type || isError_) return;
        const std::string_view kind = type;
        if (kind == "float" || kind == "percentage" || kind == "currency") {
            if (const char* value = found[kValue]) {
                double number = 0;
                std::string_view v = value;
                if (!v.empty() && v.front() == '+') v.remove_prefix(1);
                const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), number);
                if (error == std::errc{}) cell_.setNumber(number);
            }
        } else if (kind == "date") {
            if (const char* value = found[kDateValue])
                if (auto days = ParseIsoDateTime(value)) cell_.setNumber(*days, CellKind::DateTime);
        } else if (kind == "time") {
            if (const char* value = found[kTimeValue])
                if (auto days = ParseIsoDuration(value)) cell_.setNumber(*days, CellKind::DateTime);
        } else if (kind == "boolean") {
            if (const char* value = found[kBooleanValue]) {
                const std::string_view b = value;
                cell_.setNumber(b == "true" || b == "1" ? 1 : 0, CellKind::Boolean);
            }
        } else if (kind == "string") {
            if (const char* value = found[kStringValue]) stringValue_ = value;
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
    std::unique_ptr<XmlPartParser> parser_;
    OdfNames names_;
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
