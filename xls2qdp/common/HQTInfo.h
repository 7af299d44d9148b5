// SPDX-License-Identifier: MIT
// The program's descriptive texts and the lines of its About box built from
// them and from a version record.
#pragma once

#include "HQTInfoBase.h"
#include "HQTVersion.h"

#include <string>

namespace xls2qdp {

// The maker's mark put in front of the program name on the About box's product line.
inline constexpr std::string_view kMakersMark = "qdpsuite \xC2\xB7 "; // "qdpsuite · "

struct AboutTexts {
    std::string product;
    std::string system;
    std::string localVersion; // empty when there is no distinct local version
    std::string moduleName;
    std::string module;
    std::string description;
};

class THQTInfo : public THQTInfoBase {
public:
    std::string programName;
    std::string productFamilyName;
    std::string versionDescription;
    std::string helpFileName;

    AboutTexts BuildAboutTexts(const THQTVersion& version) const;

    // Returns the help file to open, or an empty text after warning
    // "Brak pliku pomocy technicznej!" (when show) if none is set.
    std::string ShowTechHelp(bool show) const;
};

} // namespace xls2qdp
