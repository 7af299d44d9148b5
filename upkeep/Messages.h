// SPDX-License-Identifier: MIT
// Every text the tool prints. Lines end in CR LF on every platform.
#pragma once

#include <string>
#include <string_view>

namespace upkeep::messages {

inline constexpr std::string_view kNewline = "\r\n";

inline constexpr std::string_view kErrorPrefix = "Blad: ";
inline constexpr std::string_view kWarningPrefix = "Uwaga: ";
inline constexpr std::string_view kExitCodeLine = "Error: ";

inline constexpr std::string_view kOneOperationOnly =
    "Mozna wywolac tylko jedna operacje na raz. Niedozwolona operacja: ";
inline constexpr std::string_view kNoBackupFile = "Nie podano nazwy pliku do zarchiwizowania.";
inline constexpr std::string_view kBadErrorlevel = "Podano zly kod errorlevel: ";
inline constexpr std::string_view kGivenTwice = "Wielokrotne podanie parametru ";
inline constexpr std::string_view kEmptyValue = "Nie podano wymaganej wartosci w parametrze ";
inline constexpr std::string_view kUnknownArgument = "Bledny parametr wywolania: ";
inline constexpr std::string_view kNoOperation = "Nie podano zadnej operacji do wykonania.";
inline constexpr std::string_view kMissingParameter = "Nie podano parametru ";
inline constexpr std::string_view kForOperation = " wymaganego dla operacji ";
inline constexpr std::string_view kBadRootKey =
    "Nieprawidlowa nazwa klucza glownego podanego w parametrze KEY:";
// DELKEY of a root key itself would delete every key below it.
inline constexpr std::string_view kWholeRootRefused =
    "Nie mozna usunac calego klucza glownego podanego w parametrze KEY:";

inline std::string unableToWrite(std::string_view file) {
    return "Unable to write to " + std::string(file);
}
// DELINI with NAME: succeeds even when it could not change the file.
inline std::string fileLeftUnchanged(std::string_view file, std::string_view reason) {
    return "nie mozna zmienic pliku " + std::string(file) + " (" + std::string(reason) +
           "); plik pozostawiono bez zmian";
}
inline std::string failedToSetData(std::string_view valueName) {
    return "Failed to set data for '" + std::string(valueName) + "'";
}

// Printed by "?": an empty line, the description, an empty line, the usage and
// an empty line.
inline constexpr std::string_view kHelpText =
    "\r\n"
    "UPKEEP - Program narzedziowy do wykonywania operacji serwisowych:\r\n"
    "   Rejestr i pliki INI: kasowanie / ustawianie kluczy;\r\n"
    "   kopia zapasowa pliku; wywolanie kodu errorlevel.\r\n"
    "\r\n"
    "Dostepne wywolania:\r\n"
    "1: UPKEEP /DELKEY /KEY:<hkey_root_key>\\<klucz rejestru>[\\]\r\n"
    "     [/NAME:<nazwa wartosci w kluczu>]\r\n"
    "2: UPKEEP /SETKEY /KEY:<hkey_root_key>\\<klucz rejestru>[\\]\r\n"
    "     [/NAME:<nazwa wartosci w kluczu>] [/VALUE:<nowa wartosc>]\r\n"
    "3: UPKEEP /DELINI /FILE:<plik INI> /SECTION:<sekcja w pliku INI>\r\n"
    "     [/NAME:<klucz w pliku INI>]\r\n"
    "4: UPKEEP /SETINI /FILE:<plik INI> /SECTION:<sekcja w pliku INI>\r\n"
    "     /NAME:<klucz w pliku INI> [/VALUE:<nowa wartosc>]\r\n"
    "5: UPKEEP /BACKUP:<nazwa pliku>\r\n"
    "6: UPKEEP /RUNERR:<kod errorlevel>\r\n"
    "7: UPKEEP {/? | /VERSION}\r\n"
    "\r\n"
    "Dozwolone klucze glowne rejestru w parametrze <hkey_root_key>:\r\n"
    "   HKEY_CLASSES_ROOT (lub HKCR), HKEY_CURRENT_USER (lub HKCU), \r\n"
    "   HKEY_LOCAL_MACHINE (lub HKLM), HKEY_USERS (lub HKU), \r\n"
    "   HKEY_PERFORMANCE_DATA (lub HKPD), HKEY_CURRENT_CONFIG (lub HKCC), \r\n"
    "   HKEY_DYN_DATA (lub HKDD).\r\n"
    "\r\n";

// Printed by VERSION.
inline constexpr std::string_view kVersionText =
    "\r\n"
    "Informacje o wersji systemu i modulu:\r\n"
    "\r\n"
    "   System: OBSLUGA 2.00.0001, modul: UPKEEP 3.0700.\r\n"
    "\r\n";

} // namespace upkeep::messages
