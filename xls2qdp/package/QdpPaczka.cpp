// SPDX-License-Identifier: MIT
#include "package/QdpPaczka.h"

#include "common/IniProfile.h"
#include "common/Text.h"
#include "package/HookMessages.h"
#include "package/QdpCodes.h"
#include "package/ValueChecks.h"

#include <filesystem>
#include <system_error>

namespace xls2qdp {
namespace {

std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

bool folderExists(std::string_view folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(pathFromUtf8(folder), ec);
}

bool fileExists(std::string_view file) {
    std::error_code ec;
    return std::filesystem::exists(pathFromUtf8(file), ec) || ec;
}

std::string systemTempFolder() {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) return {};
    auto text = folder.u8string();
    return withTrailingDelimiter(std::string(text.begin(), text.end()));
}

} // namespace

TQDPPaczka::TQDPPaczka(QdpBinding binding) : TQDPBase(binding) {
    fClearPaczka();
}

TQDPPaczka::~TQDPPaczka() {
    fClearPaczka();
}

std::int32_t TQDPPaczka::fUserDefListaDokumentow() {
    return qdpcode::PackageHookMissing;
}

std::int32_t TQDPPaczka::fUserDefPaczka() {
    return qdpcode::PackageHookMissing;
}

std::int32_t TQDPPaczka::fUserAfterDefPaczka() {
    return qdpcode::Ok;
}

std::int32_t TQDPPaczka::fSetPaczka(std::int32_t version, std::string_view typeCode,
                                    std::string_view programCode, std::string_view description) {
    version_ = version;
    if (!typeCode.empty()) {
        typeCode_ = typeCode;
        programCode_ = programCode;
        description_ = description;
    }
    return qdpcode::Ok;
}

void TQDPPaczka::setCrypt(std::int32_t algorithm, std::int32_t mode, std::string key,
                          std::string iv) {
    algorithm_ = algorithm;
    mode_ = mode;
    key_ = std::move(key);
    iv_ = std::move(iv);
}

TQDPDokument& TQDPPaczka::addDokument(std::unique_ptr<TQDPDokument> document) {
    documents_.push_back(std::move(document));
    return *documents_.back();
}

std::int32_t TQDPPaczka::fMakePaczka(std::string_view outputFileName, std::string_view tempFolder,
                                     bool show) {
    std::int32_t result;
    try {
        result = fCreatePaczka(outputFileName, tempFolder, show);
    } catch (...) {
        fClearPaczka(); // the library never keeps a half-built package
        throw;
    }
    if (result != qdpcode::Ok) fClearPaczka();
    return result;
}

std::int32_t TQDPPaczka::fCreatePaczka(std::string_view outputFileName, std::string_view tempFolder,
                                       bool show) {
    showErrors_ = show;
    fSetTempDir(tempFolder, show); // a missing folder is only warned about
    std::int32_t result = fSetFileName(outputFileName, show);
    if (result != qdpcode::Ok) return result;
    // Only a hook never written gets the hook message; any other failure
    // below has shown its own.
    result = fUserDefPaczka();
    if (result != qdpcode::Ok) {
        if (result == qdpcode::PackageHookMissing)
            pStrErrorMessBox(hookMessage("fUserDefPaczka"), show);
        return result;
    }
    if (result = fDefPaczka(show); result != qdpcode::Ok) return result;
    if (afterCreation_)
        if (result = fUserAfterDefPaczka(); result != qdpcode::Ok) return result;
    if (algorithm_ != 0) {
        if (result = fSetCryptAlgoMode(); result != qdpcode::Ok) return result;
        if (result = fSetCryptKeyIv(); result != qdpcode::Ok) return result;
    }
    if (!tempFolder_.empty())
        if (result = fSetOutPath(show); result != qdpcode::Ok) return result;
    result = fUserDefListaDokumentow();
    if (result != qdpcode::Ok) {
        if (result == qdpcode::PackageHookMissing)
            pStrErrorMessBox(hookMessage("fUserDefListaDokumentow"), show);
        return result;
    }
    if (result = fSavePaczka(show); result != qdpcode::Ok) return result;
    return fClearPaczka();
}

std::int32_t TQDPPaczka::fSetTempDir(std::string_view folder, bool show) {
    if (!trimBlanksAndControls(folder).empty()) {
        tempFolder_ = folder;
    } else if (!programDir_.empty()) {
        std::filesystem::path ini = pathFromUtf8(programDir_) / "qdp.ini";
        tempFolder_ = readIniValue(ini, "OUTPUT", "OUTPATH", "");
    } else {
        tempFolder_.clear(); // no program folder given: no qdp.ini to read
    }
    tempFolder_ = withTrailingDelimiter(std::move(tempFolder_));
    if (folderExists(tempFolder_)) return qdpcode::Ok;
    pStrErrorMessBox("Kartoteka: " + tempFolder_ + "\r\n na zbiory tymczasowe nie istnieje!", show);
    // The build goes on: its temporary files go to the system's folder for
    // them rather than to a folder that is not there.
    tempFolder_ = systemTempFolder();
    return qdpcode::TempFolderMissing;
}

std::int32_t TQDPPaczka::fSetFileName(std::string_view outputFileName, bool show) {
    if (trimBlanksAndControls(outputFileName).empty()) {
        pStrErrorMessBox("Nazwa zbioru nie może być pusta!", show);
        return qdpcode::OutputNameEmpty;
    }
    outputFileName_ = outputFileName;
    return qdpcode::Ok;
}

std::int32_t TQDPPaczka::fDefPaczka(bool show) {
    std::string typeCode(trimBlanksAndControls(typeCode_));
    std::string programCode(trimBlanksAndControls(programCode_));
    std::string type1250, program1250, description1250;
    if (!toLibraryText(typeCode, "Kod typu paczki", type1250, show) ||
        !toLibraryText(programCode, "Kod programu", program1250, show) ||
        !toLibraryText(description_, "Opis paczki", description1250, show))
        return qdpcode::NotWindows1250;
    handle_ = 0;
    std::int32_t result = library().PaczkaC(&handle_, version_, type1250.c_str(),
                                            program1250.c_str(), description1250.c_str());
    if (result != qdpcode::Ok) {
        pIntErrorMessBox(result, show);
        return result;
    }
    typeCode_ = std::move(typeCode);
    programCode_ = std::move(programCode);
    return qdpcode::Ok;
}

std::int32_t TQDPPaczka::fSetCryptAlgoMode() {
    return library().CryptAlgoMode(handle_, algorithm_, mode_);
}

std::int32_t TQDPPaczka::fSetCryptKeyIv() {
    return library().CryptKeyIv(handle_, key_.c_str(), iv_.c_str());
}

std::int32_t TQDPPaczka::fSetOutPath(bool show) {
    // Paths go to the library in the platform's own file-name bytes.
    std::int32_t result = library().SetOutPathC(handle_, tempFolder_.c_str());
    if (result != qdpcode::Ok) pIntErrorMessBox(result, show);
    return result;
}

std::int32_t TQDPPaczka::fSavePaczka(bool show) {
    // The library takes the path as bytes and this platform's file names
    // are UTF-8, so the name is handed on as it is.
    bool existedBefore = fileExists(outputFileName_);
    std::int32_t result = library().SaveC(handle_, outputFileName_.c_str());
    if (result != qdpcode::Ok) {
        if (!existedBefore) { // leave no empty or partial package behind
            std::error_code ec;
            std::filesystem::remove(pathFromUtf8(outputFileName_), ec);
        }
        pIntErrorMessBox(result, show);
    }
    return result;
}

std::int32_t TQDPPaczka::fClearPaczka() {
    documents_.clear();
    outputFileName_.clear();
    version_ = 0;
    typeCode_.clear();
    programCode_.clear();
    description_.clear();
    if (handle_ == 0) return qdpcode::Ok;
    std::int32_t result = library().Clear(handle_);
    if (result == qdpcode::Ok) handle_ = 0;
    return result;
}

} // namespace xls2qdp
