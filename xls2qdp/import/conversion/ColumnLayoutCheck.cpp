// SPDX-License-Identifier: MIT
#include "ColumnLayoutCheck.h"

#include "FieldRules.h"
#include "common/Text.h"
#include "import/sheets/CellText.h"
#include "import/sheets/TemplateHeaders.h"

#include <algorithm>

namespace xls2qdp {
namespace {

constexpr std::size_t kFirstUncheckedColumn = 11; // L

// Header names compare upper-cased, a blank and "_" alike.
std::string headerKey(std::string_view text) {
    std::string key = upperPolish(trimBlanksAndControls(text));
    std::replace(key.begin(), key.end(), '_', ' ');
    return key;
}

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isPostalCode(std::string_view text) {
    if (text.size() == 6 && text[2] == '-')
        return isDigits(text.substr(0, 2)) && isDigits(text.substr(3));
    return (text.size() == 5 || text.size() == 4) && isDigits(text);
}

bool isFlag(std::string_view text) {
    return text == "T" || text == "N" || text == "t" || text == "n";
}

bool isDate(std::string_view text) {
    return parseSheetDate(text).has_value();
}

bool isPeselLike(std::string_view text) {
    return text.size() >= 9 && text.size() <= 11 && isDigits(text);
}

struct ShapedColumn {
    std::size_t column;
    bool (*fits)(std::string_view);
    const char* what; // "kody pocztowe"
};

constexpr ShapedColumn kShapedColumns[] = {
    {13, isFlag, "znaczniki T/N"},       // N
    {14, isFlag, "znaczniki T/N"},       // O
    {15, isPostalCode, "kody pocztowe"}, // P
    {22, isPostalCode, "kody pocztowe"}, // W
    {30, isPeselLike, "numery PESEL"},   // AE
    {35, isPeselLike, "numery PESEL"},   // AJ
    {36, isDate, "daty"},                // AK
    {37, isFlag, "znaczniki T/N"},       // AL
};

struct Fit {
    int filled = 0;
    int fitting = 0;
    std::string example;
};

Fit fitOf(std::span<const DeclarationRow> rows, std::size_t column,
          bool (*fits)(std::string_view)) {
    Fit fit;
    for (const DeclarationRow& row : rows) {
        const std::string& text = row.cells[column];
        if (text.empty()) continue;
        ++fit.filled;
        if (!fits(text)) continue;
        if (fit.fitting++ == 0) fit.example = text;
    }
    return fit;
}

// The neighbour holds the shape throughout (at least three values) where the
// column itself holds hardly any of it.
bool movedTo(const Fit& own, const Fit& neighbour) {
    return neighbour.fitting >= 3 && neighbour.fitting * 5 >= neighbour.filled * 4 &&
           own.fitting * 5 <= own.filled;
}

} // namespace

LayoutVerdict checkColumnLayout(const std::array<std::string, kDeclarationColumns>& headers,
                                std::span<const DeclarationRow> rows) {
    LayoutVerdict verdict;
    for (std::size_t column = kFirstUncheckedColumn; column < kDeclarationColumns; ++column) {
        const std::string key = headerKey(headers[column]);
        if (key.empty() || key == headerKey(kTemplateHeaders[column])) continue;
        for (std::size_t other = 0; other < kDeclarationColumns; ++other) {
            if (other == column || key != headerKey(kTemplateHeaders[other])) continue;
            verdict.evidence.push_back("Kolumna " + columnLetters(static_cast<int>(column)) +
                                       " (wiersz 6) ma nagłówek „" + headers[column] +
                                       "”, który we wzorze należy do kolumny " +
                                       columnLetters(static_cast<int>(other)) + ".");
            break;
        }
    }
    for (const ShapedColumn& shaped : kShapedColumns) {
        const Fit own = fitOf(rows, shaped.column, shaped.fits);
        for (const int step : {-1, 1}) {
            const std::size_t neighbour = shaped.column + static_cast<std::size_t>(step);
            if (neighbour < kFirstUncheckedColumn || neighbour >= kDeclarationColumns) continue;
            const Fit there = fitOf(rows, neighbour, shaped.fits);
            if (!movedTo(own, there)) continue;
            verdict.evidence.push_back("Kolumna " + columnLetters(static_cast<int>(neighbour)) +
                                       " zawiera " + shaped.what + " (np. „" + there.example +
                                       "”), które należą do kolumny " +
                                       columnLetters(static_cast<int>(shaped.column)) + ".");
            break;
        }
    }
    if (verdict.evidence.size() >= 2)
        verdict.shift = LayoutShift::Certain;
    else if (verdict.evidence.size() == 1)
        verdict.shift = LayoutShift::Likely;
    return verdict;
}

} // namespace xls2qdp
