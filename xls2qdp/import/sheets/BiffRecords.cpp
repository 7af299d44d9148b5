// SPDX-License-Identifier: MIT
#include "BiffRecords.h"

#include "common/TextEncoding.h"

#include <gsf/gsf-input.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace xls2qdp::biff {

namespace {

constexpr std::size_t kBufferSize = 32 * 1024; // records are at most 8228 bytes
// Consumed data of a continued record is dropped once this much has gathered.
constexpr std::size_t kCompactAt = 64 * 1024;

} // namespace

// --- RecordReader ---

RecordReader::RecordReader(GsfInput* stream)
    : stream_(stream), size_(gsf_input_size(stream)),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(kBufferSize)) {
    bufferStart_ = gsf_input_tell(stream);
}

bool RecordReader::seek(std::int64_t offset) {
    if (offset < 0 || offset > size_) return false;
    damagedAt_ = -1;
    if (offset >= bufferStart_ && offset <= bufferStart_ + static_cast<std::int64_t>(length_)) {
        pos_ = static_cast<std::size_t>(offset - bufferStart_);
        return true;
    }
    if (gsf_input_seek(stream_, offset, G_SEEK_SET)) return false;
    bufferStart_ = offset;
    pos_ = length_ = 0;
    return true;
}

bool RecordReader::fill(std::size_t n) {
    if (length_ - pos_ >= n) return true;
    // Keep the unread bytes, then read as much as fits.
    std::memmove(buffer_.get(), buffer_.get() + pos_, length_ - pos_);
    bufferStart_ += static_cast<std::int64_t>(pos_);
    length_ -= pos_;
    pos_ = 0;
    const std::int64_t left = size_ - (bufferStart_ + static_cast<std::int64_t>(length_));
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(left, kBufferSize - length_));
    if (want > 0 && gsf_input_read(stream_, want, buffer_.get() + length_)) length_ += want;
    return length_ >= n;
}

bool RecordReader::skip(std::int64_t n) {
    const std::int64_t buffered = static_cast<std::int64_t>(length_ - pos_);
    if (n <= buffered) {
        pos_ += static_cast<std::size_t>(n);
        return true;
    }
    return seek(bufferStart_ + static_cast<std::int64_t>(pos_) + n);
}

bool RecordReader::readHeader(std::uint16_t& type, std::size_t& length, std::int64_t& offset) {
    offset = bufferStart_ + static_cast<std::int64_t>(pos_);
    if (!fill(4)) { // fewer than 4 bytes left are the stream's padding
        if (size_ - offset >= 4) damagedAt_ = offset;
        return false;
    }
    const std::uint8_t* h = buffer_.get() + pos_;
    type = static_cast<std::uint16_t>(h[0] | (h[1] << 8));
    length = static_cast<std::size_t>(h[2] | (h[3] << 8));
    if (offset + 4 + static_cast<std::int64_t>(length) > size_) {
        damagedAt_ = offset;
        return false;
    }
    pos_ += 4;
    return true;
}

bool RecordReader::readData(std::vector<std::uint8_t>& out, std::size_t length) {
    if (fill(length)) { // the whole record at hand, as with any record not damaged
        const std::uint8_t* at = buffer_.get() + pos_;
        out.insert(out.end(), at, at + length);
        pos_ += length;
        return true;
    }
    const std::size_t old = out.size();
    out.resize(old + length);
    std::size_t done = 0;
    while (done < length) {
        if (!fill(1)) return false;
        const std::size_t n = std::min(length - done, length_ - pos_);
        std::memcpy(out.data() + old + done, buffer_.get() + pos_, n);
        pos_ += n;
        done += n;
    }
    return true;
}

bool RecordReader::readFirstHeader(Record& record, std::size_t& length) {
    record.shown = nullptr;
    record.shownSize = 0;
    record.data.clear();
    record.continues.clear();
    do { // CONTINUE records left over belong to the record before
        if (!readHeader(record.type, length, record.offset)) return false;
        if (record.type == kContinue && !skip(static_cast<std::int64_t>(length))) return false;
    } while (record.type == kContinue);
    return true;
}

bool RecordReader::next(Record& record, bool (*withData)(std::uint16_t)) {
    std::size_t length = 0;
    if (!readFirstHeader(record, length)) return false;
    if (!withData(record.type)) return skip(static_cast<std::int64_t>(length));
    if (length <= length_ - pos_) { // whole in the buffer, as nearly always
        record.shown = buffer_.get() + pos_;
        record.shownSize = length;
        pos_ += length;
        return true;
    }
    if (!readData(record.data, length)) {
        damagedAt_ = record.offset;
        return false;
    }
    return true;
}

bool RecordReader::nextHead(RecordHead& head, std::size_t want) {
    // Most records lie whole in the buffer: shown where they lie. Any other
    // case (a CONTINUE record, the buffer's end, damage) goes the general way.
    if (length_ - pos_ >= 4 + want) {
        const std::uint8_t* h = buffer_.get() + pos_;
        const auto type = static_cast<std::uint16_t>(h[0] | (h[1] << 8));
        const std::size_t length = static_cast<std::size_t>(h[2] | (h[3] << 8));
        if (type != kContinue && length <= length_ - pos_ - 4) {
            head.type = type;
            head.offset = bufferStart_ + static_cast<std::int64_t>(pos_);
            head.bytes = h + 4;
            head.size = std::min(want, length);
            pos_ += 4 + length;
            return true;
        }
    }
    Record& record = headRecord_;
    std::size_t length = 0;
    if (!readFirstHeader(record, length)) return false;
    const std::size_t read = std::min(want, length);
    if (!readData(record.data, read)) {
        damagedAt_ = record.offset;
        return false;
    }
    head.type = record.type;
    head.offset = record.offset;
    head.bytes = record.data.data();
    head.size = record.data.size();
    return skip(static_cast<std::int64_t>(length - read));
}

bool RecordReader::pullContinue(Record& record) {
    record.keep(); // the buffer changes below
    if (!fill(4)) return false;
    const std::uint8_t* h = buffer_.get() + pos_;
    if ((h[0] | (h[1] << 8)) != kContinue) return false;
    std::uint16_t type;
    std::size_t length;
    std::int64_t offset;
    if (!readHeader(type, length, offset)) return false;
    record.continues.push_back(record.data.size());
    if (!readData(record.data, length)) {
        damagedAt_ = offset;
        return false;
    }
    return true;
}

// --- ByteCursor ---

bool ByteCursor::pullFor(std::size_t n) {
    while (size() - pos_ < n) {
        if (!reader_) return false;
        record_.keep(); // dropping what was read needs the data in the record
        compact();
        if (!reader_->pullContinue(record_)) return false;
    }
    return true;
}

void ByteCursor::compact() {
    if (pos_ < kCompactAt) return;
    nextBoundary(); // boundaries before pos_ go, one at pos_ stays
    auto& c = record_.continues;
    c.erase(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(boundary_));
    for (std::size_t& b : c)
        b -= pos_;
    record_.data.erase(record_.data.begin(),
                       record_.data.begin() + static_cast<std::ptrdiff_t>(pos_));
    pos_ = 0;
    boundary_ = 0;
}

std::size_t ByteCursor::nextBoundary() {
    const auto& c = record_.continues;
    while (boundary_ < c.size() && c[boundary_] < pos_)
        ++boundary_;
    return boundary_ < c.size() ? c[boundary_] : size();
}

bool ByteCursor::f64(double& v) {
    if (!ensure(8)) return false;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | record_.bytes()[pos_ + static_cast<std::size_t>(i)];
    std::memcpy(&v, &bits, sizeof v);
    pos_ += 8;
    return true;
}

bool ByteCursor::skip(std::size_t n) {
    // Skipped data is never gathered: each CONTINUE record is dropped as it is passed.
    while (n > size() - pos_) {
        n -= size() - pos_;
        pos_ = size();
        if (!ensure(1)) return false;
    }
    pos_ += n;
    return true;
}

bool ByteCursor::length(std::uint16_t& count, bool wide) {
    if (wide) return u16(count);
    std::uint8_t c8 = 0;
    if (!u8(c8)) return false;
    count = c8;
    return true;
}

bool ByteCursor::unicodeString(std::string& out, bool wideCount) {
    std::uint16_t count = 0;
    if (!length(count, wideCount)) return false;
    std::uint8_t flags = 0;
    if (!u8(flags)) return false;
    std::uint16_t runs = 0;
    std::uint32_t phonetic = 0;
    if ((flags & 0x08) && !u16(runs)) return false;
    if ((flags & 0x04) && !u32(phonetic)) return false;
    bool wide = flags & 0x01;
    // The characters are gathered as UTF-16 and converted at the end: a
    // character of two UTF-16 units may be cut by a CONTINUE record.
    units_.clear();
    std::size_t left = count;
    while (left > 0) {
        if (pos_ == size() && !ensure(1)) return false;
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
        const std::uint8_t* at = record_.bytes() + pos_;
        if (fits == count) { // all in one piece, as nearly always
            if (wide)
                appendUtf16LeAsUtf8(out, at, fits);
            else
                appendLatin1AsUtf8(out, at, fits);
        } else if (wide) {
            units_.insert(units_.end(), at, at + 2 * fits);
        } else {
            for (std::size_t i = 0; i < fits; ++i)
                units_.insert(units_.end(), {at[i], 0});
        }
        pos_ += fits * width;
        left -= fits;
    }
    appendUtf16LeAsUtf8(out, units_.data(), units_.size() / 2);
    return skip(std::size_t{runs} * 4) && skip(phonetic);
}

bool ByteCursor::byteString(std::string& out, bool wideCount, CodePageDecoder& decoder) {
    std::uint16_t count = 0;
    if (!length(count, wideCount)) return false;
    const std::uint8_t* bytes = peek(count);
    if (!bytes) return false;
    decoder.append(out, std::string_view(reinterpret_cast<const char*>(bytes), count));
    pos_ += count;
    return true;
}

} // namespace xls2qdp::biff
