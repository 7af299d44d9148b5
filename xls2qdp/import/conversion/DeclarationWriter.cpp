// SPDX-License-Identifier: MIT
#include "DeclarationWriter.h"

#include "FieldRules.h"
#include "Pesel.h"
#include "common/Text.h"
#include "common/TextEncoding.h"
#include "common/Windows1250.h"

#include <cstdio>
#include <ctime>

namespace xls2qdp {

using store::WorkingField;
using store::WorkingRecord;

namespace {

std::string inQuotes(std::string_view text) {
    return "„" + std::string(text) + "”";
}

std::string fieldName(WorkingField field) {
    return std::string(store::fieldInfo(field).name);
}

std::string codePointText(char32_t cp) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(cp));
    return buffer;
}

// "„ñ” (U+00F1) jako „n”, „Ж” (U+0416) jako „?”"
std::string describeReplacements(const std::u32string& replaced) {
    std::string text;
    for (std::size_t i = 0; i < replaced.size(); ++i) {
        const char32_t cp = replaced[i];
        bool repeated = false;
        for (std::size_t j = 0; j < i; ++j)
            repeated = repeated || replaced[j] == cp;
        if (repeated) continue;
        if (!text.empty()) text += ", ";
        std::string shown;
        if (cp != 0xFFFD) appendUtf8(shown, cp);
        const std::string_view replacement = windows1250Replacement(cp);
        text += (cp == 0xFFFD ? std::string("bajt spoza UTF-8") : inQuotes(shown)) + " (" +
                codePointText(cp) + ")" +
                (replacement.empty()  ? std::string(" pominięto")
                 : replacement == " " ? std::string(" jako spację")
                                      : " jako " + inQuotes(replacement));
    }
    return text;
}

std::string dateText(const CalendarDate& date) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d", date.day, date.month, date.year);
    return buffer;
}

} // namespace

store::LocalDateTime localNow() {
    // Rows come by the thousand per second: the calendar is worked out once a second.
    thread_local std::time_t cachedSecond = -1;
    thread_local store::LocalDateTime cached;
    const std::time_t now = std::time(nullptr);
    if (now != cachedSecond) {
        std::tm local{};
        localtime_r(&now, &local);
        cached = {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                  local.tm_hour,
                  local.tm_min,
                  local.tm_sec};
        cachedSecond = now;
    }
    return cached;
}

DeclarationWriter::DeclarationWriter(store::WorkingTable& table, DictionaryLookups& lookups,
                                     ConversionSettings settings, ImportReport& report, Clock clock)
    : table_(table), lookups_(lookups), settings_(std::move(settings)), report_(report),
      clock_(clock ? std::move(clock) : Clock(localNow)) {}

void DeclarationWriter::startRun() {
    counter_ = 0;
    if (!lookups_.hasCityDictionary()) {
        report_.add({0,
                     {},
                     {},
                     ReportKind::CityDictionaryMissing,
                     "Brak słownika miejscowości sl_miejscowosci.db: pola KOD_MIASTA_PAC_ST i "
                     "KOD_MIASTA_PAC_MIE pozostają puste, gminy szukane są tylko po nazwie"});
    }
}

bool DeclarationWriter::isDeclaration(const DeclarationRow& row) {
    return !row.column("C").empty() || !row.column("D").empty();
}

int DeclarationWriter::WriteDeclarationRow(const DeclarationRow& row) {
    pesel_.clear();
    if (!isDeclaration(row)) {
        // A total or a note among the data: what it holds in A and B tells
        // the user which row it was.
        std::string holds;
        for (const char* column : {"A", "B"}) {
            if (row.column(column).empty()) continue;
            holds += (holds.empty() ? " (" : ", ") + std::string(column) + ": " +
                     inQuotes(row.column(column));
        }
        if (!holds.empty()) holds += ")";
        note(row, "C", "", ReportKind::RowSkipped,
             "Wiersz bez nazwiska i imienia" + holds +
                 " nie jest deklaracją i nie został zapisany");
        return 0;
    }
    ++counter_;
    convert(row, counter_, record_);
    table_.append(record_);
    return 0;
}

void DeclarationWriter::note(const DeclarationRow& row, const char* column, std::string_view value,
                             ReportKind kind, std::string message) {
    ReportEntry entry{row.sheetRow, column, std::string(value), kind, std::move(message)};
    entry.surname = row.column("C");
    entry.pesel = pesel_.empty() ? row.column("B") : pesel_;
    report_.add(entry);
}

void DeclarationWriter::storeText(WorkingRecord& record, WorkingField field, std::string_view value,
                                  const DeclarationRow& row, const char* column, bool kept) {
    if (value.empty()) {
        record.setText(field, value);
        return;
    }
    // A character the package cannot hold is replaced here, where the sheet
    // row and column are known, never left for the package to refuse.
    // Most values are plain ASCII: nothing to fit, as many characters as bytes.
    const bool ascii = isAscii(value);
    replaced_.clear();
    if (!ascii && fitWindows1250(value, fitted_, replaced_)) {
        note(row, column, value, ReportKind::CharacterNotInWindows1250,
             "Znaki spoza kodowania Windows-1250 zastąpione w polu " + fieldName(field) + ": " +
                 describeReplacements(replaced_) + "; zapisano " + inQuotes(fitted_));
        value = fitted_;
        kept = false;
    }
    if (kept)
        record.setTextView(field, value);
    else
        record.setText(field, value);
    const auto width = static_cast<std::size_t>(store::fieldInfo(field).width);
    if ((ascii ? value.size() : utf8Length(value)) > width) {
        note(row, column, value, ReportKind::TextTooLong,
             "Tekst dłuższy niż " + std::to_string(width) + " zn.; w pliku QDP pole " +
                 fieldName(field) + " zostanie obcięte do " + inQuotes(utf8Prefix(value, width)));
    }
}

void DeclarationWriter::setNow(WorkingRecord& record, WorkingField field) {
    const store::LocalDateTime now = clock_();
    if (now != lastNow_) {
        lastNow_ = now;
        lastNowText_ = store::isoDateTime(now);
    }
    record.setText(field, lastNowText_);
}

void DeclarationWriter::copyPesel(WorkingRecord& record, WorkingField field,
                                  const DeclarationRow& row, const char* column,
                                  std::string& pesel) {
    pesel = row.column(column);
    if (const auto restored = restoredPesel(pesel, row.kind(column))) pesel = *restored;
    storeText(record, field, pesel, row, column);
    if (pesel.empty() || pesel == kNoPesel) return;
    if (const std::string problem = peselProblem(pesel); !problem.empty())
        note(row, column, pesel, ReportKind::PeselInvalid,
             "Numer PESEL " + problem + "; pole " + fieldName(field) +
                 " zapisano tak, jak w arkuszu");
}

void DeclarationWriter::checkBirthDate(const std::string& pesel, WorkingField dateField,
                                       const DeclarationRow& row, const char* dateColumn) {
    const std::optional<CalendarDate>& date = lastDate_;
    if (!date || pesel.empty() || pesel == kNoPesel || !peselProblem(pesel).empty()) return;
    const auto fromPesel = peselBirthDate(pesel);
    if (!fromPesel || *fromPesel == *date) return;
    note(row, dateColumn, row.column(dateColumn), ReportKind::BirthDateMismatch,
         "Data urodzenia " + dateText(*date) + " (pole " + fieldName(dateField) +
             ") różni się od daty z numeru PESEL " + pesel + ": " + dateText(*fromPesel));
}

void DeclarationWriter::copyText(WorkingRecord& record, WorkingField field,
                                 const DeclarationRow& row, const char* column) {
    storeText(record, field, row.column(column), row, column, true);
}

void DeclarationWriter::convertDate(WorkingRecord& record, WorkingField field,
                                    const DeclarationRow& row, const char* column) {
    record.setNull(field);
    lastDate_.reset();
    const std::string& text = row.column(column);
    if (text.empty()) return;
    if (const auto date = parseSheetDate(text)) {
        record.setDate(field, *date);
        lastDate_ = date;
        return;
    }
    note(row, column, text, ReportKind::DateNotConverted,
         "Data w nierozpoznanej postaci (oczekiwano dd-mm-rrrr, dd.mm.rrrr, dd/mm/rrrr lub "
         "rrrr-mm-dd); pole " +
             fieldName(field) + " pozostaje puste");
}

void DeclarationWriter::convertPostal(WorkingRecord& record, WorkingField field,
                                      const DeclarationRow& row, const char* column) {
    record.setNull(field);
    const std::string& text = row.column(column);
    if (text.empty()) return;
    if (const auto code = convertPostalCode(text, row.kind(column))) {
        storeText(record, field, *code, row, column);
        return;
    }
    note(row, column, text, ReportKind::PostalCodeWrongLength,
         "Kod pocztowy ma " + std::to_string(utf8Length(text)) +
             " zn. (oczekiwano 5 lub 6); pole " + fieldName(field) + " pozostaje puste");
}

void DeclarationWriter::lookUpAddress(WorkingRecord& record, const DeclarationRow& row,
                                      const char* communeColumn, const char* cityColumn,
                                      WorkingField communeField, WorkingField cityField) {
    record.setNull(communeField);
    record.setNull(cityField);
    const std::string& commune = row.column(communeColumn);
    const std::string& city = row.column(cityColumn);
    const LookupResult communeCode = lookups_.FindCommuneCode(commune, city);
    if (!communeCode.found()) {
        // Only an address that could have been placed is worth a note.
        if (commune.empty() && (city.empty() || !lookups_.hasCityDictionary())) return;
        const bool byCity = commune.empty();
        std::string message =
            byCity ? "Gmina miejscowości " + inQuotes(city)
                   : "Gmina " + inQuotes(commune) +
                         (city.empty() ? "" : " (miejscowość " + inQuotes(city) + ")");
        ReportKind kind = ReportKind::CommuneNotFound;
        switch (communeCode.outcome) {
        case LookupOutcome::Ambiguous:
            kind = ReportKind::CommuneAmbiguous;
            message += " niejednoznaczna w słowniku: pasuje kilka gmin w województwie " +
                       lookups_.voivodeship();
            break;
        case LookupOutcome::NotInVoivodeship:
            kind = ReportKind::CommuneNotInVoivodeship;
            message += " nie leży w województwie " + lookups_.voivodeship() +
                       " (w słowniku są tylko gminy o tej nazwie w innych województwach lub "
                       "nieaktualne)";
            break;
        default:
            message += " nie znaleziona w słowniku";
            break;
        }
        message += "; pole " + fieldName(communeField) + " pozostaje puste";
        note(row, byCity ? cityColumn : communeColumn, byCity ? city : commune, kind,
             std::move(message));
        return;
    }
    record.setText(communeField, communeCode.code);
    if (!lookups_.hasCityDictionary()) return;
    const LookupResult cityCode = lookups_.FindCityCode(communeCode.code, city);
    if (cityCode.found()) {
        record.setText(cityField, cityCode.code);
        return;
    }
    if (city.empty()) return;
    const bool ambiguous = cityCode.outcome == LookupOutcome::Ambiguous;
    note(row, cityColumn, city, ambiguous ? ReportKind::CityAmbiguous : ReportKind::CityNotFound,
         "Miejscowość" + std::string(ambiguous ? " niejednoznaczna" : " nie znaleziona") +
             " w gminie " + communeCode.code + "; pole " + fieldName(cityField) +
             " pozostaje puste");
}

void DeclarationWriter::convert(const DeclarationRow& row, int number, WorkingRecord& r) {
    r.clear();
    r.setTextView(WorkingField::NR_INSTALACJI, settings_.nrInstalacji);
    r.setText(WorkingField::LID_DEKL, std::to_string(number));
    pesel_.clear(); // the notes of this row name its PESEL as the sheet has it until it is known
    copyText(r, WorkingField::RODZAJ_LISTY, row, "A");
    copyText(r, WorkingField::NAZWISKO, row, "C");
    copyText(r, WorkingField::IMIE, row, "D");
    std::string pesel;
    copyPesel(r, WorkingField::PESEL, row, "B", pesel);
    pesel_ = pesel;
    convertDate(r, WorkingField::DATA_UR, row, "F");
    checkBirthDate(pesel, WorkingField::DATA_UR, row, "F");
    copyText(r, WorkingField::PLEC, row, "G");
    copyText(r, WorkingField::FL_CUDZ, row, "N");
    r.setTextView(WorkingField::KOD_PLATNIKA, settings_.kodOddzialuNFZ);

    copyText(r, WorkingField::MIASTO_ST, row, "Q");
    lookUpAddress(r, row, "U", "Q", WorkingField::KOD_GMINY_PAC_ST,
                  WorkingField::KOD_MIASTA_PAC_ST);
    convertPostal(r, WorkingField::KOD_POCZT_ST, row, "P");
    copyText(r, WorkingField::ULICA_ST, row, "R");
    copyText(r, WorkingField::NR_DOMU_ST, row, "S");
    copyText(r, WorkingField::NR_LOK_ST, row, "T");
    copyText(r, WorkingField::NR_TELEF_ST, row, "V");

    copyText(r, WorkingField::MIASTO_MIE, row, "X");
    lookUpAddress(r, row, "AB", "X", WorkingField::KOD_GMINY_PAC_MIE,
                  WorkingField::KOD_MIASTA_PAC_MIE);
    convertPostal(r, WorkingField::KOD_POCZT_MIE, row, "W");
    copyText(r, WorkingField::ULICA_MIE, row, "Y");
    copyText(r, WorkingField::NR_DOMU_MIE, row, "Z");
    copyText(r, WorkingField::NR_LOK_MIE, row, "AA");
    copyText(r, WorkingField::NR_TELEF_MIE, row, "AC");

    // Declared in person unless the insurance title is exactly "C".
    r.setTextView(WorkingField::ZGL_OSOBISTE, row.column("H") == "C" ? "N" : "T");
    r.setTextView(WorkingField::RODZAJ_UB, "00");
    convertDate(r, WorkingField::DATA_PODPISANIA, row, "I");
    r.setTextView(WorkingField::GODZ_PODPISANIA, "00");
    copyText(r, WorkingField::NR_PRAWA_LEK, row, "AD");
    std::string otherPesel;
    copyPesel(r, WorkingField::PESEL_LEK, row, "AE", otherPesel);
    copyText(r, WorkingField::NAZWISKO_LEK, row, "AF");
    copyText(r, WorkingField::IMIONA_LEK, row, "AG");
    copyText(r, WorkingField::FLAGA_TYPU_PODOP, row, "K");
    r.setTextView(WorkingField::FL_WYCOF, "0");
    setNow(r, WorkingField::DATA_MOD);
    setNow(r, WorkingField::DATA_WPROW);
    copyText(r, WorkingField::FL_BEZDOMNY, row, "O");
    // Preset to "N", then taken from AL: an empty AL leaves it empty.
    r.setTextView(WorkingField::FL_CUDZ_ZGL, "N");
    copyText(r, WorkingField::FL_CUDZ_ZGL, row, "AL");
    copyText(r, WorkingField::NAZWISKO_ZGL, row, "AH");
    copyText(r, WorkingField::IMIE_ZGL, row, "AI");
    copyPesel(r, WorkingField::PESEL_ZGL, row, "AJ", otherPesel);
    convertDate(r, WorkingField::DATA_UR_ZGL, row, "AK");
    checkBirthDate(otherPesel, WorkingField::DATA_UR_ZGL, row, "AK");

    const std::string& schoolYear = row.column("M");
    const SchoolYearDates school = schoolYearDates(row.column("L"), schoolYear);
    if (school.from) r.setDate(WorkingField::DATA_WAZN_OD, *school.from);
    if (school.until) r.setDate(WorkingField::DATA_WAZN_DO, *school.until);
    if (school.applies && !school.until) {
        note(row, "M", schoolYear, ReportKind::SchoolYearNotConverted,
             school.from ? std::string("Rok szkolny bez poprawnej daty końca; pole DATA_WAZN_DO "
                                       "pozostaje puste")
                         : std::string("Rok szkolny nie jest rokiem (liczbą całkowitą); pola "
                                       "DATA_WAZN_OD i DATA_WAZN_DO pozostają puste"));
    }
    copyText(r, WorkingField::FL_STUDENT, row, "L");

    copyText(r, WorkingField::NAZWISKO_RODOWE, row, "E");
    copyText(r, WorkingField::TYTUL_UBEZP, row, "H");
    copyText(r, WorkingField::NR_WYBORU, row, "J");
    r.setTextView(WorkingField::WERSJA_DEKL, "1");
}

} // namespace xls2qdp
