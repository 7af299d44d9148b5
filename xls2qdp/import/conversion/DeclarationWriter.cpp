// SPDX-License-Identifier: MIT
#include "DeclarationWriter.h"

#include "FieldRules.h"
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

int DeclarationWriter::WriteDeclarationRow(const DeclarationRow& row) {
    ++counter_;
    convert(row, counter_, record_);
    table_.append(record_);
    return 0;
}

void DeclarationWriter::note(const DeclarationRow& row, const char* column, std::string_view value,
                             ReportKind kind, std::string message) {
    report_.add({row.sheetRow, column, std::string(value), kind, std::move(message)});
}

void DeclarationWriter::storeText(WorkingRecord& record, WorkingField field, std::string_view value,
                                  const DeclarationRow& row, const char* column) {
    record.setText(field, value);
    if (value.empty()) return;
    const auto width = static_cast<std::size_t>(store::fieldInfo(field).width);
    if (utf8Length(value) > width) {
        note(row, column, value, ReportKind::TextTooLong,
             "Tekst dłuższy niż " + std::to_string(width) + " zn.; w pliku QDP pole " +
                 fieldName(field) + " zostanie obcięte do " + inQuotes(utf8Prefix(value, width)));
    }
    if (const char32_t cp = firstNonWindows1250Character(value)) {
        note(row, column, value, ReportKind::CharacterNotInWindows1250,
             "Znak " + codePointText(cp) + " nie istnieje w kodowaniu Windows-1250 (pole " +
                 fieldName(field) + ")");
    }
}

void DeclarationWriter::copyText(WorkingRecord& record, WorkingField field,
                                 const DeclarationRow& row, const char* column) {
    storeText(record, field, row.column(column), row, column);
}

void DeclarationWriter::convertDate(WorkingRecord& record, WorkingField field,
                                    const DeclarationRow& row, const char* column) {
    record.setNull(field);
    const std::string& text = row.column(column);
    if (text.empty()) return;
    if (const auto date = parseSheetDate(text)) {
        record.setDate(field, *date);
        return;
    }
    note(row, column, text, ReportKind::DateNotConverted,
         "Data nie w formacie dd-mm-rrrr; pole " + fieldName(field) + " pozostaje puste");
}

void DeclarationWriter::convertPostal(WorkingRecord& record, WorkingField field,
                                      const DeclarationRow& row, const char* column) {
    record.setNull(field);
    const std::string& text = row.column(column);
    if (text.empty()) return;
    if (const auto code = convertPostalCode(text)) {
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
        const bool ambiguous = communeCode.outcome == LookupOutcome::Ambiguous;
        std::string message =
            byCity ? "Gmina miejscowości " + inQuotes(city)
                   : "Gmina " + inQuotes(commune) +
                         (city.empty() ? "" : " (miejscowość " + inQuotes(city) + ")");
        message += ambiguous ? " niejednoznaczna w słowniku" : " nie znaleziona w słowniku";
        message += "; pole " + fieldName(communeField) + " pozostaje puste";
        note(row, byCity ? cityColumn : communeColumn, byCity ? city : commune,
             ambiguous ? ReportKind::CommuneAmbiguous : ReportKind::CommuneNotFound,
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
    r.setText(WorkingField::NR_INSTALACJI, settings_.nrInstalacji);
    r.setText(WorkingField::LID_DEKL, std::to_string(number));
    copyText(r, WorkingField::RODZAJ_LISTY, row, "A");
    copyText(r, WorkingField::NAZWISKO, row, "C");
    copyText(r, WorkingField::IMIE, row, "D");
    copyText(r, WorkingField::PESEL, row, "B");
    convertDate(r, WorkingField::DATA_UR, row, "F");
    copyText(r, WorkingField::PLEC, row, "G");
    copyText(r, WorkingField::FL_CUDZ, row, "N");
    r.setText(WorkingField::KOD_PLATNIKA, settings_.kodOddzialuNFZ);

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
    r.setText(WorkingField::ZGL_OSOBISTE, row.column("H") == "C" ? "N" : "T");
    r.setText(WorkingField::RODZAJ_UB, "00");
    convertDate(r, WorkingField::DATA_PODPISANIA, row, "I");
    r.setText(WorkingField::GODZ_PODPISANIA, "00");
    copyText(r, WorkingField::NR_PRAWA_LEK, row, "AD");
    copyText(r, WorkingField::PESEL_LEK, row, "AE");
    copyText(r, WorkingField::NAZWISKO_LEK, row, "AF");
    copyText(r, WorkingField::IMIONA_LEK, row, "AG");
    copyText(r, WorkingField::FLAGA_TYPU_PODOP, row, "K");
    r.setText(WorkingField::FL_WYCOF, "0");
    r.setDateTime(WorkingField::DATA_MOD, clock_());
    r.setDateTime(WorkingField::DATA_WPROW, clock_());
    copyText(r, WorkingField::FL_BEZDOMNY, row, "O");
    // Preset to "N", then taken from AL: an empty AL leaves it empty.
    r.setText(WorkingField::FL_CUDZ_ZGL, "N");
    copyText(r, WorkingField::FL_CUDZ_ZGL, row, "AL");
    copyText(r, WorkingField::NAZWISKO_ZGL, row, "AH");
    copyText(r, WorkingField::IMIE_ZGL, row, "AI");
    copyText(r, WorkingField::PESEL_ZGL, row, "AJ");
    convertDate(r, WorkingField::DATA_UR_ZGL, row, "AK");

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
    r.setText(WorkingField::WERSJA_DEKL, "1");
}

} // namespace xls2qdp
