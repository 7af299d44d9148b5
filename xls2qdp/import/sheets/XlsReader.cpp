// SPDX-License-Identifier: MIT
#include "XlsReader.h"

#include "NumberFormat.h"
#include "RowQueue.h"
#include "SharedStringTable.h"
#include "common/TextEncoding.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace xls2qdp {

namespace {

// Record types.
enum : std::uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kDateMode = 0x0022,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kCodePage = 0x0042,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kRString = 0x00D6,
    kDbCell = 0x00D7,
    kXf = 0x00E0,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kRk = 0x027E,
    kFormat = 0x041E,
    kBof = 0x0809,
};

constexpr std::size_t kMaxPendingRows = 1024;

struct GObjectUnref {
    void operator()(void* object) const {
        if (object) g_object_unref(object);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

struct Record {
    std::uint16_t type = 0;
    std::vector<std::uint8_t> data;
    std::vector<std::size_t> continues; // offsets in data where a CONTINUE record's bytes begin
    std::int64_t offset = 0;            // of the record header in the stream
};

// Reads the bytes of one record (and of the CONTINUE records that follow it)
// and hands out numbers and strings; every read is checked against the end.
class ByteCursor {
public:
    explicit ByteCursor(const Record& record, std::size_t position = 0)
        : record_(record), pos_(position) {}

    bool u8(std::uint8_t& v) {
        if (pos_ + 1 > size()) return false;
        v = record_.data[pos_++];
        return true;
    }
    bool u16(std::uint16_t& v) {
        if (pos_ + 2 > size()) return false;
        v = static_cast<std::uint16_t>(record_.data[pos_] | (record_.data[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        if (pos_ + 4 > size()) return false;
        v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | record_.data[pos_ + static_cast<std::size_t>(i)];
        pos_ += 4;
        return true;
    }
    bool f64(double& v) {
        if (pos_ + 8 > size()) return false;
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | record_.data[pos_ + static_cast<std::size_t>(i)];
        std::memcpy(&v, &bits, sizeof v);
        pos_ += 8;
        return true;
    }
    bool skip(std::size_t n) {
        if (n > size() - pos_) return false;
        pos_ += n;
        return true;
    }
    const std::uint8_t* at() const { return record_.data.data() + pos_; }
    std::size_t remaining() const { return size() - pos_; }

    // A BIFF8 Unicode string: character count (16 or 8 bits), option flags,
    // optional rich-text run count and phonetic size, the characters
    // (8-bit Latin-1 or UTF-16LE; where a CONTINUE record cuts the characters
    // it starts with a new option byte), then the runs and phonetic data.
    bool unicodeString(std::string& out, bool wideCount) {
        std::uint16_t count = 0;
        if (wideCount) {
            if (!u16(count)) return false;
        } else {
            std::uint8_t c8 = 0;
            if (!u8(c8)) return false;
            count = c8;
        }
        std::uint8_t flags = 0;
        if (!u8(flags)) return false;
        std::uint16_t runs = 0;
        std::uint32_t phonetic = 0;
        if ((flags & 0x08) && !u16(runs)) return false;
        if ((flags & 0x04) && !u32(phonetic)) return false;
        bool wide = flags & 0x01;
        std::size_t left = count;
        while (left > 0) {
            const std::size_t boundary = nextBoundary();
            if (boundary == pos_) { // the characters go on in a CONTINUE record
                std::uint8_t option = 0;
                if (!u8(option)) return false;
                wide = option & 0x01;
                continue;
            }
            const std::size_t width = wide ? 2 : 1;
            const std::size_t fits = std::min(left, (boundary - pos_) / width);
            if (fits == 0) return false;
            if (wide)
                appendUtf16LeAsUtf8(out, at(), fits);
            else
                appendLatin1AsUtf8(out, at(), fits);
            pos_ += fits * width;
            left -= fits;
        }
        return skip(std::size_t{runs} * 4) && skip(phonetic);
    }

    // A BIFF5 string: 8- or 16-bit length, then bytes of the workbook's code page.
    bool byteString(std::string& out, bool wideCount, CodePageDecoder& decoder) {
        std::uint16_t count = 0;
        if (wideCount) {
            if (!u16(count)) return false;
        } else {
            std::uint8_t c8 = 0;
            if (!u8(c8)) return false;
            count = c8;
        }
        if (count > remaining()) return false;
        decoder.append(out, std::string_view(reinterpret_cast<const char*>(at()), count));
        pos_ += count;
        return true;
    }

private:
    std::size_t size() const { return record_.data.size(); }
    std::size_t nextBoundary() const {
        for (std::size_t b : record_.continues)
            if (b >= pos_) return b;
        return size();
    }

    const Record& record_;
    std::size_t pos_;
};

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
    XlsReader(const std::filesystem::path& file, int columnLimit, std::size_t sheet)
        : file_(file), columnLimit_(columnLimit), sheet_(sheet) {
        static std::once_flag gsfReady;
        std::call_once(gsfReady, [] {
            gsf_init();
            // A damaged file is reported by our own message; keep the
            // library's diagnostics off the user's console.
            for (const char* domain : {"libgsf:msole", "libgsf"})
                g_log_set_handler(
                    domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                    [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        });

        GError* error = nullptr;
        input_.reset(gsf_input_stdio_new(file.c_str(), &error));
        if (error) g_error_free(error);
        if (!input_)
            throw WorkbookError(file, "nie można otworzyć pliku (brak dostępu lub plik zajęty).");
        error = nullptr;
        ole_.reset(gsf_infile_msole_new(input_.get(), &error));
        if (error) g_error_free(error);
        if (!ole_)
            throw WorkbookError(file, std::string(kDamagedFile) +
                                          " Nie można odczytać struktury pliku .xls.");

        stream_.reset(gsf_infile_child_by_name(ole_.get(), "Workbook"));
        if (!stream_) stream_.reset(gsf_infile_child_by_name(ole_.get(), "Book"));
        if (!stream_) {
            if (hasChild("EncryptedPackage") || hasChild("EncryptionInfo"))
                throw WorkbookError(file, kEncryptedWorkbook);
            if (hasChild("WordDocument"))
                throw WorkbookError(file, "to dokument programu MS Word, a nie skoroszyt.");
            throw WorkbookError(file, "plik pakietu Office nie zawiera skoroszytu.");
        }
        streamSize_ = gsf_input_size(stream_.get());
        readGlobals();
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
    bool hasChild(const char* name) {
        GPtr<GsfInput> child(gsf_infile_child_by_name(ole_.get(), name));
        return child != nullptr;
    }

    [[noreturn]] void damaged(std::int64_t offset) const {
        throw WorkbookError(file_, std::string(kDamagedFile) +
                                       " Nieprawidłowy rekord skoroszytu (pozycja " +
                                       std::to_string(offset) + ").");
    }

    // Reads one record with its CONTINUE records; false at the end of the stream.
    bool readRecord(Record& record) {
        record.data.clear();
        record.continues.clear();
        if (!readOne(record.type, record.data, record.offset)) return false;
        std::uint16_t type;
        std::vector<std::uint8_t> more;
        std::int64_t offset;
        while (peekType(type) && type == kContinue) {
            more.clear();
            readOne(type, more, offset);
            record.continues.push_back(record.data.size());
            record.data.insert(record.data.end(), more.begin(), more.end());
            if (record.data.size() > (64u << 20)) damaged(offset);
        }
        return true;
    }

    bool peekType(std::uint16_t& type) {
        const gsf_off_t at = gsf_input_tell(stream_.get());
        if (at + 4 > streamSize_) return false;
        std::uint8_t header[4];
        if (!gsf_input_read(stream_.get(), 4, header)) return false;
        gsf_input_seek(stream_.get(), at, G_SEEK_SET);
        type = static_cast<std::uint16_t>(header[0] | (header[1] << 8));
        return true;
    }

    bool readOne(std::uint16_t& type, std::vector<std::uint8_t>& data, std::int64_t& offset) {
        offset = gsf_input_tell(stream_.get());
        if (offset + 4 > streamSize_) return false;
        std::uint8_t header[4];
        if (!gsf_input_read(stream_.get(), 4, header)) damaged(offset);
        type = static_cast<std::uint16_t>(header[0] | (header[1] << 8));
        const std::size_t length = header[2] | (header[3] << 8);
        if (static_cast<gsf_off_t>(offset + 4 + static_cast<std::int64_t>(length)) > streamSize_)
            damaged(offset);
        const std::size_t old = data.size();
        data.resize(old + length);
        if (length && !gsf_input_read(stream_.get(), length, data.data() + old)) damaged(offset);
        return true;
    }

    void readGlobals() {
        Record record;
        if (!readRecord(record) || record.type != kBof) damaged(0);
        ByteCursor bof(record);
        std::uint16_t version = 0, kind = 0;
        if (!bof.u16(version) || !bof.u16(kind)) damaged(0);
        biff8_ = version == 0x0600;
        if (!biff8_ && version != 0x0500) damaged(0);
        if (!biff8_) decoder_.setCodePage(1252);

        std::optional<std::uint32_t> sheetOffset;
        while (readRecord(record) && record.type != kEof) {
            ByteCursor in(record);
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
                if (ok) customFormats_[id] = NumberFormatCodeKind(code);
                break;
            }
            case kXf: {
                std::uint16_t font = 0, format = 0;
                if (in.u16(font) && in.u16(format)) {
                    const auto custom = customFormats_.find(format);
                    xfFormats_.push_back(custom != customFormats_.end()
                                             ? custom->second
                                             : BuiltInNumberFormatKind(format));
                }
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
        if (sheetNames_.empty()) throw WorkbookError(file_, kNoWorksheet);
        if (!sheetOffset) throw WorkbookError(file_, kNoSuchWorksheet);
        if (*sheetOffset + 4 > streamSize_ ||
            gsf_input_seek(stream_.get(), *sheetOffset, G_SEEK_SET))
            damaged(*sheetOffset);
        if (!readRecord(record) || record.type != kBof) damaged(*sheetOffset);
    }

    void readSharedStrings(const Record& record) {
        ByteCursor in(record);
        std::uint32_t total = 0, unique = 0;
        if (!in.u32(total) || !in.u32(unique)) damaged(record.offset);
        sharedStrings_.reserve(std::min<std::size_t>(unique, record.data.size() / 3),
                               record.data.size());
        std::string text;
        for (std::uint32_t i = 0; i < unique && in.remaining() > 0; ++i) {
            text.clear();
            if (!in.unicodeString(text, true)) damaged(record.offset);
            sharedStrings_.add(text);
        }
    }

    // Reads records of the worksheet until some rows are complete or it ends.
    void readSheetRecords() {
        Record record;
        while (queue_.empty()) {
            if (!readRecord(record)) {
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
            if (pendingString_ && record.type != kString && isCell(record.type))
                pendingString_.reset();
            switch (record.type) {
            case kEof:
                finishSheet();
                return;
            case kBof:
                ++nestedDepth_;
                break;
            case kDbCell:
                flushRows(std::numeric_limits<int>::max());
                break;
            default:
                readCell(record);
            }
        }
    }

    static bool isCell(std::uint16_t type) {
        return type == kFormula || type == kNumber || type == kRk || type == kMulRk ||
               type == kLabel || type == kLabelSst || type == kBoolErr || type == kRString;
    }

    void readCell(const Record& record) {
        ByteCursor in(record);
        std::uint16_t row = 0, column = 0, xf = 0;
        switch (record.type) {
        case kString: {
            if (!pendingString_) return;
            std::string text;
            const bool ok =
                biff8_ ? in.unicodeString(text, true) : in.byteString(text, true, decoder_);
            if (!ok) damaged(record.offset);
            CellValue cell;
            cell.setText(std::move(text));
            store(pendingString_->first, pendingString_->second, std::move(cell));
            pendingString_.reset();
            return;
        }
        case kMulRk: {
            if (!in.u16(row) || !in.u16(column)) damaged(record.offset);
            while (in.remaining() >= 8) {
                std::uint32_t rk = 0;
                if (!in.u16(xf) || !in.u32(rk)) damaged(record.offset);
                store(row, column++, numberCell(rkValue(rk), xf));
            }
            return;
        }
        default:
            break;
        }
        if (!isCell(record.type)) return;
        if (!in.u16(row) || !in.u16(column) || !in.u16(xf)) damaged(record.offset);
        CellValue cell;
        switch (record.type) {
        case kNumber: {
            double value = 0;
            if (!in.f64(value)) damaged(record.offset);
            cell = numberCell(value, xf);
            break;
        }
        case kRk: {
            std::uint32_t rk = 0;
            if (!in.u32(rk)) damaged(record.offset);
            cell = numberCell(rkValue(rk), xf);
            break;
        }
        case kLabelSst: {
            std::uint32_t index = 0;
            if (!in.u32(index)) damaged(record.offset);
            if (index >= sharedStrings_.size()) damaged(record.offset);
            cell.setText(std::string(sharedStrings_[index]));
            break;
        }
        case kLabel:
        case kRString: {
            std::string text;
            const bool ok =
                biff8_ ? in.unicodeString(text, true) : in.byteString(text, true, decoder_);
            if (!ok) damaged(record.offset);
            cell.setText(std::move(text));
            break;
        }
        case kBoolErr: {
            std::uint8_t value = 0, isError = 0;
            if (!in.u8(value) || !in.u8(isError)) damaged(record.offset);
            if (isError) {
                cell.kind = CellKind::Error;
                cell.text = errorCode(value);
            } else {
                cell.setNumber(value ? 1 : 0, CellKind::Boolean);
            }
            break;
        }
        case kFormula: {
            if (in.remaining() < 8) damaged(record.offset);
            const std::uint8_t* result = in.at();
            if (result[6] == 0xFF && result[7] == 0xFF) {
                switch (result[0]) {
                case 0: // the text follows in a STRING record
                    pendingString_.emplace(row, column);
                    return;
                case 1:
                    cell.setNumber(result[2] ? 1 : 0, CellKind::Boolean);
                    break;
                case 2:
                    cell.kind = CellKind::Error;
                    cell.text = errorCode(result[2]);
                    break;
                default: // empty text
                    return;
                }
            } else {
                double value = 0;
                in.f64(value);
                cell = numberCell(value, xf);
            }
            break;
        }
        default:
            return;
        }
        store(row, column, std::move(cell));
    }

    CellValue numberCell(double value, std::uint16_t xf) const {
        CellValue cell;
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
        return cell;
    }

    // Cells of a row block come row by row; rows are handed out when their
    // block ends (DBCELL), or when too many wait.
    void store(int row, int column, CellValue cell) {
        if (column >= columnLimit_) return;
        if (cell.kind == CellKind::Empty || (cell.kind == CellKind::Text && cell.text.empty()))
            return;
        const int number = row + 1;
        if (number <= flushedUpTo_)
            throw WorkbookError(file_,
                                std::string(kDamagedFile) +
                                    " Komórki arkusza zapisano w nieoczekiwanej kolejności.");
        auto& cells = pending_[number];
        if (cells.size() <= static_cast<std::size_t>(column))
            cells.resize(static_cast<std::size_t>(column) + 1);
        cells[static_cast<std::size_t>(column)] = std::move(cell);
        if (pending_.size() > kMaxPendingRows) flushRows(pending_.rbegin()->first - 1);
    }

    void flushRows(int upTo) {
        while (!pending_.empty() && pending_.begin()->first <= upTo) {
            auto node = pending_.extract(pending_.begin());
            SheetRow& row = queue_.start(node.key());
            row.cells = std::move(node.mapped());
            queue_.commit();
            flushedUpTo_ = node.key();
        }
    }

    void finishSheet() {
        flushRows(std::numeric_limits<int>::max());
        sheetDone_ = true;
    }

    std::filesystem::path file_;
    int columnLimit_;
    std::size_t sheet_;
    std::vector<std::string> sheetNames_; // the worksheets' names
    GPtr<GsfInput> input_;
    GPtr<GsfInfile> ole_;
    GPtr<GsfInput> stream_;
    gsf_off_t streamSize_ = 0;

    bool biff8_ = true;
    bool date1904_ = false;
    CodePageDecoder decoder_{1252};
    std::map<int, NumberFormatKind> customFormats_;
    std::vector<NumberFormatKind> xfFormats_;
    SharedStringTable sharedStrings_;

    int nestedDepth_ = 0;
    bool sheetDone_ = false;
    std::optional<std::pair<int, int>> pendingString_;
    std::map<int, std::vector<CellValue>> pending_;
    int flushedUpTo_ = 0;
    RowQueue queue_;
};

} // namespace

std::unique_ptr<WorkbookReader> OpenXlsReader(const std::filesystem::path& file, int columnLimit,
                                              std::size_t sheet) {
    return std::make_unique<XlsReader>(file, columnLimit, sheet);
}

} // namespace xls2qdp
