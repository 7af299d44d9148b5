// SPDX-License-Identifier: MIT
#include "package/QdpDokument.h"

#include "common/Text.h"
#include "package/HookMessages.h"
#include "package/QdpCodes.h"
#include "package/ValueChecks.h"

namespace xls2qdp {

TQDPDokument::TQDPDokument(QdpBinding binding) : TQDPBase(binding) {
    pClearDokument();
}

TQDPDokument::~TQDPDokument() {
    pClearDokument();
}

std::int32_t TQDPDokument::fUserDefDokument() {
    return qdpcode::DocumentHookMissing;
}

std::int32_t TQDPDokument::fUserDefListaSekcji() {
    return qdpcode::DocumentHookMissing;
}

std::int32_t TQDPDokument::fSetDokument(std::string_view typeCode, std::int32_t typeVersion,
                                        std::int32_t typeVariant, std::string_view description,
                                        bool show) {
    std::string_view code = trimBlanksAndControls(typeCode);
    if (code.empty()) {
        pStrErrorMessBox("Proszę podać kod typu dokumentu!", show);
        return qdpcode::DocumentCodeEmpty;
    }
    typeCode_ = code;
    typeVersion_ = typeVersion;
    typeVariant_ = typeVariant;
    description_ = trimBlanksAndControls(description);
    return qdpcode::Ok;
}

std::int32_t TQDPDokument::fCreateDokument(QdpHandle handle, bool show) {
    showErrors_ = show;
    std::int32_t result = fUserDefDokument();
    if (result != qdpcode::Ok) {
        if (result == qdpcode::DocumentHookMissing)
            pStrErrorMessBox(hookMessage("fUserDefDokument"), show);
        return result;
    }
    if (typeCode_.empty()) {
        pStrErrorMessBox("Proszę podać kod typu dokumentu!", show);
        return qdpcode::DocumentCodeEmpty;
    }
    if (typeVersion_ == 0) {
        pStrErrorMessBox("Proszę podać wersję typu dokumentu!", show);
        return qdpcode::DocumentCodeEmpty;
    }
    handle_ = handle;
    std::string typeCode, description;
    if (!toLibraryText(typeCode_, "Kod typu dokumentu", typeCode, show) ||
        !toLibraryText(description_, "Opis dokumentu", description, show))
        return qdpcode::NotWindows1250;
    result = library().AddDokumentC(handle_, typeCode.c_str(), typeVersion_, typeVariant_,
                                    description.c_str());
    if (result != qdpcode::Ok) {
        pIntErrorMessBox(result, show);
        return result;
    }
    // Only a hook never written gets the hook message; any other failure
    // below has shown its own.
    result = fUserDefListaSekcji();
    if (result == qdpcode::DocumentHookMissing)
        pStrErrorMessBox(hookMessage("fUserDefListaSekcji"), show);
    return result;
}

void TQDPDokument::pClearDokument() {
    sections_.clear();
    typeCode_.clear();
    typeVersion_ = 0;
    typeVariant_ = 0;
    description_.clear();
    handle_ = 0;
}

TQDPSekcja& TQDPDokument::addSekcja(std::unique_ptr<TQDPSekcja> section) {
    sections_.push_back(std::move(section));
    return *sections_.back();
}

} // namespace xls2qdp
