// SPDX-License-Identifier: MIT
#include "HQTVersion.h"

#include "Text.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace xls2qdp {

namespace {

std::vector<std::string_view> splitAtPoint(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const auto point = text.find('.', start);
        parts.push_back(text.substr(start, point - start));
        if (point == std::string_view::npos) break;
        start = point + 1;
    }
    return parts;
}

} // namespace

std::string THQTVersion::FormatVersion(std::string_view pattern, double value) {
    const auto parts = splitAtPoint(pattern);
    const int decimals = parts.size() == 2 ? static_cast<int>(parts[1].size()) : 0;

    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text = result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
    std::replace(text.begin(), text.end(), ',', '.');
    if (text.size() < pattern.size()) text.insert(0, pattern.size() - text.size(), '0');
    return text;
}

bool THQTVersion::CheckVersion(std::string_view pattern, double value, bool show) const {
    const std::string text = FormatVersion(pattern, value);
    bool ok = text.size() == pattern.size();
    if (ok && pattern.find('.') != std::string_view::npos) {
        const auto expected = splitAtPoint(pattern);
        const auto actual = splitAtPoint(text);
        ok = expected.size() == actual.size();
        for (std::size_t i = 0; ok && i < expected.size(); ++i)
            ok = expected[i].size() == actual[i].size();
    }
    if (!ok && show) showWarning("Nie poprawny zapis numeru wersji!");
    return ok;
}

bool THQTVersion::SetSystem(std::string_view code, bool flag, double systemVersion, double build,
                            double localVersion, bool show) {
    const auto fail = [&](std::string_view message) {
        if (show) showWarning(message);
        return false;
    };
    if (trimBlanksAndControls(code).empty()) return fail("Proszę podać kod systemu!");
    if (!(systemVersion > 0)) return fail("Proszę podać numer wersji systemu!");
    if (!(build > 0)) return fail("Proszę podać kolejny numer budowy systemu!");
    if (!CheckVersion(kSystemVersionPattern, systemVersion, show) ||
        !CheckVersion(kBuildPattern, build, show))
        return false;

    systemCode_ = std::string(code);
    systemFlag_ = flag;
    systemVersion_ = systemVersion;
    build_ = build;
    systemVersionText_ = FormatVersion(kSystemVersionPattern, systemVersion);
    buildText_ = FormatVersion(kBuildPattern, build);

    if (localVersion >= 0) {
        if (!CheckVersion(kSystemVersionPattern, localVersion, show)) return false;
        localVersion_ = localVersion;
        localVersionText_ = FormatVersion(kSystemVersionPattern, localVersion);
    }
    return true;
}

bool THQTVersion::SetModule(std::string_view code, bool flag, double moduleVersion, bool moduleFlag,
                            bool show) {
    const auto fail = [&](std::string_view message) {
        if (show) showWarning(message);
        return false;
    };
    if (trimBlanksAndControls(code).empty()) return fail("Proszę podać kod modułu!");
    if (!(moduleVersion > 0)) return fail("Proszę podać numer wersji modułu!");
    if (!CheckVersion(kModuleVersionPattern, moduleVersion, show)) return false;

    moduleCode_ = std::string(code);
    moduleFlag_ = flag;
    moduleVersionFlag_ = moduleFlag;
    moduleVersion_ = moduleVersion;
    moduleVersionText_ = FormatVersion(kModuleVersionPattern, moduleVersion);
    return true;
}

} // namespace xls2qdp
