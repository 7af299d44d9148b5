// SPDX-License-Identifier: MIT
#include "declarations/QdpPOZDokument.h"

#include "package/QdpCodes.h"

#include <stdexcept>

namespace xls2qdp {

TQDPPOZDokument::TQDPPOZDokument(QdpBinding binding)
    : TQDPDokument(binding), sekcja1_(std::make_unique<TQDPPOZSekcja1>(binding)),
      sekcja2_(std::make_unique<TQDPPOZSekcja2>(binding)),
      sekcja3_(std::make_unique<TQDPPOZSekcja3>(binding)),
      sekcja4_(std::make_unique<TQDPPOZSekcja4>(binding)),
      sekcja5_(std::make_unique<TQDPPOZSekcja5>(binding)) {
    // DEKLARACJE reads every row; the three sections after it take a few.
    sekcja2_->setRowFollowers({sekcja3_.get(), sekcja4_.get(), sekcja5_.get()});
}

TQDPPOZDokument::~TQDPPOZDokument() = default;

void TQDPPOZDokument::pSetVersion(std::int32_t docVersion, std::int32_t docVariant) {
    docVersion_ = docVersion;
    docVariant_ = docVariant;
}

void TQDPPOZDokument::setMessageSink(MessageSink* sink) {
    TQDPDokument::setMessageSink(sink);
    for (int number = 1; number <= 5; ++number)
        sekcja(number).setMessageSink(sink);
}

std::int32_t TQDPPOZDokument::fUserDefDokument() {
    return fSetDokument(kPozDocumentType, docVersion_, docVariant_, kPozDocumentDescription,
                        showErrors());
}

std::int32_t TQDPPOZDokument::fUserDefListaSekcji() {
    for (int number = 1; number <= 5; ++number)
        if (std::int32_t result = sekcja(number).fCreateSekcja(handle(), showErrors());
            result != qdpcode::Ok)
            return result;
    return qdpcode::Ok;
}

TQDPPOZSekcja& TQDPPOZDokument::sekcja(int number) {
    switch (number) {
    case 1:
        return *sekcja1_;
    case 2:
        return *sekcja2_;
    case 3:
        return *sekcja3_;
    case 4:
        return *sekcja4_;
    case 5:
        return *sekcja5_;
    default:
        throw std::out_of_range("POZ section number outside 1..5");
    }
}

} // namespace xls2qdp
