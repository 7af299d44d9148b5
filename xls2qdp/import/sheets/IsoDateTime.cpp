// SPDX-License-Identifier: MIT
#include "IsoDateTime.h"

#include <charconv>
#include <chrono>

namespace xls2qdp {

namespace {

// Reads exactly `digits` digits (or at least one when digits is 0).
bool readInt(std::string_view& text, int digits, long long& value) {
    std::size_t n = 0;
    while (n < text.size() && text[n] >= '0' && text[n] <= '9' &&
           (digits == 0 || n < static_cast<std::size_t>(digits)))
        ++n;
    if (n == 0 || (digits && n != static_cast<std::size_t>(digits)) || n > 12) return false;
    value = 0;
    for (std::size_t i = 0; i < n; ++i)
        value = value * 10 + (text[i] - '0');
    text.remove_prefix(n);
    return true;
}

bool eat(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

double readFraction(std::string_view& text) {
    if (!eat(text, '.') && !eat(text, ',')) return 0;
    double value = 0, scale = 0.1;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        value += (text.front() - '0') * scale;
        scale /= 10;
        text.remove_prefix(1);
    }
    return value;
}

// "hh:mm[:ss[.fff]]" -> fraction of a day.
std::optional<double> readTime(std::string_view& text) {
    long long h, mi, s = 0;
    if (!readInt(text, 2, h) || !eat(text, ':') || !readInt(text, 2, mi)) return std::nullopt;
    double seconds = 0;
    if (eat(text, ':')) {
        if (!readInt(text, 2, s)) return std::nullopt;
        seconds = static_cast<double>(s) + readFraction(text);
    }
    if (h > 24 || mi > 59 || s > 60) return std::nullopt;
    return (static_cast<double>(h) * 3600 + static_cast<double>(mi) * 60 + seconds) / 86400;
}

// Only a zone may follow (ignored: spreadsheets keep local times).
bool onlyZoneLeft(std::string_view text) {
    return text.empty() || text.front() == 'Z' || text.front() == '+' || text.front() == '-';
}

} // namespace

std::optional<double> ParseIsoDateTime(std::string_view text) {
    using namespace std::chrono;
    if (text.starts_with('T') || (text.size() > 2 && text[2] == ':')) {
        eat(text, 'T');
        const auto time = readTime(text);
        if (!time || !onlyZoneLeft(text)) return std::nullopt;
        return *time;
    }
    bool negativeYear = eat(text, '-');
    long long y, m, d;
    if (!readInt(text, 0, y) || !eat(text, '-') || !readInt(text, 2, m) || !eat(text, '-') ||
        !readInt(text, 2, d))
        return std::nullopt;
    if (negativeYear) y = -y;
    const year_month_day date{year{static_cast<int>(y)}, month{static_cast<unsigned>(m)},
                              day{static_cast<unsigned>(d)}};
    if (y < -30000 || y > 30000 || !date.ok()) return std::nullopt;
    double days = static_cast<double>((sys_days{date} - sys_days{1899y / December / 30}).count());
    if (eat(text, 'T') || eat(text, ' ')) {
        const auto time = readTime(text);
        if (!time) return std::nullopt;
        days += *time;
    }
    if (!onlyZoneLeft(text)) return std::nullopt;
    return days;
}

std::optional<double> ParseIsoDuration(std::string_view text) {
    const bool negative = eat(text, '-');
    if (!eat(text, 'P')) return std::nullopt;
    double seconds = 0;
    bool inTime = false, any = false;
    while (!text.empty()) {
        if (eat(text, 'T')) {
            inTime = true;
            continue;
        }
        long long whole;
        if (!readInt(text, 0, whole)) return std::nullopt;
        const double value = static_cast<double>(whole) + readFraction(text);
        if (text.empty()) return std::nullopt;
        const char unit = text.front();
        text.remove_prefix(1);
        any = true;
        if (!inTime && unit == 'D')
            seconds += value * 86400;
        else if (!inTime && unit == 'W')
            seconds += value * 7 * 86400;
        else if (inTime && unit == 'H')
            seconds += value * 3600;
        else if (inTime && unit == 'M')
            seconds += value * 60;
        else if (inTime && unit == 'S')
            seconds += value;
        else
            return std::nullopt; // years and months have no fixed length
    }
    if (!any) return std::nullopt;
    return (negative ? -seconds : seconds) / 86400;
}

} // namespace xls2qdp
