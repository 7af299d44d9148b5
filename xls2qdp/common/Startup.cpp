// SPDX-License-Identifier: MIT
#include "Startup.h"

#include "IniProfile.h"
#include "Text.h"

#include <system_error>

namespace xls2qdp {

namespace {

constexpr std::string_view kSection = "SYSTEM";

} // namespace

std::string normalizeKodWojew(std::string_view value) {
    std::string code(trimBlanksAndControls(value));
    if (code.size() == 1) code.insert(0, "0");
    return code;
}

std::string versionLabelText(const THQTVersion& version) {
    return "v." + version.systemVersionText() + "." + version.moduleVersionText();
}

StartupResult runStartup(const std::filesystem::path& iniFile,
                         const std::filesystem::path& programDir, MessageSink& messages) {
    StartupResult result;
    std::error_code error;
    if (!std::filesystem::exists(iniFile, error)) {
        messages.show(MessageKind::Error, "Brak pliku INI: \r\n" + iniFile.string());
        result.terminate = true;
    }

    GlobalVar& settings = result.settings;
    settings.NrInstalacji = readIniString(iniFile, kSection, "NrInstalacji");
    settings.KodSwiadcz = readIniString(iniFile, kSection, "KodSwiadcz");
    settings.KodOddzialuNFZ = readIniString(iniFile, kSection, "KodOddzialuNFZ");
    settings.KodWojew = readIniString(iniFile, kSection, "KodWojew");
    settings.ProgramDir = withTrailingDelimiter(programDir.string());
    settings.ExportDocVersion = 4;
    settings.ExportDocVariant = 1;

    const auto check = [&](const std::string& value, std::string_view what, std::string_view key) {
        if (!trimBlanksAndControls(value).empty()) return;
        messages.show(MessageKind::Error,
                      "W pliku INI brak informacji o " + std::string(what) +
                          " lub błędny wpis:\r\nSekcja: [SYSTEM] klucz: " + std::string(key));
        result.terminate = true;
    };
    check(settings.KodOddzialuNFZ, "kodzie oddiału NFZ", "KodOddzialuNFZ");
    check(settings.KodWojew, "kodzie województwa", "KodWojew");
    settings.KodWojew = normalizeKodWojew(settings.KodWojew);
    check(settings.NrInstalacji, "numerze instalacji", "NrInstalacji");
    check(settings.KodSwiadcz, "kodzie świadczeniodawcy", "KodSwiadcz");

    result.info.programName = std::string(kProgramName);
    result.info.productFamilyName = std::string(kProductFamilyName);
    result.info.setMessageSink(&messages);
    result.version.setMessageSink(&messages);
    if (!result.version.SetSystem(kSystemCode, false, kSystemVersion, kSystemBuild, kNoLocalVersion,
                                  true))
        result.terminate = true;
    if (!result.version.SetModule(kModuleCode, false, kModuleVersion, false, true))
        result.terminate = true;
    // The records outlive this call; their owner decides where later warnings go.
    result.info.setMessageSink(nullptr);
    result.version.setMessageSink(nullptr);
    return result;
}

} // namespace xls2qdp
