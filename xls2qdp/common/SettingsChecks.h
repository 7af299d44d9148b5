// SPDX-License-Identifier: MIT
// The checks of the importer's INI settings, one key at a time, so that the
// start-up and a settings window judge a value alike. A value is checked as
// the program uses it: read without the blanks and quotes around it
// (readIniValue), KodWojew after normalizeKodWojew.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xls2qdp {

enum class SettingKey { KodOddzialuNFZ, KodWojew, NrInstalacji, KodSwiadcz };

// The keys in the order the start-up checks them.
inline constexpr SettingKey kCheckedSettings[] = {SettingKey::KodOddzialuNFZ, SettingKey::KodWojew,
                                                  SettingKey::NrInstalacji, SettingKey::KodSwiadcz};

// The widths of the package fields the two settings fill (NR_INSTALACJI and
// KOD_SWIADCZ): a longer value would be cut in every package.
inline constexpr std::size_t kNrInstalacjiWidth = 9;
inline constexpr std::size_t kKodSwiadczWidth = 16;

// The key's name in the [SYSTEM] section ("KodOddzialuNFZ").
std::string_view settingKeyName(SettingKey key);

// Empty when the value is right. Otherwise the whole message for the user:
// the program's own text naming the section and the key, then a line with
// the value and the form expected, e.g.
//   W pliku INI brak informacji o kodzie oddiału NFZ lub błędny wpis:
//   Sekcja: [SYSTEM] klucz: KodOddzialuNFZ
//   Wartość „99” jest błędna: oczekiwano dwucyfrowego kodu oddziału NFZ od 01 do 16.
std::string checkSetting(SettingKey key, std::string_view value);

} // namespace xls2qdp
