// SPDX-License-Identifier: MIT
#include "CsvReader.h"

#include "CellLimits.h"
#include "common/TextEncoding.h"

#include <algorithm>
#include <array>
#include <string>

namespace xls2qdp {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

class CsvReader : public WorkbookReader {
public:
    CsvReader(WorkbookFile file, int columnLimit)
        : in_(std::move(file)), file_(in_.path()), columnLimit_(columnLimit), decoder_(1250) {
        in_.seek(0);
        detectEncodingAndDelimiter();
        in_.seek(bomLength_);
        ended_ = false;
    }

    bool nextRow(SheetRow& row) override {
        for (;;) {
            if (atEnd()) return false;
            ++rowNumber_;
            row.cells.clear();
            bool any = false;
            int column = 0;
            for (;;) {
                field_.clear();
                fieldCut_ = false;
                const char ended = readField();
                if (column < columnLimit_ && !field_.empty()) {
                    row.cells.resize(static_cast<std::size_t>(column) + 1);
                    CellValue& cell = row.cells.back();
                    cell.kind = CellKind::Text;
                    if (utf8_)
                        cell.text = field_;
                    else
                        decoder_.append(cell.text, field_);
                    if (cutToCellLength(cell.text) || fieldCut_)
                        cell.problem = CellProblem::TextCut;
                    any = true;
                }
                column = std::min(column + 1, columnLimit_); // the fields past it are not kept
                if (ended != delimiter_) break;
            }
            if (!any) continue;
            // The rows past the last row of a sheet, empty lines aside, cannot be read.
            if (rowNumber_ > kMaxSheetRows) throw WorkbookError(file_, kTooManyRows);
            row.number = static_cast<int>(rowNumber_);
            return true;
        }
    }

private:
    void detectEncodingAndDelimiter() {
        std::string chunk(kBufferSize, '\0');
        chunk.resize(readFull(chunk.data(), chunk.size()));
        if (chunk.starts_with("\xEF\xBB\xBF")) bomLength_ = 3;

        // Delimiter: most used outside quotes in the first chunk.
        std::array<std::size_t, 3> counts{};
        bool quoted = false;
        for (char c : chunk) {
            if (c == '"')
                quoted = !quoted;
            else if (!quoted && c == ';')
                ++counts[0];
            else if (!quoted && c == '\t')
                ++counts[1];
            else if (!quoted && c == ',')
                ++counts[2];
        }
        static constexpr char kDelimiters[] = {';', '\t', ','};
        std::size_t best = 0;
        for (std::size_t i = 1; i < counts.size(); ++i)
            if (counts[i] > counts[best]) best = i;
        delimiter_ = kDelimiters[best];

        if (bomLength_) {
            utf8_ = true;
            return;
        }
        // UTF-8 only when the whole file is valid UTF-8; a sequence cut at the
        // end of a chunk is carried into the next one.
        std::string carry;
        for (;;) {
            std::string text = carry + chunk;
            std::size_t cut = text.size();
            for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
                const auto b = static_cast<unsigned char>(text[text.size() - back]);
                if ((b & 0xC0) == 0xC0) {
                    cut = text.size() - back;
                    break;
                }
                if ((b & 0xC0) != 0x80) break;
            }
            if (ended_) cut = text.size();
            if (!isValidUtf8(std::string_view(text).substr(0, cut))) {
                utf8_ = false;
                return;
            }
            carry = text.substr(cut);
            if (ended_) break;
            chunk.resize(kBufferSize);
            chunk.resize(readFull(chunk.data(), chunk.size()));
        }
        utf8_ = true;
    }

    // Reads size bytes unless the file ends first (ended_ then says so).
    std::size_t readFull(char* buffer, std::size_t size) {
        std::size_t done = 0;
        while (done < size && !ended_) {
            const std::size_t n = in_.read(buffer + done, size - done);
            ended_ = n == 0;
            done += n;
        }
        return done;
    }

    bool fill() {
        if (pos_ < length_) return true;
        if (ended_) return false;
        length_ = readFull(buffer_.data(), buffer_.size());
        pos_ = 0;
        return length_ > 0;
    }
    bool atEnd() { return !fill(); }
    int peek() { return fill() ? static_cast<unsigned char>(buffer_[pos_]) : -1; }
    int get() { return fill() ? static_cast<unsigned char>(buffer_[pos_++]) : -1; }

    // Reads one field into field_; returns the character that ended it: the
    // delimiter, '\n' for the end of a line, or '\0' at the end of the file.
    char readField() {
        int c = peek();
        if (c == '"') {
            get();
            for (;;) {
                c = get();
                if (c < 0) return '\0';
                if (c == '"') {
                    if (peek() == '"') {
                        get();
                        field_ += '"';
                        continue;
                    }
                    break;
                }
                if (c == '\r' && peek() == '\n') continue; // CR LF inside quotes -> LF
                append(static_cast<char>(c));
            }
            // Text after the closing quote belongs to the same field.
        }
        for (;;) {
            c = get();
            if (c < 0) return '\0';
            if (c == delimiter_) return delimiter_;
            if (c == '\n') return '\n';
            if (c == '\r') {
                if (peek() == '\n') get();
                return '\n';
            }
            append(static_cast<char>(c));
        }
    }

    // A field longer than a cell holds keeps its start; the rest is read and dropped.
    void append(char c) {
        if (field_.size() < kMaxCellBytes)
            field_ += c;
        else
            fieldCut_ = true;
    }

    WorkbookFile in_;
    std::filesystem::path file_;
    int columnLimit_;
    bool ended_ = false;
    CodePageDecoder decoder_;
    bool utf8_ = true;
    long long bomLength_ = 0;
    char delimiter_ = ';';
    std::array<char, kBufferSize> buffer_{};
    std::size_t pos_ = 0, length_ = 0;
    std::string field_;
    bool fieldCut_ = false;
    long long rowNumber_ = 0;
};

} // namespace

std::unique_ptr<WorkbookReader> OpenCsvReader(WorkbookFile file, int columnLimit) {
    return std::make_unique<CsvReader>(std::move(file), columnLimit);
}

} // namespace xls2qdp
