// SPDX-License-Identifier: MIT
#include "CsvReader.h"

#include "common/TextEncoding.h"

#include <array>
#include <fstream>
#include <string>

namespace xls2qdp {

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

class CsvReader : public WorkbookReader {
public:
    CsvReader(const std::filesystem::path& file, int columnLimit)
        : file_(file), columnLimit_(columnLimit), decoder_(1250) {
        in_.open(file, std::ios::binary);
        if (!in_)
            throw WorkbookError(file, "nie można otworzyć pliku (brak dostępu lub plik zajęty).");
        detectEncodingAndDelimiter();
        in_.clear();
        in_.seekg(bomLength_);
    }

    bool nextRow(SheetRow& row) override {
        for (;;) {
            if (atEnd()) return false;
            row.number = ++rowNumber_;
            row.cells.clear();
            bool any = false;
            int column = 0;
            for (;;) {
                field_.clear();
                const char ended = readField();
                if (column < columnLimit_ && !field_.empty()) {
                    row.cells.resize(static_cast<std::size_t>(column) + 1);
                    CellValue& cell = row.cells.back();
                    cell.kind = CellKind::Text;
                    if (utf8_)
                        cell.text = field_;
                    else
                        decoder_.append(cell.text, field_);
                    any = true;
                }
                ++column;
                if (ended != delimiter_) break;
            }
            if (any) return true;
        }
    }

private:
    void detectEncodingAndDelimiter() {
        std::string chunk(kBufferSize, '\0');
        in_.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        chunk.resize(static_cast<std::size_t>(in_.gcount()));
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
            if (!in_) cut = text.size();
            if (!isValidUtf8(std::string_view(text).substr(0, cut))) {
                utf8_ = false;
                return;
            }
            carry = text.substr(cut);
            if (!in_) break;
            chunk.resize(kBufferSize);
            in_.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.resize(static_cast<std::size_t>(in_.gcount()));
        }
        utf8_ = true;
    }

    bool fill() {
        if (pos_ < length_) return true;
        if (!in_) return false;
        in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        length_ = static_cast<std::size_t>(in_.gcount());
        pos_ = 0;
        if (in_.bad()) throw WorkbookError(file_, "błąd odczytu pliku.");
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
                field_ += static_cast<char>(c);
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
            field_ += static_cast<char>(c);
        }
    }

    std::filesystem::path file_;
    int columnLimit_;
    std::ifstream in_;
    CodePageDecoder decoder_;
    bool utf8_ = true;
    std::streamoff bomLength_ = 0;
    char delimiter_ = ';';
    std::array<char, kBufferSize> buffer_{};
    std::size_t pos_ = 0, length_ = 0;
    std::string field_;
    int rowNumber_ = 0;
};

} // namespace

std::unique_ptr<WorkbookReader> OpenCsvReader(const std::filesystem::path& file, int columnLimit) {
    return std::make_unique<CsvReader>(file, columnLimit);
}

} // namespace xls2qdp
