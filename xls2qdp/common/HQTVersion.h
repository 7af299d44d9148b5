// SPDX-License-Identifier: MIT
// The version record of the product family (the system) and of this program
// (the module), with the fixed patterns in which version numbers are written.
#pragma once

#include "HQTInfoBase.h"

#include <string>
#include <string_view>

namespace xls2qdp {

inline constexpr std::string_view kSystemVersionPattern = "0.00";
inline constexpr std::string_view kBuildPattern = "0000";
inline constexpr std::string_view kModuleVersionPattern = "0.0000";

class THQTVersion : public THQTInfoBase {
public:
    // Writes value with as many decimals as the pattern has after its point,
    // with "." as the decimal point, zero-padded in front to the pattern's length.
    static std::string FormatVersion(std::string_view pattern, double value);
    // True when the formatted value has exactly the pattern's shape; otherwise
    // warns "Nie poprawny zapis numeru wersji!" (when show) and returns false.
    bool CheckVersion(std::string_view pattern, double value, bool show) const;

    // Registers the system version; a local version below 0 means none. On a
    // failed check warns (when show) and returns false; the record stays as it
    // was unless only the local version is wrong.
    bool SetSystem(std::string_view code, bool flag, double systemVersion, double build,
                   double localVersion, bool show);
    bool SetModule(std::string_view code, bool flag, double moduleVersion, bool moduleFlag,
                   bool show);

    const std::string& systemCode() const { return m_systemCode; }
    double systemVersion() const { return m_systemVersion; }
    double localVersion() const { return m_localVersion; }
    double build() const { return m_build; }
    const std::string& moduleCode() const { return m_moduleCode; }
    double moduleVersion() const { return m_moduleVersion; }
    const std::string& systemVersionText() const { return m_systemVersionText; }
    const std::string& localVersionText() const { return m_localVersionText; }
    const std::string& buildText() const { return m_buildText; }
    const std::string& moduleVersionText() const { return m_moduleVersionText; }

private:
    std::string m_systemCode;
    bool m_systemFlag = false;
    double m_systemVersion = 0;
    double m_localVersion = 0;
    double m_build = 0;
    std::string m_moduleCode;
    bool m_moduleFlag = false;
    bool m_moduleVersionFlag = false;
    double m_moduleVersion = 0;
    std::string m_systemVersionText;
    std::string m_localVersionText;
    std::string m_buildText;
    std::string m_moduleVersionText;
};

} // namespace xls2qdp
