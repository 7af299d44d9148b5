// SPDX-License-Identifier: MIT
#include "package/FormatDate.h"

#include <cstdio>

namespace xls2qdp {

std::string fFormatDate(int year, int month, int day) {
    char text[40];
    std::snprintf(text, sizeof text, "%.4d.%.2d.%.2d", year, month, day);
    return text;
}

} // namespace xls2qdp
