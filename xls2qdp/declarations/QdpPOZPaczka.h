// SPDX-License-Identifier: MIT
// TQDPPOZPaczka: the POZ declaration package, the one package the importer
// writes. Use: construct, fInitPOZ with the installation's settings and the
// working table, then fMakePaczka(output path, folder for temporary files,
// show) from TQDPPaczka.
#pragma once

#include "declarations/QdpPOZDokument.h"
#include "package/QdpPaczka.h"

#include <memory>

namespace xls2qdp {

class TQDPPOZPaczka : public TQDPPaczka {
public:
    explicit TQDPPOZPaczka(QdpBinding binding = {});
    ~TQDPPOZPaczka() override;

    // Hands the parameters to sections 1..5 and the document and the
    // working table (not owned; must stay open until fMakePaczka returns) to
    // sections 2..5. Always true.
    bool fInitPOZ(std::string_view nrInstalacji, std::string_view kodSwiadcz,
                  std::int32_t docVersion, std::int32_t docVariant, WorkingTableCursor* table);

    void setMessageSink(MessageSink* sink) override;

    std::int32_t fUserDefPaczka() override;
    std::int32_t fUserDefListaDokumentow() override;

    TQDPPOZDokument& dokument() { return *dokument_; }

private:
    std::unique_ptr<TQDPPOZDokument> dokument_;
};

} // namespace xls2qdp
