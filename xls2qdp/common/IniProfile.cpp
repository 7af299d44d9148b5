// SPDX-License-Identifier: MIT
#include "IniProfile.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cctype>
#include <fstream>

namespace xls2qdp {

namespace {

std::string_view trimBlanks(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string readIniString(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view defaultValue) {
#ifdef _WIN32
    std::string buffer(4096, '\0');
    const std::string sectionText(section), keyText(key), defaultText(defaultValue);
    const DWORD length = GetPrivateProfileStringA(
        sectionText.c_str(), keyText.c_str(), defaultText.c_str(), buffer.data(),
        static_cast<DWORD>(buffer.size()), file.string().c_str());
    buffer.resize(length);
    return buffer;
#else
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::string(defaultValue);

    bool inSection = false;
    bool firstLine = true;
    std::string line;
    while (std::getline(in, line)) {
        if (firstLine && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3); // UTF-8 mark
        firstLine = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        const std::string_view trimmed = trimBlanks(line);
        if (trimmed.empty() || trimmed.front() == ';') continue;
        if (trimmed.front() == '[') {
            const auto close = trimmed.find(']');
            const std::string_view name =
                close == std::string_view::npos ? trimmed.substr(1) : trimmed.substr(1, close - 1);
            inSection = equalsIgnoringCase(trimBlanks(name), section);
            continue;
        }
        if (!inSection) continue;
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (equalsIgnoringCase(trimBlanks(std::string_view(line).substr(0, equals)), key))
            return line.substr(equals + 1);
    }
    return std::string(defaultValue);
#endif
}

} // namespace xls2qdp
