// SPDX-License-Identifier: MIT
#include "XlsxReader.h"

#include "CellLimits.h"
#include "IsoDateTime.h"
#include "NumberFormat.h"
#include "RowQueue.h"
#include "SharedStringTable.h"
#include "SimpleXmlScanner.h"
#include "XlsxQuickScan.h"
#include "XmlNamespaces.h"
#include "XmlStreamParser.h"
#include "ZipArchive.h"
#include "common/TextEncoding.h"

#include <charconv>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace xls2qdp {

namespace {

// The parts are parsed without namespace processing: names come as written,
// mostly without a prefix ("row"), sometimes with one ("x:row", "r:id").
const char* attributeByLocalName(const char** attributes, std::string_view local) {
    for (const char** a = attributes; *a; a += 2)
        if (localName(*a) == local) return a[1];
    return nullptr;
}

enum : int { kSpreadsheetMl, kMarkupCompatibility };

// Hands on the elements of SpreadsheetML itself (or of no namespace, as some
// hand-made files have them) by their local names. Elements of other
// namespaces are left out: extensions reuse names, e.g. a second
// "x15:workbookPr" without the date system follows the real one. Of an
// alternate-content block, the choice made for programs that know some
// extension (mc:Choice) is skipped and the fallback read, as for any program
// that knows none.
class SpreadsheetMlHandler : public XmlHandler {
protected:
    virtual void start(std::string_view local, const char** attributes) = 0;
    virtual void end(std::string_view local) = 0;
    virtual void text(std::string_view) {}

    // Whether an element of this name, started here, would reach start():
    // the prefix is bound to SpreadsheetML (or to nothing) and no skipped
    // block is open.
    bool reaches(std::string_view name) { return skipDepth_ == 0 && ours(name); }

private:
    bool ours(std::string_view name) {
        const int ns = namespaces_.namespaceOf(name);
        return ns == kSpreadsheetMl || ns == XmlNamespaces::kNone;
    }
    void startElement(std::string_view name, const char** attributes) final {
        namespaces_.enter(attributes);
        if (skipDepth_ > 0) {
            ++skipDepth_;
        } else if (ours(name)) {
            start(localName(name), attributes);
        } else if (namespaces_.namespaceOf(name) == kMarkupCompatibility &&
                   localName(name) == "Choice") {
            skipDepth_ = 1;
        }
    }
    void endElement(std::string_view name) final {
        if (skipDepth_ > 0)
            --skipDepth_;
        else if (ours(name))
            end(localName(name));
        namespaces_.leave();
    }
    void characters(std::string_view data) final {
        if (skipDepth_ == 0) text(data);
    }

    XmlNamespaces namespaces_{
        {{"http://schemas.openxmlformats.org/spreadsheetml/2006/main", kSpreadsheetMl},
         {"http://purl.oclc.org/ooxml/spreadsheetml/main", kSpreadsheetMl},
         {"http://schemas.openxmlformats.org/markup-compatibility/2006", kMarkupCompatibility}}};
    int skipDepth_ = 0;
};

// Strings in these files escape characters XML cannot carry as _xHHHH_.
void appendUnescaped(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = text.find("_x"); i != std::string_view::npos; i = text.find("_x", i)) {
        if (i + 7 <= text.size() && text[i + 6] == '_') {
            unsigned code = 0;
            const auto [end, error] =
                std::from_chars(text.data() + i + 2, text.data() + i + 6, code, 16);
            if (error == std::errc{} && end == text.data() + i + 6) {
                out.append(text, start, i - start);
                appendUtf8(out, code);
                i += 7;
                start = i;
                continue;
            }
        }
        i += 2;
    }
    out.append(text, start);
}

bool parseNumber(std::string_view text, double& value) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && !text.empty();
}

// "xl/workbook.xml" + "worksheets/sheet1.xml" -> "xl/worksheets/sheet1.xml"
std::string resolvePart(const std::string& sourcePart, std::string_view target) {
    std::vector<std::string> parts;
    std::string_view rest = target;
    if (!rest.empty() && rest.front() == '/') {
        rest.remove_prefix(1);
    } else {
        std::string_view base = sourcePart;
        const std::size_t slash = base.rfind('/');
        base = slash == std::string_view::npos ? std::string_view{} : base.substr(0, slash);
        while (!base.empty()) {
            const std::size_t s = base.find('/');
            parts.emplace_back(base.substr(0, s));
            base = s == std::string_view::npos ? std::string_view{} : base.substr(s + 1);
        }
    }
    while (!rest.empty()) {
        const std::size_t s = rest.find('/');
        const std::string_view piece = rest.substr(0, s);
        if (piece == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.emplace_back(piece);
        }
        rest = s == std::string_view::npos ? std::string_view{} : rest.substr(s + 1);
    }
    std::string path;
    for (const auto& p : parts)
        path += (path.empty() ? "" : "/") + p;
    return path;
}

std::string relsPartOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    if (slash == std::string::npos) return "_rels/" + part + ".rels";
    return part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

struct Relationship {
    std::string type, target;
};

class RelationshipsHandler : public XmlHandler {
public:
    std::map<std::string, Relationship> byId;
    void startElement(std::string_view name, const char** attributes) override {
        if (localName(name) != "Relationship") return;
        const char* id = FindAttribute(attributes, "Id");
        const char* type = FindAttribute(attributes, "Type");
        const char* target = FindAttribute(attributes, "Target");
        const char* mode = FindAttribute(attributes, "TargetMode");
        if (id && type && target && !(mode && std::string_view(mode) == "External"))
            byId[id] = {type, target};
    }
    void endElement(std::string_view) override {}
    void characters(std::string_view) override {}
};

class WorkbookHandler : public SpreadsheetMlHandler {
public:
    bool date1904 = false;
    std::vector<std::string> sheetIds;   // relationship ids in sheet order
    std::vector<std::string> sheetNames; // the tabs' names, in the same order
    void start(std::string_view local, const char** attributes) override {
        if (local == "workbookPr") {
            const char* value = FindAttribute(attributes, "date1904");
            date1904 =
                value && (std::string_view(value) == "1" || std::string_view(value) == "true");
        } else if (local == "sheet") {
            if (const char* id = attributeByLocalName(attributes, "id")) {
                sheetIds.emplace_back(id);
                const char* tab = FindAttribute(attributes, "name");
                std::string text;
                if (tab) appendUnescaped(text, tab);
                sheetNames.push_back(std::move(text));
            }
        }
    }
    void end(std::string_view) override {}
};

class StylesHandler : public SpreadsheetMlHandler {
public:
    std::vector<NumberFormatKind> cellFormats; // by cell style (xf) index
    void start(std::string_view local, const char** attributes) override {
        if (local == "numFmts") {
            inNumFmts_ = true;
        } else if (local == "numFmt" && inNumFmts_) { // not those of differential formats
            const char* id = FindAttribute(attributes, "numFmtId");
            const char* code = FindAttribute(attributes, "formatCode");
            if (id && code) customFormats_[std::atoi(id)] = NumberFormatCodeKind(code);
        } else if (local == "cellXfs") {
            inCellXfs_ = true;
        } else if (local == "xf" && inCellXfs_) {
            const char* id = FindAttribute(attributes, "numFmtId");
            const int format = id ? std::atoi(id) : 0;
            const auto custom = customFormats_.find(format);
            cellFormats.push_back(custom != customFormats_.end() ? custom->second
                                                                 : BuiltInNumberFormatKind(format));
        }
    }
    void end(std::string_view local) override {
        if (local == "cellXfs") inCellXfs_ = false;
        if (local == "numFmts") inNumFmts_ = false;
    }

private:
    std::map<int, NumberFormatKind> customFormats_;
    bool inCellXfs_ = false, inNumFmts_ = false;
};

// What a quick scan that took nothing asks of the scanner.
std::size_t notTaken(RowScan scan) {
    return scan == RowScan::Incomplete ? XmlElementShortcut::kNeedMore : XmlElementShortcut::kLeave;
}

// Text of <si> items: the <t> elements, outside phonetic runs (<rPh>).
class SharedStringsHandler : public SpreadsheetMlHandler, public XmlElementShortcut {
public:
    SharedStringTable strings;

    // An item of one plain <t> taken whole (XlsxQuickScan.h), with the steps
    // its elements would take.
    std::size_t element(std::string_view input) override {
        if (input.size() < 3 || input.compare(1, 2, "si") != 0) return kLeave;
        if (inItem_ || inText_ || phoneticDepth_ != 0 || !reaches("si")) return kLeave;
        std::string_view text;
        std::size_t length = 0;
        const RowScan scan = ScanSharedString(input, text, length);
        if (scan != RowScan::Done) return notTaken(scan);
        current_.clear();
        if (appendCellBytes(current_, text)) currentCut_ = true;
        endItem();
        return length;
    }
    void start(std::string_view local, const char** attributes) override {
        if (local == "si") {
            current_.clear();
            inItem_ = true;
        } else if (local == "t" && inItem_ && phoneticDepth_ == 0) {
            inText_ = true;
        } else if (local == "rPh") {
            ++phoneticDepth_;
        } else if (local == "sst") {
            if (const char* count = FindAttribute(attributes, "uniqueCount"))
                strings.reserve(std::min<std::size_t>(std::strtoul(count, nullptr, 10), 1u << 22),
                                0);
        }
    }
    void end(std::string_view local) override {
        if (local == "t") {
            inText_ = false;
        } else if (local == "rPh") {
            --phoneticDepth_;
        } else if (local == "si") {
            endItem();
        }
    }

    void endItem() {
        text_.clear();
        appendUnescaped(text_, current_);
        const bool cut = cutToCellLength(text_) || currentCut_;
        strings.add(text_, cut);
        currentCut_ = inItem_ = false;
    }
    void text(std::string_view data) override {
        if (inText_ && appendCellBytes(current_, data)) currentCut_ = true;
    }

private:
    std::string current_, text_;
    bool currentCut_ = false;
    bool inItem_ = false, inText_ = false;
    int phoneticDepth_ = 0;
};

class XlsxReader : public WorkbookReader, private SpreadsheetMlHandler, private XmlElementShortcut {
public:
    XlsxReader(const WorkbookFile& workbookFile, int columnLimit, std::size_t sheet, XlsxPath scan)
        : archive_(workbookFile), columnLimit_(columnLimit), scan_(scan) {
        const std::filesystem::path& file = workbookFile.path();
        const std::string workbookPart = findWorkbookPart();
        WorkbookHandler workbook;
        if (!ParseZipPart(archive_, workbookPart, workbook, false)) throw missingPart(workbookPart);
        date1904_ = workbook.date1904;

        RelationshipsHandler rels;
        ParseZipPart(archive_, relsPartOf(workbookPart), rels, false);
        std::string sheetPart, stylesPart, stringsPart;
        for (std::size_t i = 0; i < workbook.sheetIds.size(); ++i) {
            const auto it = rels.byId.find(workbook.sheetIds[i]);
            if (it == rels.byId.end() || !it->second.type.ends_with("/worksheet")) continue;
            if (sheetNames_.size() == sheet)
                sheetPart = resolvePart(workbookPart, it->second.target);
            sheetNames_.push_back(workbook.sheetNames[i]);
        }
        for (const auto& [id, rel] : rels.byId) {
            if (rel.type.ends_with("/styles")) stylesPart = resolvePart(workbookPart, rel.target);
            if (rel.type.ends_with("/sharedStrings"))
                stringsPart = resolvePart(workbookPart, rel.target);
        }
        if (sheetNames_.empty()) throw WorkbookError(file, kNoWorksheet);
        if (sheetPart.empty()) throw WorkbookError(file, kNoSuchWorksheet);

        StylesHandler styles;
        if (!stylesPart.empty()) ParseZipPart(archive_, stylesPart, styles, false);
        cellFormats_ = std::move(styles.cellFormats);
        SharedStringsHandler strings;
        // The characters take less room than their XML; pages reserved and
        // never touched cost no memory.
        strings.strings.reserve(0, archive_.unpackedSize(stringsPart));
        if (!stringsPart.empty()) readSharedStrings(stringsPart, strings);
        sharedStrings_ = std::move(strings.strings);

        // The sheet is by far the largest part: plain UTF-8, as every writer
        // makes it, goes through the quick scanner, anything else through expat.
        const bool plainUtf8 = isPlainUtf8(sheetPart);
        sheetEntry_.emplace(openPart(sheetPart));
        XmlStreamParser::Source source = [this](char* buffer, std::size_t size) {
            return sheetEntry_->read(buffer, size);
        };
        if (plainUtf8)
            sheetScanner_.emplace(
                static_cast<XmlHandler&>(*this), std::move(source), file, sheetPart,
                scan == XlsxPath::Quick ? static_cast<XmlElementShortcut*>(this) : nullptr);
        else
            sheetParser_.emplace(static_cast<XmlHandler&>(*this), std::move(source), file,
                                 sheetPart, false);
    }

    std::vector<std::string> sheetNames() override { return sheetNames_; }

    bool nextRow(SheetRow& row) override {
        while (queue_.empty()) {
            queue_.throwIfDrained();
            const bool more = queue_.parse([this] {
                return sheetScanner_ ? sheetScanner_->parseChunk() : sheetParser_->parseChunk();
            });
            if (!more && queue_.empty()) return false;
        }
        queue_.take(row);
        return true;
    }

private:
    WorkbookError damaged(const std::string& what) const {
        return WorkbookError(archive_.path(), std::string(kDamagedFile) + " " + what);
    }

    WorkbookError missingPart(const std::string& part) const {
        return WorkbookError(archive_.path(),
                             std::string(kDamagedFile) + " Brak części „" + part + "”.");
    }

    void readSharedStrings(const std::string& part, SharedStringsHandler& strings) {
        try {
            if (isPlainUtf8(part)) {
                auto entry = openPart(part);
                SimpleXmlScanner scanner(
                    strings,
                    [&](char* buffer, std::size_t size) { return entry.read(buffer, size); },
                    archive_.path(), part, scan_ == XlsxPath::Quick ? &strings : nullptr);
                while (scanner.parseChunk()) {
                }
            } else {
                ParseZipPart(archive_, part, strings, false);
            }
        } catch (const std::length_error&) {
            throw WorkbookError(archive_.path(), kTooManySharedStrings);
        }
    }

    ZipArchive::Entry openPart(const std::string& part) {
        auto entry = archive_.open(part);
        if (!entry) throw missingPart(part);
        return std::move(*entry);
    }

    // No byte order mark of UTF-16 and no declared encoding but UTF-8.
    bool isPlainUtf8(const std::string& part) {
        auto entry = openPart(part);
        char head[256];
        std::size_t n = 0;
        while (n < sizeof head) {
            const std::size_t got = entry.read(head + n, sizeof head - n);
            if (got == 0) break;
            n += got;
        }
        return IsPlainUtf8Xml(std::string_view(head, n));
    }

    std::string findWorkbookPart() {
        RelationshipsHandler root;
        ParseZipPart(archive_, "_rels/.rels", root, false);
        for (const auto& [id, rel] : root.byId)
            if (rel.type.ends_with("/officeDocument")) return resolvePart("", rel.target);
        return "xl/workbook.xml";
    }

    // --- the worksheet, streamed ---
    static std::optional<std::string_view> attribute(const char** attributes,
                                                     std::string_view name) {
        const char* value = FindAttribute(attributes, name);
        return value ? std::optional<std::string_view>(value) : std::nullopt;
    }

    void start(std::string_view local, const char** attributes) override {
        if (queue_.failed()) return;
        if (local == "c") {
            const char* style = FindAttribute(attributes, "s");
            startCell(attribute(attributes, "r"), attribute(attributes, "t"),
                      style ? std::atoi(style) : 0);
        } else if (local == "f") {
            hasFormula_ = keep_;
        } else if (local == "v") {
            inValue_ = keep_;
        } else if (local == "is") {
            inInline_ = keep_;
        } else if (local == "t") {
            inInlineText_ = inInline_ && phoneticDepth_ == 0;
        } else if (local == "rPh") {
            ++phoneticDepth_;
        } else if (local == "row") {
            startRow(attribute(attributes, "r"));
        }
    }

    // A plain row taken whole (XlsxQuickScan.h): the same steps as its
    // elements one by one would take, without the events.
    std::size_t element(std::string_view input) override {
        if (input.size() < 4 || input.compare(1, 3, "row") != 0) return kLeave;
        if (queue_.failed() || row_ || phoneticDepth_ != 0 || !reaches("row")) return kLeave;
        std::size_t length = 0;
        const RowScan scan = ScanWorksheetRow(input, scannedRow_, length);
        if (scan != RowScan::Done) return notTaken(scan);
        startRow(scannedRow_.number);
        if (queue_.failed()) return length;
        for (const ScannedCell& cell : scannedRow_.cells) {
            startCell(cell.ref, cell.type, cell.style.value_or(0));
            if (cell.hasFormula) hasFormula_ = keep_;
            if (cell.hasValue) {
                if (keep_ && appendCellBytes(value_, cell.value)) valueCut_ = true;
                hasValue_ = keep_;
            }
            endCell();
        }
        endRow();
        return length;
    }

    // The t attribute of a cell; a type the reader does not know is read as a number.
    enum class CellType { Number, SharedString, InlineString, FormulaString, Boolean, Error, Date };
    static CellType cellTypeOf(std::string_view type) {
        if (type == "s") return CellType::SharedString;
        if (type == "inlineStr") return CellType::InlineString;
        if (type == "str") return CellType::FormulaString;
        if (type == "b") return CellType::Boolean;
        if (type == "e") return CellType::Error;
        if (type == "d") return CellType::Date;
        return CellType::Number;
    }

    void startCell(std::optional<std::string_view> ref, std::optional<std::string_view> type,
                   int style) {
        if (!row_) return;
        column_ = ref ? columnOf(*ref) : column_ + 1;
        cellType_ = type ? cellTypeOf(*type) : CellType::Number;
        style_ = style;
        value_.clear();
        inlineText_.clear();
        valueCut_ = false;
        hasValue_ = false;
        hasFormula_ = false;
        keep_ = column_ >= 0 && column_ < columnLimit_;
    }

    void endCell() {
        if (row_ && keep_ && hasValue_)
            storeCell();
        else if (row_ && hasFormula_)
            storeFormulaWithoutValue();
        keep_ = false;
    }

    void startRow(std::optional<std::string_view> r) {
        // A cell left open (a row where no row belongs) is dropped: its
        // column belongs to the row before.
        keep_ = hasFormula_ = inValue_ = inInline_ = inInlineText_ = false;
        // Rows come in ascending order; one out of it cannot be put in
        // its place without holding the whole sheet, nor at another.
        // Damage is reported after the rows before it.
        int number = rowNumber_ + 1;
        if (r) {
            const std::string_view text = *r;
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), number);
            const bool digits = end == text.data() + text.size() && !text.empty();
            if (digits && (error == std::errc::result_out_of_range || number > kMaxSheetRows))
                return queue_.fail(damaged(kTooManyRows));
            if (!digits || error != std::errc{} || number < 1)
                return queue_.fail(
                    damaged("Nieprawidłowy numer wiersza „" + std::string(text) + "”."));
            if (number <= rowNumber_)
                return queue_.fail(damaged(
                    "Wiersze arkusza zapisano w nieoczekiwanej kolejności (wiersz " +
                    std::to_string(number) + " po wierszu " + std::to_string(rowNumber_) + ")."));
        } else if (number > kMaxSheetRows) {
            return queue_.fail(damaged(kTooManyRows));
        }
        rowNumber_ = number;
        row_ = &queue_.start(rowNumber_);
        rowHasValue_ = false;
        column_ = -1;
    }

    void endRow() {
        if (row_ && rowHasValue_) queue_.commit();
        row_ = nullptr;
    }

    void end(std::string_view local) override {
        if (queue_.failed()) return;
        if (local == "v") {
            inValue_ = false;
            hasValue_ = keep_;
        } else if (local == "t") {
            inInlineText_ = false;
        } else if (local == "is") {
            inInline_ = false;
            hasValue_ = keep_;
        } else if (local == "rPh") {
            --phoneticDepth_;
        } else if (local == "c") {
            endCell();
        } else if (local == "row") {
            endRow();
        }
    }

    void text(std::string_view data) override {
        if ((inValue_ && appendCellBytes(value_, data)) ||
            (inInlineText_ && appendCellBytes(inlineText_, data)))
            valueCut_ = true;
    }

    int columnOf(std::string_view ref) const {
        int column = 0;
        std::size_t i = 0;
        for (; i < ref.size(); ++i) {
            const char c = ref[i];
            const char letter = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            if (letter < 'A' || letter > 'Z') break;
            column = column * 26 + (letter - 'A' + 1);
            if (column > 1'000'000) return -1;
        }
        return i == 0 ? column_ + 1 : column - 1;
    }

    void storeCell() {
        if (column_ < 0 || column_ >= columnLimit_) return;
        CellValue cell;
        double number = 0;
        if (cellType_ == CellType::SharedString) {
            std::size_t index = 0;
            const auto [end, error] =
                std::from_chars(value_.data(), value_.data() + value_.size(), index);
            if (error != std::errc{} || end != value_.data() + value_.size() ||
                index >= sharedStrings_.size()) {
                // Reported with the number the file gives, so nothing goes unnoticed.
                cell.problem = CellProblem::NoSuchSharedString;
                cell.text = value_.substr(0, 20);
            } else {
                cell.setText(std::string(sharedStrings_[index]));
                if (sharedStrings_.wasCut(index)) cell.problem = CellProblem::TextCut;
            }
        } else if (cellType_ == CellType::InlineString || cellType_ == CellType::FormulaString) {
            std::string text;
            appendUnescaped(text, cellType_ == CellType::FormulaString ? value_ : inlineText_);
            cell.setText(std::move(text));
        } else if (cellType_ == CellType::Boolean) {
            cell.setNumber(value_ == "1" || value_ == "true" ? 1 : 0, CellKind::Boolean);
        } else if (cellType_ == CellType::Error) {
            cell.kind = CellKind::Error;
            cell.text = value_;
        } else if (cellType_ == CellType::Date) {
            // A date the reader cannot take stays the text it is, so that
            // the import names it instead of losing it.
            if (const auto days = ParseIsoDateTime(value_))
                cell.setNumber(*days, CellKind::DateTime);
            else
                cell.setText(value_);
        } else if (parseNumber(value_, number)) {
            const NumberFormatKind kind =
                style_ >= 0 && static_cast<std::size_t>(style_) < cellFormats_.size()
                    ? cellFormats_[static_cast<std::size_t>(style_)]
                    : NumberFormatKind::Number;
            if (kind == NumberFormatKind::DateTime)
                cell.setNumber(serialToDays(number), CellKind::DateTime);
            else if (kind == NumberFormatKind::Boolean)
                cell.setNumber(number != 0, CellKind::Boolean);
            else
                cell.setNumber(number);
        } else {
            cell.setText(value_); // not a number after all: kept as written
        }
        if (cell.kind == CellKind::Text && cellType_ != CellType::SharedString) {
            const bool cut = cutToCellLength(cell.text);
            if (cut || valueCut_) cell.problem = CellProblem::TextCut;
        }
        if (cell.kind == CellKind::Text && cell.text.empty()) return;
        if (cell.kind == CellKind::Empty && cell.problem == CellProblem::None) return;
        CellAt(*row_, column_) = std::move(cell);
        rowHasValue_ = true;
    }

    // A formula some program wrote without working out its result: the cell
    // is not empty, its value is unknown.
    void storeFormulaWithoutValue() {
        if (column_ < 0 || column_ >= columnLimit_) return;
        CellValue& cell = CellAt(*row_, column_);
        cell.kind = CellKind::Formula;
        cell.number = 0;
        cell.text.clear();
        rowHasValue_ = true;
    }

    // Serial day numbers of the file -> days since 30-12-1899. The 1900 system
    // counts a 29-02-1900 that never was, so its first 59 days are one off.
    // A time alone (below one day) stays a time in both systems.
    double serialToDays(double serial) const {
        if (serial < 1 && serial >= 0) return serial;
        if (date1904_) return serial + 1462;
        return serial < 60 ? serial + 1 : serial;
    }

    ZipArchive archive_;
    int columnLimit_;
    XlsxPath scan_;
    std::vector<std::string> sheetNames_; // the worksheets' names
    bool date1904_ = false;
    std::vector<NumberFormatKind> cellFormats_;
    SharedStringTable sharedStrings_;
    std::optional<ZipArchive::Entry> sheetEntry_;
    std::optional<SimpleXmlScanner> sheetScanner_;
    std::optional<XmlStreamParser> sheetParser_;
    RowQueue queue_;
    ScannedRow scannedRow_;

    SheetRow* row_ = nullptr;
    int rowNumber_ = 0;
    bool rowHasValue_ = false;
    int column_ = -1;
    CellType cellType_ = CellType::Number;
    int style_ = 0;
    std::string value_, inlineText_;
    bool keep_ = false, hasValue_ = false, hasFormula_ = false, inValue_ = false, inInline_ = false,
         inInlineText_ = false, valueCut_ = false;
    int phoneticDepth_ = 0;
};

} // namespace

std::unique_ptr<WorkbookReader> OpenXlsxReader(WorkbookFile file, int columnLimit,
                                               std::size_t sheet, XlsxPath scan) {
    return std::make_unique<XlsxReader>(file, columnLimit, sheet, scan);
}

} // namespace xls2qdp
