// SPDX-License-Identifier: MIT
#include "HQTInfo.h"

namespace xls2qdp {

AboutTexts THQTInfo::BuildAboutTexts(const THQTVersion& version) const {
    AboutTexts texts;
    texts.product = std::string(kMakersMark) + programName;
    texts.system = "System: " + productFamilyName + " wersja: " + version.systemVersionText() +
                   "." + version.buildText();
    if (!version.localVersionText().empty() &&
        version.localVersionText() != version.systemVersionText())
        texts.localVersion =
            "Wersja lokalna systemu związana z modułem: " + version.localVersionText();
    texts.moduleName = programName;
    texts.module = "Moduł: " + version.moduleCode() + " wersja: " + version.moduleVersionText();
    texts.description = versionDescription;
    return texts;
}

std::string THQTInfo::ShowTechHelp(bool show) const {
    if (helpFileName.empty() && show) showWarning("Brak pliku pomocy technicznej!");
    return helpFileName;
}

} // namespace xls2qdp
