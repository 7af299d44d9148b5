// SPDX-License-Identifier: MIT
#include "CellText.h"

#include "common/Text.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace xls2qdp {

namespace {

constexpr int kSignificantDigits = 15;
// 01-01-0100 and 31-12-9999 as days since 30-12-1899.
constexpr double kFirstDay = -657434;
constexpr double kLastDay = 2958466;

// Two digits of value at p (its last two), and the place after them.
char* putTwoDigits(char* p, unsigned value) {
    p[0] = static_cast<char>('0' + value / 10 % 10);
    p[1] = static_cast<char>('0' + value % 10);
    return p + 2;
}

} // namespace

namespace {

// Whole numbers below 1E15 (PESELs, house numbers) are their digits: true
// when value is one, with its digits in out.
bool wholeNumberInto(std::string& out, double value) {
    if (!(std::fabs(value) < 1e15) || value != std::trunc(value)) return false;
    char digits[24];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr;
    out.assign(digits, end);
    return true;
}

} // namespace

std::string formatNumber(double value) {
    if (!std::isfinite(value)) return {};
    if (value == 0) return "0";
    if (std::string whole; wholeNumberInto(whole, value)) return whole;
    char buffer[40];
    // d.dddddddddddddde+XX: the 15 significant digits and the exponent.
    std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, value);
    std::string_view text(buffer);
    std::string out;
    if (text.front() == '-') {
        out += '-';
        text.remove_prefix(1);
    }
    std::string digits;
    digits += text[0];
    std::size_t e = text.find('e');
    digits.append(text.substr(2, e - 2));
    int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const int pointAt = exponent + 1; // digits before the decimal comma
    if (pointAt > kSignificantDigits || pointAt < -3) {
        out += digits[0];
        if (digits.size() > 1) {
            out += ',';
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
        return out;
    }
    if (pointAt <= 0) {
        out += "0,";
        out.append(static_cast<std::size_t>(-pointAt), '0');
        out += digits;
    } else if (static_cast<std::size_t>(pointAt) >= digits.size()) {
        out += digits;
        out.append(static_cast<std::size_t>(pointAt) - digits.size(), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(pointAt));
        out += ',';
        out.append(digits, static_cast<std::size_t>(pointAt));
    }
    return out;
}

std::string formatDateTime(double days) {
    if (!std::isfinite(days) || days < kFirstDay || days >= kLastDay) return formatNumber(days);
    using namespace std::chrono;
    constexpr long long kMsPerDay = 86'400'000;
    // Round to the millisecond first so that 0.999999 of a second stays in its second.
    const long long ms = std::llround(days * kMsPerDay);
    long long day = ms / kMsPerDay;
    long long msOfDay = ms % kMsPerDay;
    if (msOfDay < 0) {
        msOfDay += kMsPerDay;
        --day;
    }
    const long long seconds = msOfDay / 1000;
    // "dd-mm-yyyy hh:nn:ss" at most, made in place: dates come in every row.
    char text[20];
    char* p = text;
    if (day != 0) {
        const year_month_day date{sys_days{1899y / December / 30} + std::chrono::days{day}};
        p = putTwoDigits(p, static_cast<unsigned>(date.day()));
        *p++ = '-';
        p = putTwoDigits(p, static_cast<unsigned>(date.month()));
        *p++ = '-';
        const int year = static_cast<int>(date.year());
        p = putTwoDigits(p, static_cast<unsigned>(year / 100));
        p = putTwoDigits(p, static_cast<unsigned>(year % 100));
        if (seconds == 0) return std::string(text, p);
        *p++ = ' ';
    }
    p = putTwoDigits(p, static_cast<unsigned>(seconds / 3600));
    *p++ = ':';
    p = putTwoDigits(p, static_cast<unsigned>(seconds / 60 % 60));
    *p++ = ':';
    p = putTwoDigits(p, static_cast<unsigned>(seconds % 60));
    return std::string(text, p);
}

std::string cellText(const CellValue& cell) {
    switch (cell.kind) {
    case CellKind::Empty:
        return {};
    case CellKind::Text:
        return cell.text;
    case CellKind::Number:
        return formatNumber(cell.number);
    case CellKind::DateTime:
        return formatDateTime(cell.number);
    case CellKind::Boolean:
        return cell.number != 0 ? "PRAWDA" : "FAŁSZ";
    case CellKind::Error:
    case CellKind::Formula:
        return {};
    }
    return {};
}

std::string NormalizeCellText(std::string_view text) {
    std::string out;
    normalizeCellTextInto(out, text);
    return out;
}

void normalizedCellTextInto(std::string& out, const CellValue& cell) {
    switch (cell.kind) {
    case CellKind::Text:
        normalizeCellTextInto(out, cell.text);
        return;
    case CellKind::Number:
        // -0 is a whole number too, and its digits are "0" as formatNumber's.
        if (wholeNumberInto(out, cell.number)) return;
        break;
    default:
        break;
    }
    // The texts made of numbers, dates and booleans have nothing to normalize.
    out = cellText(cell);
}

void normalizeCellTextInto(std::string& out, std::string_view text) {
    // Blanks and control characters are the bytes up to 0x20; UTF-8 never uses
    // them inside a multi-byte character. A no-break or other Unicode space
    // at either end (text pasted from a web page) is a blank too. Most texts
    // have printable ASCII at both ends: nothing to trim.
    const auto plainEdge = [](char c) {
        return static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 0x80;
    };
    if (text.empty() || !plainEdge(text.front()) || !plainEdge(text.back()))
        text = trimUnicodeBlanks(text);
    out.clear();
    // Most texts have no line end and no two blanks in a row: nothing to do.
    // Only a byte up to the blank can start either, so the rest are passed
    // over with one comparison each.
    bool plain = true;
    for (std::size_t i = 0; i < text.size() && plain; ++i)
        if (static_cast<unsigned char>(text[i]) <= ' ')
            plain =
                text[i] != '\n' && !(text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ');
    if (plain) {
        out.assign(text);
        return;
    }
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] == '\n' ? ' ' : text[i];
        const char next = i + 1 < text.size() ? (text[i + 1] == '\n' ? ' ' : text[i + 1]) : '\0';
        out += c;
        if (c == ' ' && next == ' ') ++i; // a pair becomes one blank; the pass moves on
    }
}

std::string errorValueName(std::string_view storedCode) {
    static constexpr std::pair<std::string_view, std::string_view> kNames[] = {
        {"#DIV/0!", "#DZIEL/0!"}, {"#N/A", "#N/D!"},
        {"#VALUE!", "#ARG!"},     {"#REF!", "#ADR!"},
        {"#NAME?", "#NAZWA?"},    {"#NUM!", "#LICZBA!"},
        {"#NULL!", "#ZERO!"},     {"#GETTING_DATA", "#POBIERANIE_DANYCH"},
    };
    for (const auto& [stored, shown] : kNames)
        if (storedCode == stored) return std::string(shown);
    return std::string(storedCode);
}

std::string columnLetters(int columnIndex) {
    std::string letters;
    for (int n = columnIndex + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

} // namespace xls2qdp
