// SPDX-License-Identifier: MIT
#include "IniProfile.h"

#include "Text.h"

#include <algorithm>
#include <fstream>
#include <optional>

namespace xls2qdp {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The text after the "=" of the key's first line in the section, as written.
std::optional<std::string> findValue(const std::filesystem::path& file, std::string_view section,
                                     std::string_view key) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;

    bool inSection = false;
    bool firstLine = true;
    std::string line;
    while (std::getline(in, line)) {
        if (firstLine && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3); // UTF-8 mark
        firstLine = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        const std::string_view trimmed = trimBlanksAndControls(line);
        if (trimmed.empty() || trimmed.front() == ';') continue;
        if (trimmed.front() == '[') {
            const auto close = trimmed.find(']');
            const std::string_view name =
                close == std::string_view::npos ? trimmed.substr(1) : trimmed.substr(1, close - 1);
            inSection = equalsIgnoringCase(trimBlanksAndControls(name), section);
            continue;
        }
        if (!inSection) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (equalsIgnoringCase(trimBlanksAndControls(std::string_view(line).substr(0, equals)),
                               key))
            return line.substr(equals + 1);
    }
    return std::nullopt;
}

} // namespace

std::string readIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue) {
    return findValue(file, section, key).value_or(std::string(defaultValue));
}

std::string readIniValue(const std::filesystem::path& file, std::string_view section,
                         std::string_view key, std::string_view defaultValue) {
    const auto found = findValue(file, section, key);
    if (!found) return std::string(defaultValue);
    std::string_view value = trimBlanksAndControls(*found);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

} // namespace xls2qdp
