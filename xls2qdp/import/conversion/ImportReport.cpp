// SPDX-License-Identifier: MIT
#include "ImportReport.h"

#include "common/FileReplacement.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace xls2qdp {
namespace {

constexpr std::size_t kSpoolChunk = 64 * 1024;
constexpr int kTextFields = 6; // column, value, message, surname, pesel, header

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
        entry.surname = reader.text();
        entry.pesel = reader.text();
        entry.header = reader.text();
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
        return "daty w nierozpoznanej postaci (pole pozostało puste)";
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
        return "znaki spoza kodowania Windows-1250 (zastąpione)";
    case ReportKind::CityDictionaryMissing:
        return "brak słownika miejscowości";
    case ReportKind::CellNotRead:
        return "komórki z wartością błędu (przyjęto puste)";
    case ReportKind::CommuneNotInVoivodeship:
        return "gminy spoza województwa instalacji";
    case ReportKind::FormulaWithoutValue:
        return "formuły bez zapisanej wartości (przyjęto puste)";
    case ReportKind::PeselInvalid:
        return "błędne numery PESEL";
    case ReportKind::BirthDateMismatch:
        return "daty urodzenia niezgodne z numerem PESEL";
    case ReportKind::RowSkipped:
        return "wiersze pominięte (bez nazwiska i imienia)";
    }
    return "inne";
}

std::string_view advice(ReportKind kind) {
    switch (kind) {
    case ReportKind::DateNotConverted:
        return "Wpisz datę jako dd-mm-rrrr (np. 05-03-1960) albo nadaj komórce format daty.";
    case ReportKind::SchoolYearNotConverted:
        return "Wpisz w kolumnie M sam rok, w którym zaczyna się rok szkolny, np. 2025.";
    case ReportKind::PostalCodeWrongLength:
        return "Wpisz kod pocztowy w postaci 12-345.";
    case ReportKind::CommuneNotFound:
    case ReportKind::CityNotFound:
        return "Sprawdź pisownię nazwy z urzędowym wykazem miejscowości i gmin (TERYT).";
    case ReportKind::CommuneAmbiguous:
    case ReportKind::CityAmbiguous:
        return "Wpisz w wierszu i gminę, i miejscowość, aby wskazać jedną z nich.";
    case ReportKind::CommuneNotInVoivodeship:
        return "Sprawdź gminę i ustawienie KodWojew; adres w innym województwie wymaga nazwy "
               "gminy i miejscowości.";
    case ReportKind::TextTooLong:
        return "Skróć tekst, jeśli po obcięciu straci sens.";
    case ReportKind::CharacterNotInWindows1250:
        return "Sprawdź zapis; w razie potrzeby wpisz tekst literami alfabetu łacińskiego.";
    case ReportKind::CityDictionaryMissing:
        return "Zainstaluj program ponownie, aby przywrócić słownik sl_miejscowosci.db.";
    case ReportKind::CellNotRead:
        return "Popraw formułę w komórce albo wpisz w niej wartość.";
    case ReportKind::FormulaWithoutValue:
        return "Otwórz skoroszyt w arkuszu kalkulacyjnym, przelicz go i zapisz ponownie.";
    case ReportKind::PeselInvalid:
        return "Sprawdź PESEL z dokumentem pacjenta; wpisuj go w komórce tekstowej, aby nie "
               "tracił zer z przodu.";
    case ReportKind::BirthDateMismatch:
        return "Sprawdź datę urodzenia i PESEL z dokumentem pacjenta.";
    case ReportKind::RowSkipped:
        return "Jeśli to deklaracja, uzupełnij nazwisko i imię; podsumowania i notatki umieść "
               "pod danymi, za pustym wierszem.";
    }
    return {};
}

ImportReport::ImportReport() : spool_(std::tmpfile()) {}
ImportReport::~ImportReport() = default;

void ImportReport::add(const ReportEntry& entry) {
    putNumber(pending_, static_cast<std::uint32_t>(entry.sheetRow));
    putNumber(pending_, static_cast<std::uint32_t>(entry.kind));
    putText(pending_, entry.column);
    putText(pending_, entry.value);
    putText(pending_, entry.message);
    putText(pending_, entry.surname);
    putText(pending_, entry.pesel);
    if (entry.header.empty() && !entry.column.empty()) {
        const std::size_t index = DeclarationRow::columnIndex(entry.column.c_str());
        putText(pending_, index < headers_.size() ? std::string_view(headers_[index]) : "");
    } else {
        putText(pending_, entry.header);
    }
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
    headers_ = {};
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
                for (int field = 0; field < kTextFields && whole; ++field) {
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
        << "Wiersz;Kolumna;Nagłówek;Nazwisko;PESEL;Wartość;Uwaga;Co zrobić\r\n";
    forEach([&](const ReportEntry& e) {
        if (e.sheetRow > 0) out << e.sheetRow;
        for (std::string_view field :
             {std::string_view(e.column), std::string_view(e.header), std::string_view(e.surname),
              std::string_view(e.pesel), std::string_view(e.value), std::string_view(e.message),
              advice(e.kind)}) {
            out << ';';
            writeCsvField(out, field);
        }
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
