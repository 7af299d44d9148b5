// SPDX-License-Identifier: MIT
// The names the declaration template carries in row 6 for all its columns,
// A to AL. The first eleven are the ones the import checks; the others are
// those of the example workbook and of the generated workbooks. The import
// does not require them, but a name found in the wrong column tells that the
// columns were moved.
#pragma once

#include "import/DeclarationRow.h"

#include <array>
#include <string_view>

namespace xls2qdp {

inline constexpr std::array<std::string_view, kDeclarationColumns> kTemplateHeaders = {
    "Rodzaj_listy",
    "PESEL",
    "Nazwisko",
    "Imię",
    "Nazwisko_rodowe",
    "Data_urodzenia",
    "Płeć",
    "Tytuł_ubezp",
    "Data_zgłoszenia",
    "Nr_wyboru",
    "Status_podopiecznego",
    "Uczeń_student",
    "Rok_szkolny",
    "Cudzoziemiec",
    "Bezdomny",
    "Kod_poczt_zam",
    "Miejscowość_zam",
    "Ulica_zam",
    "Nr_domu_zam",
    "Nr_lokalu_zam",
    "Gmina_zam",
    "Telefon_zam",
    "Kod_poczt_zamieszk",
    "Miejscowość_zamieszk",
    "Ulica_zamieszk",
    "Nr_domu_zamieszk",
    "Nr_lokalu_zamieszk",
    "Gmina_zamieszk",
    "Telefon_zamieszk",
    "Nr_prawa_lek",
    "PESEL_lek",
    "Nazwisko_lek",
    "Imiona_lek",
    "Nazwisko_zgł",
    "Imię_zgł",
    "PESEL_zgł",
    "Data_ur_zgł",
    "Cudzoziemiec_zgł",
};

} // namespace xls2qdp
