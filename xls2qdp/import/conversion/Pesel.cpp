// SPDX-License-Identifier: MIT
#include "Pesel.h"

#include "common/Text.h"
#include "import/store/WorkingRecord.h"

#include <algorithm>

namespace xls2qdp {
namespace {

constexpr std::size_t kPeselLength = 11;

bool isDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int digit(std::string_view text, std::size_t at) {
    return text[at] - '0';
}

} // namespace

bool hasPeselChecksum(std::string_view pesel) {
    if (pesel.size() != kPeselLength || !isDigits(pesel)) return false;
    static constexpr int kWeights[] = {1, 3, 7, 9, 1, 3, 7, 9, 1, 3};
    int sum = 0;
    for (std::size_t i = 0; i < 10; ++i)
        sum += digit(pesel, i) * kWeights[i];
    return (10 - sum % 10) % 10 == digit(pesel, 10);
}

std::optional<CalendarDate> peselBirthDate(std::string_view pesel) {
    if (pesel.size() != kPeselLength || !isDigits(pesel)) return std::nullopt;
    const int year = digit(pesel, 0) * 10 + digit(pesel, 1);
    const int month = digit(pesel, 2) * 10 + digit(pesel, 3);
    const int day = digit(pesel, 4) * 10 + digit(pesel, 5);
    // The month's tens tell the century: 0-1 the 1900s, 2-3 the 2000s, ...
    static constexpr int kCenturies[] = {1900, 2000, 2100, 2200, 1800};
    const int offset = month / 20;
    const CalendarDate date{kCenturies[offset] + year, month - offset * 20, day};
    if (!store::isValidDate(date)) return std::nullopt;
    return date;
}

std::optional<std::string> restoredPesel(std::string_view text, CellKind kind) {
    if (kind != CellKind::Number || text.empty() || text.size() >= kPeselLength || !isDigits(text))
        return std::nullopt;
    std::string padded(kPeselLength - text.size(), '0');
    padded += text;
    if (!hasPeselChecksum(padded)) return std::nullopt;
    return padded;
}

std::string peselProblem(std::string_view text) {
    if (!isDigits(text)) return "zawiera znaki inne niż cyfry";
    if (text.size() != kPeselLength)
        return "ma " + countedNoun(static_cast<long long>(text.size()), "cyfrę", "cyfry", "cyfr") +
               " zamiast 11";
    if (!hasPeselChecksum(text)) return "ma błędną cyfrę kontrolną";
    if (!peselBirthDate(text)) return "zawiera nieistniejącą datę urodzenia";
    return {};
}

} // namespace xls2qdp
