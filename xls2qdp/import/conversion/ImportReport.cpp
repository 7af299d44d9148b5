// SPDX-License-Identifier: MIT
#include "ImportReport.h"

#include "common/FileReplacement.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace xls2qdp {
namespace {

constexpr std::size_t kSpoolChunk = 64 * 1024;

void putNumber(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putText(std::string& out, std::string_view text) {
    putNumber(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}

class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}
    bool atEnd() const { return pos_ >= data_.size(); }
    std::uint32_t number() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data_[pos_ + i]))
                     << (8 * i);
        pos_ += 4;
        return value;
    }
    std::string text() {
        const std::uint32_t length = number();
        std::string result(data_.substr(pos_, length));
        pos_ += length;
        return result;
    }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

void decodeAll(std::string_view data, const std::function<void(const ReportEntry&)>& visit) {
    Reader reader(data);
    while (!reader.atEnd()) {
        ReportEntry entry;
        entry.sheetRow = static_cast<int>(reader.number());
        entry.kind = static_cast<ReportKind>(reader.number());
        entry.column = reader.text();
        entry.value = reader.text();
        entry.message = reader.text();
        visit(entry);
    }
}

void writeCsvField(std::ostream& out, std::string_view field) {
    if (field.find_first_of(";\"\r\n") == std::string_view::npos) {
        out << field;
        return;
    }
    out << '"';
    for (char c : field) {
        if (c == '"') out << '"';
        out << c;
    }
    out << '"';
}

} // namespace

std::string_view describe(ReportKind kind) {
    switch (kind) {
    case ReportKind::DateNotConverted:
        return "daty nie w formacie dd-mm-rrrr (pole pozostało puste)";
    case ReportKind::SchoolYearNotConverted:
        return "niepoprawny rok szkolny (daty ważności pozostały puste)";
    case ReportKind::PostalCodeWrongLength:
        return "kody pocztowe o złej długości (pole pozostało puste)";
    case ReportKind::CommuneNotFound:
        return "gminy nieznalezione w słowniku";
    case ReportKind::CommuneAmbiguous:
        return "gminy niejednoznaczne w słowniku";
    case ReportKind::CityNotFound:
        return "miejscowości nieznalezione w słowniku";
    case ReportKind::CityAmbiguous:
        return "miejscowości niejednoznaczne w słowniku";
    case ReportKind::TextTooLong:
        return "teksty zbyt długie (zostaną obcięte w pliku QDP)";
    case ReportKind::CharacterNotInWindows1250:
        return "znaki spoza kodowania Windows-1250";
    case ReportKind::CityDictionaryMissing:
        return "brak słownika miejscowości";
    case ReportKind::CellNotRead:
        return "komórki z wartością błędu (przyjęto puste)";
    }
    return "inne";
}

ImportReport::ImportReport() : spool_(std::tmpfile()) {}
ImportReport::~ImportReport() = default;

void ImportReport::add(const ReportEntry& entry) {
    putNumber(pending_, static_cast<std::uint32_t>(entry.sheetRow));
    putNumber(pending_, static_cast<std::uint32_t>(entry.kind));
    putText(pending_, entry.column);
    putText(pending_, entry.value);
    putText(pending_, entry.message);
    ++counts_[static_cast<std::size_t>(entry.kind)];
    ++total_;
    if (pending_.size() >= kSpoolChunk) flushPending();
}

void ImportReport::flushPending() const {
    // Without a temporary file (none could be made) the entries stay in memory.
    if (!spool_ || pending_.empty()) return;
    // Writes after the last whole chunk: a failed write is overwritten by the
    // next attempt and never read back, and its entries stay pending.
    std::fseek(spool_.get(), static_cast<long>(spooled_), SEEK_SET);
    if (std::fwrite(pending_.data(), 1, pending_.size(), spool_.get()) == pending_.size() &&
        std::fflush(spool_.get()) == 0) {
        spooled_ += pending_.size();
        pending_.clear();
    }
}

void ImportReport::clear() {
    pending_.clear();
    counts_.fill(0);
    total_ = 0;
    spooled_ = 0;
    spool_.reset(std::tmpfile());
}

void ImportReport::forEach(const std::function<void(const ReportEntry&)>& visit) const {
    if (spool_) {
        std::fseek(spool_.get(), 0, SEEK_SET);
        // Read whole entries in chunks: an entry never splits across a decode.
        std::string buffer;
        std::string chunk(kSpoolChunk, '\0');
        std::size_t left = spooled_;
        while (left > 0) {
            const std::size_t got =
                std::fread(chunk.data(), 1, std::min(chunk.size(), left), spool_.get());
            if (got == 0) break;
            left -= got;
            buffer.append(chunk.data(), got);
            // Decode the complete entries at the front of the buffer.
            std::size_t complete = 0;
            for (std::size_t pos = 0;;) {
                std::size_t p = pos + 8;
                bool whole = true;
                for (int field = 0; field < 3 && whole; ++field) {
                    if (p + 4 > buffer.size()) {
                        whole = false;
                        break;
                    }
                    std::uint32_t length = 0;
                    for (int i = 0; i < 4; ++i)
                        length |=
                            static_cast<std::uint32_t>(static_cast<unsigned char>(buffer[p + i]))
                            << (8 * i);
                    p += 4 + length;
                    if (p > buffer.size()) whole = false;
                }
                if (!whole) break;
                pos = p;
                complete = p;
            }
            decodeAll(std::string_view(buffer).substr(0, complete), visit);
            buffer.erase(0, complete);
        }
    }
    decodeAll(pending_, visit);
}

std::string ImportReport::summary() const {
    if (total_ == 0) return "Import bez uwag.";
    std::string text = "Uwagi do importu: " + std::to_string(total_);
    for (std::size_t k = 0; k < kReportKindCount; ++k) {
        if (counts_[k] == 0) continue;
        text += "\n- ";
        text += describe(static_cast<ReportKind>(k));
        text += ": " + std::to_string(counts_[k]);
    }
    return text;
}

void ImportReport::writeCsv(std::ostream& out) const {
    out << "\xEF\xBB\xBF"
        << "Wiersz;Kolumna;Wartość;Uwaga\r\n";
    forEach([&](const ReportEntry& e) {
        if (e.sheetRow > 0) out << e.sheetRow;
        out << ';';
        writeCsvField(out, e.column);
        out << ';';
        writeCsvField(out, e.value);
        out << ';';
        writeCsvField(out, e.message);
        out << "\r\n";
    });
}

bool ImportReport::saveCsv(const std::filesystem::path& file) const {
    std::error_code reason;
    return saveCsv(file, reason);
}

bool ImportReport::saveCsv(const std::filesystem::path& file, std::error_code& reason) const {
    reason = replaceFileContent(file, [this](std::ostream& out) { writeCsv(out); });
    return !reason;
}

} // namespace xls2qdp
