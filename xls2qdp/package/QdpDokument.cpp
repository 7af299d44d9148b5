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
    m_typeCode = code;
    m_typeVersion = typeVersion;
    m_typeVariant = typeVariant;
    m_description = trimBlanksAndControls(description);
    return qdpcode::Ok;
}

std::int32_t TQDPDokument::fCreateDokument(QdpHandle handle, bool show) {
    m_showErrors = show;
    std::int32_t result = fUserDefDokument();
    if (result != qdpcode::Ok) {
        pStrErrorMessBox(hookMessage("fUserDefDokument"), show);
        return result;
    }
    if (m_typeCode.empty()) {
        pStrErrorMessBox("Proszę podać kod typu dokumentu!", show);
        return qdpcode::DocumentCodeEmpty;
    }
    if (m_typeVersion == 0) {
        pStrErrorMessBox("Proszę podać wersję typu dokumentu!", show);
        return qdpcode::DocumentCodeEmpty;
    }
    m_handle = handle;
    std::string typeCode, description;
    if (!toLibraryText(m_typeCode, "Kod typu dokumentu", typeCode, show) ||
        !toLibraryText(m_description, "Opis dokumentu", description, show))
        return qdpcode::NotWindows1250;
    result = library().AddDokumentC(m_handle, typeCode.c_str(), m_typeVersion, m_typeVariant,
                                    description.c_str());
    if (result != qdpcode::Ok) {
        pIntErrorMessBox(result, show);
        return result;
    }
    result = fUserDefListaSekcji();
    if (result != qdpcode::Ok) pStrErrorMessBox(hookMessage("fUserDefListaSekcji"), show);
    return result;
}

void TQDPDokument::pClearDokument() {
    m_sections.clear();
    m_typeCode.clear();
    m_typeVersion = 0;
    m_typeVariant = 0;
    m_description.clear();
    m_handle = 0;
}

TQDPSekcja& TQDPDokument::addSekcja(std::unique_ptr<TQDPSekcja> section) {
    m_sections.push_back(std::move(section));
    return *m_sections.back();
}

} // namespace xls2qdp
