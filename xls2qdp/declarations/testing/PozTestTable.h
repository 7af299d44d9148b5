// SPDX-License-Identifier: MIT
// A small working table for the POZ package tests: every field of the
// importer's working table, and rows that cover the section choices.
#pragma once

#include "declarations/InMemoryWorkingTable.h"

namespace xls2qdp::testing {

inline InMemoryWorkingTable emptyPozTable() {
    return InMemoryWorkingTable({
        "NR_INSTALACJI",
        "LID_DEKL",
        "RODZAJ_LISTY",
        "NAZWISKO",
        "IMIE",
        "PESEL",
        "DATA_UR",
        "PLEC",
        "NR_KARTY_CUDZ",
        "NR_PASZP_CUDZ",
        "FL_CUDZ",
        "KOD_PLATNIKA",
        "MIASTO_ST",
        "KOD_GMINY_PAC_ST",
        "KOD_MIASTA_PAC_ST",
        "KOD_POCZT_ST",
        "POCZTA_ST",
        "ULICA_ST",
        "NR_DOMU_ST",
        "NR_LOK_ST",
        "NR_TELEF_ST",
        "MIASTO_MIE",
        "KOD_GMINY_PAC_MIE",
        "KOD_MIASTA_PAC_MIE",
        "KOD_POCZT_MIE",
        "POCZTA_MIE",
        "ULICA_MIE",
        "NR_DOMU_MIE",
        "NR_LOK_MIE",
        "NR_TELEF_MIE",
        "PESEL_OPIEKUNA",
        "ZGL_OSOBISTE",
        "RODZAJ_UB",
        "DATA_PODPISANIA",
        "GODZ_PODPISANIA",
        "NR_PRAWA_LEK",
        "PESEL_LEK",
        "NAZWISKO_LEK",
        "IMIONA_LEK",
        "FLAGA_TYPU_PODOP",
        "FL_WYCOF",
        "PRZYCZYNA_WYCOF",
        "DATA_WYCOF",
        "DATA_MOD",
        "DATA_WPROW",
        "DATA_EXP",
        "NR_PLAC",
        "FL_BEZDOMNY",
        "KOD_SWIADCZ_POLOZ",
        "KOD_SWIADCZ_SROD",
        "FL_CUDZ_ZGL",
        "NR_PASZP_CUDZ_ZGL",
        "NR_KARTY_CUDZ_ZGL",
        "NAZWISKO_ZGL",
        "IMIE_ZGL",
        "PESEL_ZGL",
        "DATA_UR_ZGL",
        "DATA_WAZN_OD",
        "DATA_WAZN_DO",
        "FL_STUDENT",
        "FL_CUDZ_WYCOF",
        "NR_PASZP_CUDZ_WYCOF",
        "NR_KARTY_CUDZ_WYCOF",
        "NAZWISKO_WYCOF",
        "IMIE_WYCOF",
        "PESEL_WYCOF",
        "NAZWISKO_RODOWE",
        "TYTUL_UBEZP",
        "NR_WYBORU",
        "WERSJA_DEKL",
    });
}

// Four declarations:
//  1: declared by someone else (ZGL_OSOBISTE "N"), not withdrawn, the
//     patient a foreigner; Polish letters; a surname longer than its field;
//     some dates null.
//  2: in person, FL_WYCOF "1", only the declarant a foreigner.
//  3: in person, FL_WYCOF empty, only the withdrawing person a foreigner.
//  4: declared by someone else with every declarant field empty, no flags.
inline InMemoryWorkingTable smallPozTable() {
    InMemoryWorkingTable table = emptyPozTable();
    table.addRow({{"NR_INSTALACJI", "000123"},
                  {"LID_DEKL", "1"},
                  {"RODZAJ_LISTY", "L"},
                  {"NAZWISKO", "Żółkiewska-Brzęczyszczykiewicz-Grzegorzewska-Ąę"},
                  {"IMIE", "Łucja"},
                  {"PESEL", "04231512345"},
                  {"DATA_UR", "15-03-2004"},
                  {"PLEC", "K"},
                  {"FL_CUDZ", "T"},
                  {"NR_PASZP_CUDZ", "PA123"},
                  {"NR_KARTY_CUDZ", "KA456"},
                  {"KOD_PLATNIKA", "07"},
                  {"MIASTO_ST", "Łódź"},
                  {"KOD_GMINY_PAC_ST", "1061011"},
                  {"KOD_MIASTA_PAC_ST", "0959045"},
                  {"KOD_POCZT_ST", "90-001"},
                  {"ULICA_ST", "Piotrkowska"},
                  {"NR_DOMU_ST", "12"},
                  {"ZGL_OSOBISTE", "N"},
                  {"RODZAJ_UB", "00"},
                  {"DATA_PODPISANIA", "01-02-2005"},
                  {"GODZ_PODPISANIA", "00"},
                  {"NAZWISKO_LEK", "Nowak"},
                  {"IMIONA_LEK", "Jan"},
                  {"FL_WYCOF", "0"},
                  {"DATA_MOD", "03-02-2005"},
                  {"DATA_WPROW", "03-02-2005"},
                  {"FL_BEZDOMNY", "N"},
                  {"FL_CUDZ_ZGL", "N"},
                  {"NAZWISKO_ZGL", "Żółkiewski"},
                  {"IMIE_ZGL", "Paweł"},
                  {"PESEL_ZGL", "70010112345"},
                  {"DATA_UR_ZGL", "01-01-1970"},
                  {"NR_PASZP_CUDZ_ZGL", "never"},
                  {"TYTUL_UBEZP", "C"},
                  {"NR_WYBORU", "1"},
                  {"NAZWISKO_RODOWE", "Wiśniewska"},
                  {"WERSJA_DEKL", "1"}});
    table.addRow({{"LID_DEKL", "2"},
                  {"NAZWISKO", "Kowalski"},
                  {"ZGL_OSOBISTE", "T"},
                  {"FL_WYCOF", "1"},
                  {"FL_CUDZ", "N"},
                  {"FL_CUDZ_ZGL", "T"},
                  {"NR_PASZP_CUDZ", "never"},
                  {"NR_PASZP_CUDZ_ZGL", "PZ1"},
                  {"NR_KARTY_CUDZ_ZGL", "KZ2"},
                  {"NAZWISKO_WYCOF", "Wycofujący"},
                  {"FL_CUDZ_WYCOF", "N"}});
    table.addRow({{"LID_DEKL", "3"},
                  {"NAZWISKO", "Nowak"},
                  {"ZGL_OSOBISTE", "T"},
                  {"FL_CUDZ_WYCOF", "T"},
                  {"NR_PASZP_CUDZ_WYCOF", "PW1"},
                  {"NR_KARTY_CUDZ_WYCOF", "KW2"}});
    table.addRow(
        {{"LID_DEKL", "4"}, {"NAZWISKO", "Zieliński"}, {"ZGL_OSOBISTE", "N"}, {"FL_WYCOF", "0"}});
    return table;
}

} // namespace xls2qdp::testing
