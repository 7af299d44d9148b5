// SPDX-License-Identifier: MIT
#include "XlsReader.h"

#include "BiffRecords.h"
#include "CellLimits.h"
#include "NumberFormat.h"
#include "RowQueue.h"
#include "SharedStringTable.h"
#include "common/TextEncoding.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <glib.h>
#include <unistd.h>

#include <cstdio>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace xls2qdp {

namespace {

using namespace biff;

struct GObjectUnref {
    void operator()(void* object) const {
        if (object) g_object_unref(object);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

bool globalsData(std::uint16_t type) {
    switch (type) {
    case kBof:
    case kFilePass:
    case kCodePage:
    case kDateMode:
    case kFormat:
    case kXf:
    case kSst:
    case kBoundSheet:
        return true;
    default:
        return false;
    }
}

bool sheetData(std::uint16_t type) {
    return type == kString || isCellRecord(type);
}

const char* errorCode(std::uint8_t code) {
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    case 0x2A:
        return "#N/A";
    case 0x2B:
        return "#GETTING_DATA";
    default:
        return "#N/A";
    }
}

double rkValue(std::uint32_t rk) {
    double value;
    if (rk & 0x02) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

class XlsReader : public WorkbookReader {
public:
    XlsReader(const WorkbookFile& workbook, int columnLimit, std::size_t sheet)
        : file_(workbook.path()), columnLimit_(columnLimit), sheet_(sheet) {
        const std::filesystem::path& file = file_;
        static std::once_flag gsfReady;
        std::call_once(gsfReady, [] {
            gsf_init();
            // A damaged file is reported by our own message; keep the
            // library's diagnostics off the user's console (some of its
            // parts log without a domain).
            for (const char* domain : {"libgsf:msole", "libgsf", static_cast<const char*>(nullptr)})
                g_log_set_handler(
                    domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                    [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        });

        const int fd = workbook.duplicate();
        std::FILE* stream = ::fdopen(fd, "rb");
        if (!stream) {
            ::close(fd);
            throw WorkbookError(file, "nie można otworzyć pliku (brak dostępu lub plik zajęty).");
        }
        input_.reset(gsf_input_stdio_new_FILE(file.c_str(), stream, FALSE)); // closes stream
        if (!input_)
            throw WorkbookError(file, "nie można otworzyć pliku (brak dostępu lub plik zajęty).");
        GError* error = nullptr;
        ole_.reset(gsf_infile_msole_new(input_.get(), &error));
        if (error) g_error_free(error);
        if (!ole_)
            throw WorkbookError(file, std::string(kDamagedFile) +
                                          " Nie można odczytać struktury pliku .xls.");

        // The current name first: a file may keep an older copy beside it.
        stream_.reset(child("Workbook"));
        if (!stream_) stream_.reset(child("Book"));
        if (!stream_) {
            if (hasChild("EncryptedPackage") || hasChild("EncryptionInfo"))
                throw WorkbookError(file, kEncryptedWorkbook);
            if (hasChild("WordDocument"))
                throw WorkbookError(file, "to dokument programu MS Word, a nie skoroszyt.");
            throw WorkbookError(file, "plik pakietu Office nie zawiera skoroszytu.");
        }
        records_.emplace(stream_.get());
        readGlobals();
        findRowEnds();
    }

    std::vector<std::string> sheetNames() override { return sheetNames_; }

    bool nextRow(SheetRow& row) override {
        while (queue_.empty()) {
            if (sheetDone_) return false;
            readSheetRecords();
        }
        queue_.take(row);
        return true;
    }

private:
    // The stream called name; the names of streams are compared without
    // regard to case, as the programs that write and read them do.
    GsfInput* child(const char* name) {
        const int count = gsf_infile_num_children(ole_.get());
        for (int i = 0; i < count; ++i) {
            const char* found = gsf_infile_name_by_index(ole_.get(), i);
            if (found && g_ascii_strcasecmp(found, name) == 0)
                return gsf_infile_child_by_index(ole_.get(), i);
        }
        return nullptr;
    }
    bool hasChild(const char* name) {
        GPtr<GsfInput> found(child(name));
        return found != nullptr;
    }

    [[noreturn]] void damaged(std::int64_t offset) const {
        throw WorkbookError(file_, std::string(kDamagedFile) +
                                       " Nieprawidłowy rekord skoroszytu (pozycja " +
                                       std::to_string(offset) + ").");
    }

    // The next record, or false at the end of the stream (a record cut off
    // by the end is damage).
    bool next(Record& record, bool (*withData)(std::uint16_t)) {
        if (records_->next(record, withData)) return true;
        if (records_->damagedAt() >= 0) damaged(records_->damagedAt());
        return false;
    }

    void readGlobals() {
        Record record;
        if (!next(record, globalsData) || record.type != kBof) damaged(0);
        ByteCursor bof(record, nullptr);
        std::uint16_t version = 0, kind = 0;
        if (!bof.u16(version) || !bof.u16(kind)) damaged(0);
        biff8_ = version == 0x0600;
        if (!biff8_ && version != 0x0500) damaged(0);
        if (!biff8_) decoder_.setCodePage(1252);

        std::optional<std::uint32_t> sheetOffset;
        std::map<int, NumberFormatKind> customFormats;
        std::vector<std::uint16_t> xfFormatIds;
        while (next(record, globalsData) && record.type != kEof) {
            ByteCursor in(record, &*records_);
            switch (record.type) {
            case kFilePass:
                throw WorkbookError(file_, kEncryptedWorkbook);
            case kCodePage: {
                std::uint16_t codePage = 0;
                if (in.u16(codePage) && !biff8_) decoder_.setCodePage(codePage);
                break;
            }
            case kDateMode: {
                std::uint16_t mode = 0;
                if (in.u16(mode)) date1904_ = mode == 1;
                break;
            }
            case kFormat: {
                std::uint16_t id = 0;
                std::string code;
                const bool ok = in.u16(id) && (biff8_ ? in.unicodeString(code, true)
                                                      : in.byteString(code, false, decoder_));
                if (ok) customFormats[id] = NumberFormatCodeKind(code);
                break;
            }
            case kXf: {
                std::uint16_t font = 0, format = 0;
                if (in.u16(font) && in.u16(format)) xfFormatIds.push_back(format);
                break;
            }
            case kSst:
                if (biff8_) readSharedStrings(record);
                break;
            case kBoundSheet: {
                std::uint32_t position = 0;
                std::uint8_t state = 0, type = 0;
                if (!in.u32(position) || !in.u8(state) || !in.u8(type) || type != 0) break;
                std::string name;
                if (!(biff8_ ? in.unicodeString(name, false)
                             : in.byteString(name, false, decoder_)))
                    name.clear();
                if (sheetNames_.size() == sheet_) sheetOffset = position;
                sheetNames_.push_back(std::move(name));
                break;
            }
            default:
                break;
            }
        }
        // Cell formats are looked up once all number formats are known,
        // whichever order a program wrote them in.
        for (std::uint16_t format : xfFormatIds) {
            const auto custom = customFormats.find(format);
            xfFormats_.push_back(custom != customFormats.end() ? custom->second
                                                               : BuiltInNumberFormatKind(format));
        }
        if (sheetNames_.empty()) throw WorkbookError(file_, kNoWorksheet);
        if (!sheetOffset) throw WorkbookError(file_, kNoSuchWorksheet);
        if (*sheetOffset + 4 > records_->size() || !records_->seek(*sheetOffset))
            damaged(*sheetOffset);
        if (!next(record, globalsData) || record.type != kBof) damaged(*sheetOffset);
        sheetStart_ = *sheetOffset;
    }

    void readSharedStrings(Record& record) {
        ByteCursor in(record, &*records_);
        std::uint32_t total = 0, unique = 0;
        if (!in.u32(total) || !in.u32(unique)) damaged(record.offset);
        sharedStrings_.reserve(std::min<std::size_t>(unique, 1u << 22), 0);
        std::string text;
        try {
            for (std::uint32_t i = 0; i < unique && in.more(); ++i) {
                text.clear();
                if (!in.unicodeString(text, true)) damaged(record.offset);
                const bool cut = cutToCellLength(text);
                sharedStrings_.add(text, cut);
            }
        } catch (const std::length_error&) {
            throw WorkbookError(file_, kTooManySharedStrings);
        }
    }

    // The sheet row (0-based) a cell record is about, if it is one.
    static std::optional<int> cellRow(const RecordHead& head) {
        if (!isCellRecord(head.type) || head.size < 2) return std::nullopt;
        return head.bytes[0] | (head.bytes[1] << 8);
    }

    // A formula whose text result follows in a STRING record: its result
    // (8 bytes after row, column and format) says so.
    static bool formulaWithText(const RecordHead& head) {
        if (head.type != kFormula || head.size < 14) return false;
        const std::uint8_t* result = head.bytes + 6;
        return result[6] == 0xFF && result[7] == 0xFF && result[0] == 0;
    }

    // Programs store the cells of a sheet in different orders: row by row in
    // blocks, but also a row's cells spread over blocks, or column by
    // column. A first pass notes where the last cell of each row lies, so
    // that each row is handed out as soon as it and the rows above it are
    // complete, whatever the order.
    void findRowEnds() {
        std::vector<std::int64_t> lastRecord; // by row, as far as rows go
        RecordHead record;
        int depth = 0;
        int formulaRow = -1; // of a formula whose text comes next
        // A cell's row and a formula's kind of result lie in its first bytes.
        constexpr std::size_t kCellHead = 14;
        while (records_->nextHead(record, kCellHead)) {
            if (record.type == kBof) ++depth;
            if (record.type == kEof && depth-- == 0) break;
            if (depth > 0) continue;
            if (record.type == kString && formulaRow >= 0) {
                lastRecord[static_cast<std::size_t>(formulaRow)] = record.offset;
                formulaRow = -1;
            } else if (const auto row = cellRow(record)) {
                if (lastRecord.size() <= static_cast<std::size_t>(*row))
                    lastRecord.resize(static_cast<std::size_t>(*row) + 1, -1);
                lastRecord[static_cast<std::size_t>(*row)] = record.offset;
                formulaRow = formulaWithText(record) ? *row : -1;
            }
        }
        // Damage met here is reported when the rows before it have been read.
        completeAfter_.resize(lastRecord.size());
        std::int64_t last = -1;
        for (std::size_t row = 0; row < lastRecord.size(); ++row)
            completeAfter_[row] = last = std::max(last, lastRecord[row]);
        Record bof;
        if (!records_->seek(sheetStart_) || !next(bof, sheetData)) damaged(sheetStart_);
    }

    // Reads records of the worksheet until some rows are complete or it ends.
    void readSheetRecords() {
        Record record;
        while (queue_.empty()) {
            if (!next(record, sheetData)) {
                finishSheet();
                return;
            }
            if (nestedDepth_ > 0) { // a chart or other substream inside the sheet
                if (record.type == kBof)
                    ++nestedDepth_;
                else if (record.type == kEof)
                    --nestedDepth_;
                continue;
            }
            if (pendingString_ && record.type != kString && isCellRecord(record.type))
                pendingString_.reset();
            switch (record.type) {
            case kEof:
                finishSheet();
                return;
            case kBof:
                ++nestedDepth_;
                break;
            default:
                readCell(record);
                flushRows(record.offset);
            }
        }
    }

    // Reads the cell (or cells) of a cell record into its row, waiting in
    // pending_ until complete. Values are written straight into the row's
    // cells, which rows hand back for reuse.
    void readCell(Record& record) {
        ByteCursor in(record, &*records_);
        std::uint16_t row = 0, column = 0, xf = 0;
        switch (record.type) {
        case kString: {
            if (!pendingString_) return;
            readString(in, record);
            const auto [textRow, textColumn] = *pendingString_;
            pendingString_.reset();
            storeScratchText(textRow, textColumn);
            return;
        }
        case kMulRk: {
            if (!in.u16(row) || !in.u16(column)) damaged(record.offset);
            // xf and value pairs, then the last column
            while (in.peek(8)) {
                std::uint32_t rk = 0;
                if (!in.u16(xf) || !in.u32(rk)) damaged(record.offset);
                if (CellValue* cell = cellAt(row, column++)) setNumberCell(*cell, rkValue(rk), xf);
            }
            return;
        }
        default:
            break;
        }
        if (!isCellRecord(record.type)) return;
        if (!in.u16(row) || !in.u16(column) || !in.u16(xf)) damaged(record.offset);
        switch (record.type) {
        case kNumber: {
            double value = 0;
            if (!in.f64(value)) damaged(record.offset);
            if (CellValue* cell = cellAt(row, column)) setNumberCell(*cell, value, xf);
            return;
        }
        case kRk: {
            std::uint32_t rk = 0;
            if (!in.u32(rk)) damaged(record.offset);
            if (CellValue* cell = cellAt(row, column)) setNumberCell(*cell, rkValue(rk), xf);
            return;
        }
        case kLabelSst: {
            std::uint32_t index = 0;
            if (!in.u32(index)) damaged(record.offset);
            if (index >= sharedStrings_.size()) {
                // Reported with the number the file gives; the rest is read.
                if (CellValue* cell = cellAt(row, column)) {
                    cell->clear();
                    cell->problem = CellProblem::NoSuchSharedString;
                    cell->text = std::to_string(index);
                }
                return;
            }
            const std::string_view text = sharedStrings_[index];
            if (text.empty()) return;
            if (CellValue* cell = cellAt(row, column)) {
                cell->clear();
                cell->kind = CellKind::Text;
                cell->text.assign(text);
                cell->problem =
                    sharedStrings_.wasCut(index) ? CellProblem::TextCut : CellProblem::None;
            }
            return;
        }
        case kLabel:
        case kRString:
            readString(in, record);
            storeScratchText(row, column);
            return;
        case kBoolErr: {
            std::uint8_t value = 0, isError = 0;
            if (!in.u8(value) || !in.u8(isError)) damaged(record.offset);
            if (CellValue* cell = cellAt(row, column)) {
                if (isError)
                    setErrorCell(*cell, value);
                else
                    cell->setNumber(value ? 1 : 0, CellKind::Boolean);
            }
            return;
        }
        case kFormula: {
            const std::uint8_t* result = in.peek(8);
            if (!result) damaged(record.offset);
            if (result[6] == 0xFF && result[7] == 0xFF) {
                switch (result[0]) {
                case 0: // the text follows in a STRING record
                    pendingString_.emplace(row, column);
                    return;
                case 1:
                    if (CellValue* cell = cellAt(row, column))
                        cell->setNumber(result[2] ? 1 : 0, CellKind::Boolean);
                    return;
                case 2:
                    if (CellValue* cell = cellAt(row, column)) setErrorCell(*cell, result[2]);
                    return;
                default: // empty text
                    return;
                }
            }
            double value = 0;
            in.f64(value);
            if (CellValue* cell = cellAt(row, column)) setNumberCell(*cell, value, xf);
            return;
        }
        default:
            return;
        }
    }

    // A string of a LABEL, RSTRING or STRING record into scratch_.
    void readString(ByteCursor& in, const Record& record) {
        scratch_.clear();
        const bool ok =
            biff8_ ? in.unicodeString(scratch_, true) : in.byteString(scratch_, true, decoder_);
        if (!ok) damaged(record.offset);
    }

    // The text in scratch_ as the cell's, cut to what a cell holds; an empty
    // text is no value.
    void storeScratchText(int row, int column) {
        if (scratch_.empty()) return;
        const bool cut = cutToCellLength(scratch_);
        if (CellValue* cell = cellAt(row, column)) {
            cell->clear();
            cell->kind = CellKind::Text;
            std::swap(cell->text, scratch_); // scratch_ is cleared before its next use
            cell->problem = cut ? CellProblem::TextCut : CellProblem::None;
        }
    }

    static void setErrorCell(CellValue& cell, std::uint8_t code) {
        cell.clear();
        cell.kind = CellKind::Error;
        cell.text = errorCode(code);
    }

    void setNumberCell(CellValue& cell, double value, std::uint16_t xf) const {
        const NumberFormatKind kind =
            xf < xfFormats_.size() ? xfFormats_[xf] : NumberFormatKind::Number;
        if (kind == NumberFormatKind::DateTime) {
            double days = value;
            if (!(value >= 0 && value < 1))
                days = date1904_ ? value + 1462 : (value < 60 ? value + 1 : value);
            cell.setNumber(days, CellKind::DateTime);
        } else if (kind == NumberFormatKind::Boolean) {
            cell.setNumber(value != 0 ? 1 : 0, CellKind::Boolean);
        } else {
            cell.setNumber(value);
        }
    }

    // The cell of the sheet at row and column (both 0-based) for a value, or
    // null when the column lies beyond those read. Cells of one row mostly
    // come one after another, so its row is kept at hand.
    CellValue* cellAt(int row, int column) {
        if (column >= columnLimit_) return nullptr;
        const int number = row + 1;
        if (number != lastNumber_) {
            if (number <= flushedUpTo_) // the first pass saw the sheet end otherwise
                throw WorkbookError(file_,
                                    std::string(kDamagedFile) +
                                        " Komórki arkusza zapisano w nieoczekiwanej kolejności.");
            const auto [at, added] = pending_.try_emplace(number);
            if (added && !spareCells_.empty()) {
                at->second = std::move(spareCells_.back());
                spareCells_.pop_back();
            }
            lastNumber_ = number;
            lastCells_ = &at->second;
        }
        auto& cells = *lastCells_;
        // Grown to the width of the rows before at once rather than a cell
        // at a time; flushFront takes off the cells no value reached.
        if (cells.size() <= static_cast<std::size_t>(column))
            cells.resize(std::max(static_cast<std::size_t>(column) + 1, rowWidth_));
        return &cells[static_cast<std::size_t>(column)];
    }

    // Hands out the waiting rows that are complete once the record at offset is read.
    void flushRows(std::int64_t offset) {
        while (!pending_.empty() && completeAfter(pending_.begin()->first - 1) <= offset)
            flushFront();
    }

    // Rows the first pass did not see have no cells (or lie past damage).
    std::int64_t completeAfter(int row) const {
        const auto index = static_cast<std::size_t>(row);
        return index < completeAfter_.size() ? completeAfter_[index] : -1;
    }

    void flushFront() {
        auto node = pending_.extract(pending_.begin());
        if (node.key() == lastNumber_) lastNumber_ = 0;
        // A row ends at its last cell with a value (or a problem to report),
        // as if it had grown a cell at a time.
        std::vector<CellValue>& cells = node.mapped();
        rowWidth_ = std::max(rowWidth_, cells.size());
        while (!cells.empty() && cells.back().kind == CellKind::Empty &&
               cells.back().problem == CellProblem::None)
            cells.pop_back();
        SheetRow& row = queue_.start(node.key());
        // The row takes the cells; the emptied cells it had serve a later row.
        std::swap(row.cells, node.mapped());
        queue_.commit();
        if (spareCells_.size() < kMaxSpareCells) spareCells_.push_back(std::move(node.mapped()));
        flushedUpTo_ = node.key();
    }

    void finishSheet() {
        while (!pending_.empty())
            flushFront();
        sheetDone_ = true;
    }

    std::filesystem::path file_;
    int columnLimit_;
    std::size_t sheet_;
    std::vector<std::string> sheetNames_; // the worksheets' names
    GPtr<GsfInput> input_;
    GPtr<GsfInfile> ole_;
    GPtr<GsfInput> stream_;
    std::optional<RecordReader> records_;
    std::int64_t sheetStart_ = 0;
    std::vector<std::int64_t>
        completeAfter_; // by row: offset after which it and all above are read

    bool biff8_ = true;
    bool date1904_ = false;
    CodePageDecoder decoder_{1252};
    std::vector<NumberFormatKind> xfFormats_;
    SharedStringTable sharedStrings_;

    int nestedDepth_ = 0;
    bool sheetDone_ = false;
    std::optional<std::pair<int, int>> pendingString_;
    std::map<int, std::vector<CellValue>> pending_;
    int lastNumber_ = 0;                          // the row of the last cell stored, if waiting
    std::vector<CellValue>* lastCells_ = nullptr; // its cells in pending_
    std::size_t rowWidth_ = 0;                    // the most cells a row was grown to
    static constexpr std::size_t kMaxSpareCells = 64;
    std::vector<std::vector<CellValue>> spareCells_; // emptied cells of rows handed out
    std::string scratch_;                            // a string being read
    int flushedUpTo_ = 0;
    RowQueue queue_;
};

} // namespace

std::unique_ptr<WorkbookReader> OpenXlsReader(WorkbookFile file, int columnLimit,
                                              std::size_t sheet) {
    return std::make_unique<XlsReader>(file, columnLimit, sheet);
}

} // namespace xls2qdp
