// SPDX-License-Identifier: MIT
#include "declarations/PozSchema.h"

#include <algorithm>
#include <array>

namespace xls2qdp {
namespace {

using S = PozSource;

constexpr std::array kInstalacja = std::to_array<PozField>({
    {"KOD_SWIADCZ", "C", 16, "Kod świadczeniodawcy", S::ProviderCode},
    {"KOD_UMOWY", "C", 24, "Kod umowy z KCH"},
    {"ROK", "C", 4, "Rozliczenie za rok"},
    {"MIESIAC", "C", 2, "Rozliczenie za miesiąc"},
    {"NR_INST_RUM", "C", 9, "Numer instytucji RUM", S::Installation},
    {"KOD_EKSPORTU", "N", 10, "Identyfikator eksportu"},
    {"NAZWA_JEDN", "C", 60, "Nazwa jednostki"},
    {"KOD_POCZT", "C", 6, "Adres - kod pocztowy"},
    {"MIASTO", "C", 30, "Adres - nazwa miasta"},
    {"KOD_MIASTA", "C", 7, "Adres - kod miasta"},
    {"KOD_GMINY", "C", 7, "Adres - kod gminy"},
    {"ULICA", "C", 50, "Adres - ulica"},
    {"NR_DOMU", "C", 10, "Adres - numer domu"},
    {"NR_LOKALU", "C", 7, "Adres - numer lokalu"},
    {"RODZAJ_EXP", "C", 1, "Rodzaj eksportu: C - całościowy, P - przyrostowy", S::Empty, {}, 14},
    {"RODZAJ_APL", "C", 4,
     "Rodzaj aplikacji wysyłającej (np. WXLS - import z arkusza XLS, WGAB - program gabinetowy)",
     S::Constant, kPozApplicationKind, 15},
    {"WERSJA_APL", "C", 8, "Wersja aplikacji wysyłającej", S::Constant, kPozApplicationVersion, 16},
});

constexpr std::array kDeklaracje = std::to_array<PozField>({
    {"KOD_SWIADCZ", "C", 16, "Kod świadczeniodawcy", S::ProviderCode},
    {"NR_INSTALACJI", "C", 9, "Numer instalacji", S::Installation},
    {"KOD_DEKLARACJI", "C", 10, "Identyfikator deklaracji", S::TableText, "LID_DEKL"},
    {"RODZAJ_LISTY", "C", 2, "Kod typu listy POZ", S::TableText, "RODZAJ_LISTY"},
    {"NAZWISKO", "C", 40, "Nazwisko podopiecznego", S::TableText, "NAZWISKO"},
    {"IMIE", "C", 24, "Imię podopiecznego", S::TableText, "IMIE"},
    {"PESEL", "C", 11, "Numer PESEL podopiecznego", S::TableText, "PESEL"},
    {"DATA_UR", "D", 12, "Data urodzenia podopiecznego", S::TableDate, "DATA_UR"},
    {"PLEC", "C", 1, "Płeć podopiecznego", S::TableText, "PLEC"},
    {"FL_CUDZOZIEMIEC", "C", 1, "Flaga cudzoziemiec (T - Tak, N - Nie)", S::TableText, "FL_CUDZ"},
    {"NR_DOK_UB", "C", 10, "Nr dokumentu ubezpieczeniowego"},
    {"KCH_KOD", "C", 5, "Kod OW NFZ", S::TableText, "KOD_PLATNIKA"},
    {"KCH_DATA_OD", "D", 12, "Od kiedy przynależy do OW NFZ"},
    {"POPRZ_KCH_ KOD", "C", 5, "Kod poprzedniego OW NFZ"},
    {"MIASTO_MEL", "C", 30, "Nazwa miasta stałego zameldowania", S::TableText, "MIASTO_ST"},
    {"KOD_MIASTA_MEL", "C", 7, "Kod miasta stałego zameldowania", S::TableText,
     "KOD_MIASTA_PAC_ST"},
    {"KOD_GMINY_MEL", "C", 7, "Kod gminy stałego zameldowania", S::TableText, "KOD_GMINY_PAC_ST"},
    {"KOD_POCZT_MEL", "C", 6, "Kod pocztowy stałego zameldowania", S::TableText, "KOD_POCZT_ST"},
    {"POCZTA_MEL", "C", 30, "Poczta stałego zameldowania", S::TableText, "POCZTA_ST"},
    {"ULICA_MEL", "C", 30, "Nazwa ulicy stałego zameldowania", S::TableText, "ULICA_ST"},
    {"NR_DOMU_MEL", "C", 10, "Numer domu stałego zameldowania", S::TableText, "NR_DOMU_ST"},
    {"NR_LOKALU_MEL", "C", 7, "Numer lokalu stałego zameldowania", S::TableText, "NR_LOK_ST"},
    {"TELEFON_MEL", "C", 15, "Numer telefonu w msc. stałego zameldowania", S::TableText,
     "NR_TELEF_ST"},
    {"MIASTO_MIE", "C", 30, "Nazwa miasta zamieszkania", S::TableText, "MIASTO_MIE"},
    {"KOD_MIASTA_MIE", "C", 7, "Kod miasta zamieszkania", S::TableText, "KOD_MIASTA_PAC_MIE"},
    {"KOD_GMINY_MIE", "C", 7, "Kod gminy zamieszkania", S::TableText, "KOD_GMINY_PAC_MIE"},
    {"KOD_POCZT_MIE", "C", 6, "Kod pocztowy zamieszkania", S::TableText, "KOD_POCZT_MIE"},
    {"POCZTA_MIE", "C", 30, "Poczta zamieszkania", S::TableText, "POCZTA_MIE"},
    {"ULICA_MIE", "C", 30, "Nazwa ulicy zamieszkania", S::TableText, "ULICA_MIE"},
    {"NR_DOMU_MIE", "C", 10, "Numer domu zamieszkania", S::TableText, "NR_DOMU_MIE"},
    {"NR_LOKALU_MIE", "C", 7, "Numer lokalu zamieszkania", S::TableText, "NR_LOK_MIE"},
    {"TELEFON_MIE", "C", 15, "Numer telefonu w msc. Zamieszkania", S::TableText, "NR_TELEF_MIE"},
    {"R_ZG_UB", "C", 1, "Rodzaj zgłoszenia ubezpieczonego (T/N)", S::TableText, "ZGL_OSOBISTE"},
    {"RODZAJ_UB", "C", 2, "Rodzaj ubezpieczenia / kod członka rodziny", S::TableText, "RODZAJ_UB"},
    {"DATA_PODPISANIA", "D", 12, "Data podpisania deklaracji", S::TableDate, "DATA_PODPISANIA"},
    {"GODZ_PODPISANIA", "C", 2, "Godz. Podpisania deklaracji (bez minut)", S::TableText,
     "GODZ_PODPISANIA"},
    {"LEK_NAZWISKO", "C", 30, "Nazwisko lekarza", S::TableText, "NAZWISKO_LEK"},
    {"LEK_IMIE", "C", 24, "Imię lekarza", S::TableText, "IMIONA_LEK"},
    {"LEK_NR_PRAWA", "C", 10, "Numer prawa wykonywania zawodu", S::TableText, "NR_PRAWA_LEK"},
    {"LEK_PESEL", "C", 11, "Numer PESEL lekarza", S::TableText, "PESEL_LEK"},
    {"LEK_NR_RUM", "C", 8, "Nr personelu RUM"},
    {"TYP_PODOP", "C", 1, "Podopieczny DPS, DMD,...", S::TableText, "FLAGA_TYPU_PODOP"},
    {"FL_STUDENT", "C", 1, "Student / uczeń w miejscu nauki / zamieszkania (patrz uwagi)",
     S::TableText, "FL_STUDENT"},
    {"DATA_OD", "D", 12, "Data ważności deklaracji ucznia / studenta", S::TableDate,
     "DATA_WAZN_OD"},
    {"DATA_DO", "D", 12, "Data ważności deklaracji ucznia / studenta", S::TableDate,
     "DATA_WAZN_DO"},
    {"FL_WYCOF", "C", 1, "Flaga wycofania (patrz uwagi)", S::TableText, "FL_WYCOF"},
    {"PRZYCZ_WYCOF", "C", 2, "Przyczyna wyrejestrowania (R - rezygnacja, Z - zgon)"},
    {"DATA_WYCOF", "D", 12, "Data wycofania deklaracji", S::TableDate, "DATA_WYCOF"},
    {"FL_MODYF", "C", 1, "Flaga modyfikacji (0 - niemodyfikowana, 1 - modyfikowana)", S::Constant,
     "1"},
    {"DATA_MODYF", "D", 12, "Data modyfikacji", S::TableDate, "DATA_MOD"},
    {"DATA_WPR", "D", 12, "Data wprowadzenia", S::TableDate, "DATA_WPROW"},
    {"DATA_EXP", "D", 12, "Data eksportu", S::TableDate, "DATA_EXP"},
    {"NR_WERSJI", "N", 5, "Numer wersji danych", S::Constant, "1"},
    {"NR_PLAC", "C", 2, "Lokalny identyfikator placówki (00 - <placówka nieznana>)", S::TableText,
     "NR_PLAC", 53},
    {"FL_BRAK_ADR", "C", 1, "Brak adresu - (T/N)", S::TableText, "FL_BEZDOMNY", 54},
    {"NR_DUPLIKATU", "C", 2, "Numer duplikatu dokumentu ubezpieczeniowego", S::Empty, {}, 55},
    {"KOD_SWIADCZ_POLOZ", "C", 16, "Kod świadczeniodawcy położnej", S::TableText,
     "KOD_SWIADCZ_POLOZ", 56},
    {"KOD_SWIADCZ_SROD", "C", 16, "Kod świadczeniodawcy pielęgniarki środowiskowej", S::TableText,
     "KOD_SWIADCZ_SROD", 57},
    {"NAZWISKO_RODOWE", "C", 22, "Nazwisko rodowe pacjenta", S::TableText, "NAZWISKO_RODOWE", 58},
    {"TYTUL_UBEZP", "C", 1, "Tytuł ubezpieczenia", S::TableText, "TYTUL_UBEZP", 58},
    {"NR_WYBORU", "C", 1, "Który wybór w roku", S::TableText, "NR_WYBORU", 58},
    {"WERSJA_DEKL", "C", 1, "Wersja wzoru deklaracji", S::TableText, "WERSJA_DEKL", 58},
});

constexpr std::array kZglaszajacy = std::to_array<PozField>({
    {"KOD_SWIADCZ", "C", 16, "Kod świadczeniodawcy", S::ProviderCode},
    {"NR_INSTALACJI", "C", 9, "Numer instalacji", S::Installation},
    {"KOD_DEKLARACJI", "C", 10, "Identyfikator deklaracji", S::TableText, "LID_DEKL"},
    {"NAZWISKO", "C", 40, "Nazwisko zgłaszającego", S::TableText, "NAZWISKO_ZGL"},
    {"IMIE", "C", 24, "Imię zgłaszającego", S::TableText, "IMIE_ZGL"},
    {"PESEL", "C", 11, "Numer Pesel zgłaszającego", S::TableText, "PESEL_ZGL"},
    {"FL_CUDZOZIEMIEC", "C", 1, "Flaga cudzoziemiec dla zgł.(T - Tak, N - Nie)", S::TableText,
     "FL_CUDZ_ZGL"},
    {"DATA_UR", "D", 12, "Data urodzenia zgłaszającego", S::TableDate, "DATA_UR_ZGL"},
});

constexpr std::array kWycofujacy = std::to_array<PozField>({
    {"KOD_SWIADCZ", "C", 16, "Kod świadczeniodawcy", S::ProviderCode},
    {"NR_INSTALACJI", "C", 9, "Numer instalacji", S::Installation},
    {"KOD_DEKLARACJI", "C", 10, "Identyfikator deklaracji", S::TableText, "LID_DEKL"},
    {"NAZWISKO", "C", 40, "Nazwisko wycofującego", S::TableText, "NAZWISKO_WYCOF"},
    {"IMIE", "C", 24, "Imię wycofującego", S::TableText, "IMIE_WYCOF"},
    {"PESEL", "C", 11, "Numer Pesel wycofującego", S::TableText, "PESEL_WYCOF"},
    {"FL_CUDZOZIEMIEC", "C", 1, "Flaga cudzoziemiec dla wycof.(T - Tak, N - Nie)", S::TableText,
     "FL_CUDZ_WYCOF"},
    {"DATA_UR", "D", 12, "Data urodzenia wycofującego"},
});

constexpr std::array kCudzoziemcy = std::to_array<PozField>({
    {"KOD_SWIADCZ", "C", 16, "Kod świadczeniodawcy", S::ProviderCode},
    {"NR_INSTALACJI", "C", 9, "Numer instalacji", S::Installation},
    {"KOD_DEKLARACJI", "C", 10, "Identyfikator deklaracji", S::TableText, "LID_DEKL"},
    {"NR_PASZPORTU", "C", 15, "Numer paszportu pacjenta", S::TableText, "NR_PASZP_CUDZ", -1,
     "FL_CUDZ"},
    {"NR_KARTY", "C", 15, "Numer karty stałego pobytu pacjenta", S::TableText, "NR_KARTY_CUDZ", -1,
     "FL_CUDZ"},
    {"NR_PASZP_ZGL", "C", 15, "Numer paszportu zgłaszającego", S::TableText, "NR_PASZP_CUDZ_ZGL",
     -1, "FL_CUDZ_ZGL"},
    {"NR_KARTY_ZGL", "C", 15, "Numer karty stałego pobytu zgłaszającego", S::TableText,
     "NR_KARTY_CUDZ_ZGL", -1, "FL_CUDZ_ZGL"},
    {"NR_PASZP_WYCOF", "C", 15, "Numer paszportu wycofującego", S::TableText, "NR_PASZP_CUDZ_WYCOF",
     -1, "FL_CUDZ_WYCOF"},
    {"NR_KARTY_WYCOF", "C", 15, "Numer karty stałego pobytu wycofującego", S::TableText,
     "NR_KARTY_CUDZ_WYCOF", -1, "FL_CUDZ_WYCOF"},
});

constexpr PozSectionSchema kInstalacjaSchema{
    "INSTALACJA",
    "Sekcja zawiera informacje o instytucjach, dla których są eksportowane deklaracje POZ",
    kInstalacja};
constexpr PozSectionSchema kDeklaracjeSchema{
    "DEKLARACJE", "Sekcja zawiera informacje o deklaracjach POZ", kDeklaracje};
constexpr PozSectionSchema kZglaszajacySchema{
    "ZGLASZAJACY", "Sekcja zawiera dane osoby ubezpieczonej, zgłaszającej członka", kZglaszajacy};
constexpr PozSectionSchema kWycofujacySchema{
    "WYCOFUJACY", "Sekcja zawiera dane osoby wycofującej deklarację", kWycofujacy};
constexpr PozSectionSchema kCudzoziemcySchema{
    "CUDZOZIEMCY",
    "Sekcja zawiera dane dodatkowe dla pacjentów i zgłaszających, którzy są cudzoziemcami",
    kCudzoziemcy};

} // namespace

const PozSectionSchema& pozInstalacjaSchema() {
    return kInstalacjaSchema;
}
const PozSectionSchema& pozDeklaracjeSchema() {
    return kDeklaracjeSchema;
}
const PozSectionSchema& pozZglaszajacySchema() {
    return kZglaszajacySchema;
}
const PozSectionSchema& pozWycofujacySchema() {
    return kWycofujacySchema;
}
const PozSectionSchema& pozCudzoziemcySchema() {
    return kCudzoziemcySchema;
}

PozFieldLimits pozFieldLimits(int version, int variant) {
    if (version == 4) return variant == 0 ? PozFieldLimits{17, 58} : PozFieldLimits{17, 62};
    if (version == 1) {
        switch (variant) {
        case 0:
            return {14, 53};
        case 1:
            return {14, 54};
        case 2:
        case 3:
            return {15, 56};
        case 4:
            return {15, 57};
        case 5:
            return {17, 57};
        default:
            return {17, 62};
        }
    }
    return {17, 62};
}

std::vector<std::string_view> pozWorkingTableFieldsRead() {
    std::vector<std::string_view> names = {"ZGL_OSOBISTE", "FL_WYCOF", "FL_CUDZ", "FL_CUDZ_ZGL",
                                           "FL_CUDZ_WYCOF"};
    for (const PozSectionSchema* schema :
         {&kInstalacjaSchema, &kDeklaracjeSchema, &kZglaszajacySchema, &kWycofujacySchema,
          &kCudzoziemcySchema})
        for (const PozField& field : schema->fields)
            if (field.from == PozSource::TableText || field.from == PozSource::TableDate)
                names.push_back(field.source);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace xls2qdp
