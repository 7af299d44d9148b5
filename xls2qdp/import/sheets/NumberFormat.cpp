// SPDX-License-Identifier: MIT
#include "NumberFormat.h"

namespace xls2qdp {

NumberFormatKind BuiltInNumberFormatKind(int id) {
    // 14-22 and 45-47 are dates and times everywhere; 27-36 and 50-58 are the
    // East Asian date formats.
    if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) ||
        (id >= 50 && id <= 58))
        return NumberFormatKind::DateTime;
    return NumberFormatKind::Number;
}

NumberFormatKind NumberFormatCodeKind(std::string_view code) {
    // Formats that show a number as the words TRUE/FALSE hold a boolean result
    // (how a spreadsheet keeps a logical formula in .xlsx).
    if (code == "\"TRUE\";\"TRUE\";\"FALSE\"") return NumberFormatKind::Boolean;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        switch (c) {
        case '"': // literal text
            i = code.find('"', i + 1);
            if (i == std::string_view::npos) return NumberFormatKind::Number;
            break;
        case '\\': // the next character is literal
        case '_':  // blank as wide as the next character
        case '*':  // fill with the next character
            ++i;
            break;
        case '[': { // colour, condition, locale, or elapsed time [h] [mm] [ss]
            const std::size_t end = code.find(']', i);
            if (end == std::string_view::npos) return NumberFormatKind::Number;
            const std::string_view inside = code.substr(i + 1, end - i - 1);
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos)
                return NumberFormatKind::DateTime;
            i = end;
            break;
        }
        case 'd':
        case 'D':
        case 'm':
        case 'M':
        case 'y':
        case 'Y':
        case 'h':
        case 'H':
        case 's':
        case 'S':
            return NumberFormatKind::DateTime;
        default:
            break;
        }
    }
    return NumberFormatKind::Number;
}

} // namespace xls2qdp
