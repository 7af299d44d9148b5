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
    const std::vector<std::unique_ptr<TQDPSekcja>>& sections() const { return sections_; }

    const std::string& typeCode() const { return typeCode_; }
    std::int32_t typeVersion() const { return typeVersion_; }
    std::int32_t typeVariant() const { return typeVariant_; }
    const std::string& description() const { return description_; }
    QdpHandle handle() const { return handle_; }

protected:
    // The show-errors switch of the running fCreateDokument, for the hooks.
    bool showErrors() const { return showErrors_; }

private:
    bool showErrors_ = true;
    std::string typeCode_;
    std::int32_t typeVersion_ = 0;
    std::int32_t typeVariant_ = 0;
    std::string description_;
    QdpHandle handle_ = 0;
    std::vector<std::unique_ptr<TQDPSekcja>> sections_;
};

} // namespace xls2qdp
