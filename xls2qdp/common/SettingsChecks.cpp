// SPDX-License-Identifier: MIT
#include "SettingsChecks.h"

#include "Text.h"
#include "TextEncoding.h"

#include <algorithm>

namespace xls2qdp {
namespace {

struct SettingText {
    SettingKey key;
    std::string_view name;
    std::string_view about; // "kodzie oddiału NFZ": what the INI lacks
    std::string_view form;  // the form expected, after "oczekiwano "
};

// The texts of the first two lines are the program's own (the word "oddiału" included).
constexpr SettingText kTexts[] = {
    {SettingKey::KodOddzialuNFZ, "KodOddzialuNFZ", "kodzie oddiału NFZ",
     "dwucyfrowego kodu oddziału NFZ pacjenta od 01 do 16"},
    {SettingKey::KodWojew, "KodWojew", "kodzie województwa",
     "dwucyfrowego kodu województwa: 02, 04, 06, 08, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, "
     "30 lub 32"},
    {SettingKey::NrInstalacji, "NrInstalacji", "numerze instalacji",
     "numeru instalacji nadanego przez NFZ, najwyżej 9 znaków"},
    {SettingKey::KodSwiadcz, "KodSwiadcz", "kodzie świadczeniodawcy",
     "kodu świadczeniodawcy nadanego przez NFZ: same cyfry, najwyżej 16"},
};

const SettingText& textOf(SettingKey key) {
    return *std::find_if(std::begin(kTexts), std::end(kTexts),
                         [key](const SettingText& t) { return t.key == key; });
}

bool allDigits(std::string_view value) {
    return std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int twoDigitNumber(std::string_view value) {
    if (value.size() != 2 || !allDigits(value)) return -1;
    return (value[0] - '0') * 10 + (value[1] - '0');
}

// What is wrong with a value that is not empty, or nothing.
std::string problemOf(SettingKey key, std::string_view value) {
    const std::size_t length = utf8Length(value);
    switch (key) {
    case SettingKey::KodOddzialuNFZ: {
        const int code = twoDigitNumber(value);
        return code >= 1 && code <= 16 ? std::string() : "jest błędna";
    }
    case SettingKey::KodWojew: {
        const int code = twoDigitNumber(value);
        return code >= 2 && code <= 32 && code % 2 == 0 ? std::string() : "jest błędna";
    }
    case SettingKey::NrInstalacji:
        if (length > kNrInstalacjiWidth)
            return "ma " + countedNoun(static_cast<long long>(length), "znak", "znaki", "znaków") +
                   ", za dużo";
        return {};
    case SettingKey::KodSwiadcz:
        if (!allDigits(value)) return "jest błędna";
        if (length > kKodSwiadczWidth)
            return "ma " + countedNoun(static_cast<long long>(length), "cyfrę", "cyfry", "cyfr") +
                   ", za dużo";
        return {};
    }
    return {};
}

} // namespace

std::string_view settingKeyName(SettingKey key) {
    return textOf(key).name;
}

std::string checkSetting(SettingKey key, std::string_view value) {
    const std::string_view trimmed = trimBlanksAndControls(value);
    const std::string problem = trimmed.empty() ? "Brak wartości" : problemOf(key, trimmed);
    if (problem.empty()) return {};
    const SettingText& text = textOf(key);
    std::string message = "W pliku INI brak informacji o " + std::string(text.about) +
                          " lub błędny wpis:\r\nSekcja: [SYSTEM] klucz: " + std::string(text.name) +
                          "\r\n";
    if (trimmed.empty())
        message += problem;
    else
        message += "Wartość „" + std::string(value) + "” " + problem;
    message += ": oczekiwano " + std::string(text.form) + ".";
    return message;
}

} // namespace xls2qdp
