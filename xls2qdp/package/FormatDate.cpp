// SPDX-License-Identifier: MIT
#include "package/FormatDate.h"

#include <cstdio>

namespace xls2qdp {

std::string fFormatDate(int year, int month, int day) {
    std::string text;
    fFormatDateInto(year, month, day, text);
    return text;
}

void fFormatDateInto(int year, int month, int day, std::string& out) {
    if (year < 0 || year > 9999 || month < 0 || month > 99 || day < 0 || day > 99) {
        char text[40];
        std::snprintf(text, sizeof text, "%.4d.%.2d.%.2d", year, month, day);
        out = text;
        return;
    }
    // Called for every date of a package: digits by hand, without snprintf.
    out.resize(10);
    out[0] = static_cast<char>('0' + year / 1000);
    out[1] = static_cast<char>('0' + year / 100 % 10);
    out[2] = static_cast<char>('0' + year / 10 % 10);
    out[3] = static_cast<char>('0' + year % 10);
    out[4] = '.';
    out[5] = static_cast<char>('0' + month / 10);
    out[6] = static_cast<char>('0' + month % 10);
    out[7] = '.';
    out[8] = static_cast<char>('0' + day / 10);
    out[9] = static_cast<char>('0' + day % 10);
}

} // namespace xls2qdp
