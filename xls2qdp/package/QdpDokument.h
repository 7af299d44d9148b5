// SPDX-License-Identifier: MIT
// TQDPDokument: one document of a package. A concrete document overrides
// fUserDefDokument (type code, version, variant, description, through
// fSetDokument) and fUserDefListaSekcji (builds its sections, usually with
// fCreateSekcja of each). fCreateDokument runs them around AddDokumentC.
#pragma once

#include "package/QdpSekcja.h"

#include <memory>
#include <vector>

namespace xls2qdp {

class TQDPDokument : public TQDPBase {
public:
    explicit TQDPDokument(QdpBinding binding = {});
    ~TQDPDokument() override;

    // Hooks; both defaults give 108.
    virtual std::int32_t fUserDefDokument();
    virtual std::int32_t fUserDefListaSekcji();

    // For fUserDefDokument: trims code and description; an empty code gives
    // 510 with its message.
    std::int32_t fSetDokument(std::string_view typeCode, std::int32_t typeVersion,
                              std::int32_t typeVariant, std::string_view description, bool show);
    // Builds the document in the library package handle. 1 or the first
    // failure code (510 for an empty code or a version 0, with the message).
    std::int32_t fCreateDokument(QdpHandle handle, bool show);
    // Frees the owned sections and empties every field.
    void pClearDokument();

    // Section objects the document owns (for concrete documents that keep
    // their sections in a list).
    TQDPSekcja& addSekcja(std::unique_ptr<TQDPSekcja> section);
    const std::vector<std::unique_ptr<TQDPSekcja>>& sections() const { return m_sections; }

    const std::string& typeCode() const { return m_typeCode; }
    std::int32_t typeVersion() const { return m_typeVersion; }
    std::int32_t typeVariant() const { return m_typeVariant; }
    const std::string& description() const { return m_description; }
    QdpHandle handle() const { return m_handle; }

protected:
    // The show-errors switch of the running fCreateDokument, for the hooks.
    bool showErrors() const { return m_showErrors; }

private:
    bool m_showErrors = true;
    std::string m_typeCode;
    std::int32_t m_typeVersion = 0;
    std::int32_t m_typeVariant = 0;
    std::string m_description;
    QdpHandle m_handle = 0;
    std::vector<std::unique_ptr<TQDPSekcja>> m_sections;
};

} // namespace xls2qdp
