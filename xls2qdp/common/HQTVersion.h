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

    const std::string& systemCode() const { return systemCode_; }
    double systemVersion() const { return systemVersion_; }
    double localVersion() const { return localVersion_; }
    double build() const { return build_; }
    const std::string& moduleCode() const { return moduleCode_; }
    double moduleVersion() const { return moduleVersion_; }
    const std::string& systemVersionText() const { return systemVersionText_; }
    const std::string& localVersionText() const { return localVersionText_; }
    const std::string& buildText() const { return buildText_; }
    const std::string& moduleVersionText() const { return moduleVersionText_; }

private:
    std::string systemCode_;
    bool systemFlag_ = false;
    double systemVersion_ = 0;
    double localVersion_ = 0;
    double build_ = 0;
    std::string moduleCode_;
    bool moduleFlag_ = false;
    bool moduleVersionFlag_ = false;
    double moduleVersion_ = 0;
    std::string systemVersionText_;
    std::string localVersionText_;
    std::string buildText_;
    std::string moduleVersionText_;
};

} // namespace xls2qdp
