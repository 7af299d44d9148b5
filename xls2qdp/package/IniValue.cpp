// SPDX-License-Identifier: MIT
#include "package/IniValue.h"

#include "common/Text.h"

#include <fstream>

namespace xls2qdp {
namespace {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

} // namespace

std::string readIniValue(const std::filesystem::path& file, std::string_view section,
                         std::string_view key, std::string_view defaultValue) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::string(defaultValue);
    std::string line;
    bool inSection = false;
    bool firstLine = true;
    while (std::getline(in, line)) {
        std::string_view text = line;
        if (firstLine && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        firstLine = false;
        text = trimBlanksAndControls(text);
        if (text.empty() || text.front() == ';') continue;
        if (text.front() == '[') {
            std::size_t close = text.find(']');
            inSection = close != std::string_view::npos &&
                        sameName(trimBlanksAndControls(text.substr(1, close - 1)), section);
            continue;
        }
        std::size_t equals = text.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        if (!sameName(trimBlanksAndControls(text.substr(0, equals)), key)) continue;
        std::string_view value = trimBlanksAndControls(text.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::string(defaultValue);
}

} // namespace xls2qdp
