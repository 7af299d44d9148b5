// SPDX-License-Identifier: MIT
// The fields of the working table xls_imp.db, in the order a row fills them.
// A text field's width is the size of the package field it feeds (the
// widest one where it feeds several), or a width of its own where it feeds
// none. SQLite never cuts a text, so the package layer sees every value
// whole; the width tells the import report which values the package will cut.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace xls2qdp::store {

enum class FieldKind { Text, Date, DateTime };

struct WorkingFieldInfo {
    std::string_view name;
    FieldKind kind;
    int width; // characters, text fields only
};

// clang-format off
enum class WorkingField : int {
    NR_INSTALACJI, LID_DEKL, RODZAJ_LISTY, NAZWISKO, IMIE, PESEL, DATA_UR, PLEC,
    NR_KARTY_CUDZ, NR_PASZP_CUDZ, FL_CUDZ, KOD_PLATNIKA, MIASTO_ST, KOD_GMINY_PAC_ST,
    KOD_MIASTA_PAC_ST, KOD_POCZT_ST, POCZTA_ST, ULICA_ST, NR_DOMU_ST, NR_LOK_ST, NR_TELEF_ST,
    MIASTO_MIE, KOD_GMINY_PAC_MIE, KOD_MIASTA_PAC_MIE, KOD_POCZT_MIE, POCZTA_MIE, ULICA_MIE,
    NR_DOMU_MIE, NR_LOK_MIE, NR_TELEF_MIE, PESEL_OPIEKUNA, ZGL_OSOBISTE, RODZAJ_UB,
    DATA_PODPISANIA, GODZ_PODPISANIA, NR_PRAWA_LEK, PESEL_LEK, NAZWISKO_LEK, IMIONA_LEK,
    FLAGA_TYPU_PODOP, FL_WYCOF, PRZYCZYNA_WYCOF, DATA_WYCOF, DATA_MOD, DATA_WPROW, DATA_EXP,
    NR_PLAC, FL_BEZDOMNY, KOD_SWIADCZ_POLOZ, KOD_SWIADCZ_SROD, FL_CUDZ_ZGL, NR_PASZP_CUDZ_ZGL,
    NR_KARTY_CUDZ_ZGL, NAZWISKO_ZGL, IMIE_ZGL, PESEL_ZGL, DATA_UR_ZGL, DATA_WAZN_OD,
    DATA_WAZN_DO, FL_STUDENT, FL_CUDZ_WYCOF, NR_PASZP_CUDZ_WYCOF, NR_KARTY_CUDZ_WYCOF,
    NAZWISKO_WYCOF, IMIE_WYCOF, PESEL_WYCOF, NAZWISKO_RODOWE, TYTUL_UBEZP, NR_WYBORU,
    WERSJA_DEKL,
};

inline constexpr std::array<WorkingFieldInfo, 70> kWorkingFields{{
    {"NR_INSTALACJI", FieldKind::Text, 9},
    {"LID_DEKL", FieldKind::Text, 10},          // KOD_DEKLARACJI
    {"RODZAJ_LISTY", FieldKind::Text, 2},
    {"NAZWISKO", FieldKind::Text, 40},
    {"IMIE", FieldKind::Text, 24},
    {"PESEL", FieldKind::Text, 11},
    {"DATA_UR", FieldKind::Date, 0},
    {"PLEC", FieldKind::Text, 1},
    {"NR_KARTY_CUDZ", FieldKind::Text, 15},     // NR_KARTY
    {"NR_PASZP_CUDZ", FieldKind::Text, 15},     // NR_PASZPORTU
    {"FL_CUDZ", FieldKind::Text, 1},            // FL_CUDZOZIEMIEC
    {"KOD_PLATNIKA", FieldKind::Text, 5},       // KCH_KOD
    {"MIASTO_ST", FieldKind::Text, 30},         // MIASTO_MEL
    {"KOD_GMINY_PAC_ST", FieldKind::Text, 7},
    {"KOD_MIASTA_PAC_ST", FieldKind::Text, 7},
    {"KOD_POCZT_ST", FieldKind::Text, 6},
    {"POCZTA_ST", FieldKind::Text, 30},
    {"ULICA_ST", FieldKind::Text, 30},
    {"NR_DOMU_ST", FieldKind::Text, 10},
    {"NR_LOK_ST", FieldKind::Text, 7},
    {"NR_TELEF_ST", FieldKind::Text, 15},
    {"MIASTO_MIE", FieldKind::Text, 30},
    {"KOD_GMINY_PAC_MIE", FieldKind::Text, 7},
    {"KOD_MIASTA_PAC_MIE", FieldKind::Text, 7},
    {"KOD_POCZT_MIE", FieldKind::Text, 6},
    {"POCZTA_MIE", FieldKind::Text, 30},
    {"ULICA_MIE", FieldKind::Text, 30},
    {"NR_DOMU_MIE", FieldKind::Text, 10},
    {"NR_LOK_MIE", FieldKind::Text, 7},
    {"NR_TELEF_MIE", FieldKind::Text, 15},
    {"PESEL_OPIEKUNA", FieldKind::Text, 11},    // feeds no package field
    {"ZGL_OSOBISTE", FieldKind::Text, 1},       // R_ZG_UB
    {"RODZAJ_UB", FieldKind::Text, 2},
    {"DATA_PODPISANIA", FieldKind::Date, 0},
    {"GODZ_PODPISANIA", FieldKind::Text, 2},
    {"NR_PRAWA_LEK", FieldKind::Text, 10},      // LEK_NR_PRAWA
    {"PESEL_LEK", FieldKind::Text, 11},         // LEK_PESEL
    {"NAZWISKO_LEK", FieldKind::Text, 30},      // LEK_NAZWISKO
    {"IMIONA_LEK", FieldKind::Text, 24},        // LEK_IMIE
    {"FLAGA_TYPU_PODOP", FieldKind::Text, 1},   // TYP_PODOP
    {"FL_WYCOF", FieldKind::Text, 1},
    {"PRZYCZYNA_WYCOF", FieldKind::Text, 2},
    {"DATA_WYCOF", FieldKind::Date, 0},
    {"DATA_MOD", FieldKind::DateTime, 0},
    {"DATA_WPROW", FieldKind::DateTime, 0},
    {"DATA_EXP", FieldKind::Date, 0},
    {"NR_PLAC", FieldKind::Text, 2},
    {"FL_BEZDOMNY", FieldKind::Text, 1},        // FL_BRAK_ADR
    {"KOD_SWIADCZ_POLOZ", FieldKind::Text, 16},
    {"KOD_SWIADCZ_SROD", FieldKind::Text, 16},
    {"FL_CUDZ_ZGL", FieldKind::Text, 1},        // FL_CUDZOZIEMIEC of the declarant
    {"NR_PASZP_CUDZ_ZGL", FieldKind::Text, 15},
    {"NR_KARTY_CUDZ_ZGL", FieldKind::Text, 15},
    {"NAZWISKO_ZGL", FieldKind::Text, 40},
    {"IMIE_ZGL", FieldKind::Text, 24},
    {"PESEL_ZGL", FieldKind::Text, 11},
    {"DATA_UR_ZGL", FieldKind::Date, 0},
    {"DATA_WAZN_OD", FieldKind::Date, 0},       // DATA_OD
    {"DATA_WAZN_DO", FieldKind::Date, 0},       // DATA_DO
    {"FL_STUDENT", FieldKind::Text, 1},
    {"FL_CUDZ_WYCOF", FieldKind::Text, 1},
    {"NR_PASZP_CUDZ_WYCOF", FieldKind::Text, 15},
    {"NR_KARTY_CUDZ_WYCOF", FieldKind::Text, 15},
    {"NAZWISKO_WYCOF", FieldKind::Text, 40},
    {"IMIE_WYCOF", FieldKind::Text, 24},
    {"PESEL_WYCOF", FieldKind::Text, 11},
    {"NAZWISKO_RODOWE", FieldKind::Text, 22},
    {"TYTUL_UBEZP", FieldKind::Text, 1},
    {"NR_WYBORU", FieldKind::Text, 1},
    {"WERSJA_DEKL", FieldKind::Text, 1},
}};
// clang-format on

inline constexpr std::size_t kWorkingFieldCount = kWorkingFields.size();
static_assert(static_cast<std::size_t>(WorkingField::WERSJA_DEKL) + 1 == kWorkingFieldCount);

constexpr const WorkingFieldInfo& fieldInfo(WorkingField field) {
    return kWorkingFields[static_cast<std::size_t>(field)];
}

// The field of this name (exact, upper case), if there is one.
std::optional<WorkingField> workingFieldByName(std::string_view name);

} // namespace xls2qdp::store
