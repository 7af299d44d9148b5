// SPDX-License-Identifier: MIT
// The records of a BIFF5/BIFF8 workbook stream (.xls): a 4-byte header (type,
// length) and up to 8224 bytes of data each. Data longer than that goes on in
// CONTINUE records right after; they are read only when the data is read that
// far, and dropped once used, so a record continued many times (the shared
// strings) costs neither memory nor a search from its start at each boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _GsfInput;

namespace xls2qdp {

class CodePageDecoder;

namespace biff {

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

// The cell records whose value the reader takes (STRING only follows a FORMULA).
inline bool isCellRecord(std::uint16_t type) {
    switch (type) {
    case kFormula:
    case kNumber:
    case kRk:
    case kMulRk:
    case kLabel:
    case kLabelSst:
    case kBoolErr:
    case kRString:
        return true;
    default:
        return false;
    }
}

// The first bytes of a record, for a pass that looks at no more.
struct RecordHead {
    std::uint16_t type = 0;
    std::int64_t offset = 0;             // of the record header in the stream
    const std::uint8_t* bytes = nullptr; // the first of its data, valid until the next read
    std::size_t size = 0;                // how many: the asked number, or fewer when it has fewer
};

struct Record {
    std::uint16_t type = 0;
    std::int64_t offset = 0; // of the record header in the stream
    // Its data where it lies in the reader's buffer, valid until the reader
    // reads on; null when the data is in `data` instead.
    const std::uint8_t* shown = nullptr;
    std::size_t shownSize = 0;
    std::vector<std::uint8_t> data;     // its data, and that of CONTINUE records read so far
    std::vector<std::size_t> continues; // offsets in data where a CONTINUE record's bytes begin

    const std::uint8_t* bytes() const { return shown ? shown : data.data(); }
    std::size_t size() const { return shown ? shownSize : data.size(); }
    // Copies the data shown in the buffer into `data`, before the reader reads on.
    void keep() {
        if (!shown) return;
        data.assign(shown, shown + shownSize);
        shown = nullptr;
        shownSize = 0;
    }
};

// Reads records from a stream through a buffer of its own.
class RecordReader {
public:
    explicit RecordReader(_GsfInput* stream);

    std::int64_t size() const { return size_; }
    // Goes to the record header at offset; false when it lies beyond the stream.
    bool seek(std::int64_t offset);

    // The next record after the CONTINUE records of the previous one; its data
    // is read only when withData says so for its type, and shown where it
    // lies in the buffer when it lies there whole. False at the end of
    // the stream; throws nothing: a record cut off by the end of the stream
    // sets damagedAt() and ends the stream.
    bool next(Record& record, bool (*withData)(std::uint16_t type));
    // The next record like next(), with no more than the first `want` bytes
    // of its data read, whatever its type: for a pass that looks at cells'
    // positions only.
    bool nextHead(RecordHead& head, std::size_t want);
    // Appends the data of the CONTINUE record that follows, if one does.
    bool pullContinue(Record& record);
    // The offset of a record the stream ended in the middle of, or -1.
    std::int64_t damagedAt() const { return damagedAt_; }

private:
    bool fill(std::size_t n); // at least n bytes buffered, unless the stream ends first
    bool readHeader(std::uint16_t& type, std::size_t& length, std::int64_t& offset);
    // The header of the next record other than CONTINUE.
    bool readFirstHeader(Record& record, std::size_t& length);
    bool readData(std::vector<std::uint8_t>& out, std::size_t length);
    bool skip(std::int64_t n);

    _GsfInput* stream_;
    std::int64_t size_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t pos_ = 0, length_ = 0;
    std::int64_t bufferStart_ = 0; // stream offset of buffer_[0]
    std::int64_t damagedAt_ = -1;
    Record headRecord_; // a record nextHead read the general way
};

// Reads numbers and strings from one record, pulling its CONTINUE records
// from the reader as it goes; every read is checked against the end.
class ByteCursor {
public:
    // reader may be null: the record's data is all there is.
    ByteCursor(Record& record, RecordReader* reader) : record_(record), reader_(reader) {}

    // Numbers are little-endian.
    bool u8(std::uint8_t& v) {
        if (!ensure(1)) return false;
        v = record_.bytes()[pos_++];
        return true;
    }
    bool u16(std::uint16_t& v) {
        if (!ensure(2)) return false;
        const std::uint8_t* p = record_.bytes() + pos_;
        v = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
        pos_ += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        if (!ensure(4)) return false;
        const std::uint8_t* p = record_.bytes() + pos_;
        v = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
            std::uint32_t{p[3]} << 24;
        pos_ += 4;
        return true;
    }
    bool f64(double& v);
    bool skip(std::size_t n);
    // The next n bytes, or null when the record has fewer.
    const std::uint8_t* peek(std::size_t n) { return ensure(n) ? record_.bytes() + pos_ : nullptr; }
    // Whether any data is left (in this record or a CONTINUE record).
    bool more() { return ensure(1); }

    // A BIFF8 Unicode string: character count (16 or 8 bits), option flags,
    // optional rich-text run count and phonetic size, the characters
    // (8-bit Latin-1 or UTF-16LE; where a CONTINUE record cuts the characters
    // it starts with a new option byte), then the runs and phonetic data.
    bool unicodeString(std::string& out, bool wideCount);
    // A BIFF5 string: 8- or 16-bit length, then bytes of the workbook's code page.
    bool byteString(std::string& out, bool wideCount, CodePageDecoder& decoder);

private:
    // At least n bytes left at pos_, pulling CONTINUE records as needed.
    bool ensure(std::size_t n) { return size() - pos_ >= n || pullFor(n); }
    bool pullFor(std::size_t n);
    bool length(std::uint16_t& count, bool wide); // a string's 16- or 8-bit length
    std::size_t nextBoundary();
    void compact();
    std::size_t size() const { return record_.size(); }

    Record& record_;
    RecordReader* reader_;
    std::size_t pos_ = 0;
    std::size_t boundary_ = 0; // index into record_.continues of the next boundary at or after pos_
    std::vector<std::uint8_t> units_; // UTF-16LE characters of the string being read
};

} // namespace biff
} // namespace xls2qdp
