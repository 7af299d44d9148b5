// SPDX-License-Identifier: MIT
#include "Startup.h"

#include "IniProfile.h"
#include "SettingsChecks.h"
#include "Text.h"

#include <system_error>

namespace xls2qdp {

namespace {

constexpr std::string_view kSection = "SYSTEM";

const std::string& settingValue(const GlobalVar& settings, SettingKey key) {
    switch (key) {
    case SettingKey::KodOddzialuNFZ:
        return settings.KodOddzialuNFZ;
    case SettingKey::KodWojew:
        return settings.KodWojew;
    case SettingKey::NrInstalacji:
        return settings.NrInstalacji;
    case SettingKey::KodSwiadcz:
        break;
    }
    return settings.KodSwiadcz;
}

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
                         const std::filesystem::path& programDir, MessageSink& messages,
                         const std::filesystem::path& sampleIniFile) {
    StartupResult result;
    GlobalVar& settings = result.settings;
    settings.ProgramDir = withTrailingDelimiter(programDir.string());
    settings.ExportDocVersion = 4;
    settings.ExportDocVariant = 1;

    std::error_code error;
    if (!std::filesystem::exists(iniFile, error)) {
        // One message that says where the settings belong and where their
        // sample is; the four key messages would only repeat it.
        std::string text = "Brak pliku INI: \r\n" + iniFile.string();
        if (!sampleIniFile.empty() && std::filesystem::exists(sampleIniFile, error))
            text += "\r\nWzór ustawień: " + sampleIniFile.string() +
                    "\r\nSkopiuj go pod powyższą nazwą i wpisz w nim dane świadczeniodawcy.";
        messages.show(MessageKind::Error, text);
        result.terminate = true;
    } else {
        // Values as the profile functions hand them over: no blanks or quotes around them.
        settings.NrInstalacji = readIniValue(iniFile, kSection, "NrInstalacji");
        settings.KodSwiadcz = readIniValue(iniFile, kSection, "KodSwiadcz");
        settings.KodOddzialuNFZ = readIniValue(iniFile, kSection, "KodOddzialuNFZ");
        settings.KodWojew = normalizeKodWojew(readIniValue(iniFile, kSection, "KodWojew"));
        for (SettingKey key : kCheckedSettings) {
            const std::string problem = checkSetting(key, settingValue(settings, key));
            if (problem.empty()) continue;
            messages.show(MessageKind::Error, problem);
            result.terminate = true;
        }
    }

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
