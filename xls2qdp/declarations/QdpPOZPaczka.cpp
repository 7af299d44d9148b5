// SPDX-License-Identifier: MIT
#include "declarations/QdpPOZPaczka.h"

namespace xls2qdp {

TQDPPOZPaczka::TQDPPOZPaczka(QdpBinding binding)
    : TQDPPaczka(binding), dokument_(std::make_unique<TQDPPOZDokument>(binding)) {}

// The document goes before the base class clears the library package.
TQDPPOZPaczka::~TQDPPOZPaczka() {
    dokument_.reset();
}

bool TQDPPOZPaczka::fInitPOZ(std::string_view nrInstalacji, std::string_view kodSwiadcz,
                             std::int32_t docVersion, std::int32_t docVariant,
                             WorkingTableCursor* table) {
    for (int number = 1; number <= 5; ++number) {
        TQDPPOZSekcja& section = dokument_->sekcja(number);
        section.pSetParams(nrInstalacji, kodSwiadcz, docVersion, docVariant);
        if (number >= 2) section.setWorkingTable(table);
    }
    dokument_->pSetVersion(docVersion, docVariant);
    return true;
}

void TQDPPOZPaczka::setMessageSink(MessageSink* sink) {
    TQDPPaczka::setMessageSink(sink);
    dokument_->setMessageSink(sink);
}

std::int32_t TQDPPOZPaczka::fUserDefPaczka() {
    return fSetPaczka(kPozPackageVersion, kPozPackageType, kPozProgramCode, kPozPackageDescription);
}

std::int32_t TQDPPOZPaczka::fUserDefListaDokumentow() {
    return dokument_->fCreateDokument(handle(), showErrors());
}

} // namespace xls2qdp
