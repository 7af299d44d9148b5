// SPDX-License-Identifier: MIT
#include "declarations/QdpPOZDokument.h"

#include "package/QdpCodes.h"

#include <stdexcept>

namespace xls2qdp {

TQDPPOZDokument::TQDPPOZDokument(QdpBinding binding)
    : TQDPDokument(binding), m_sekcja1(std::make_unique<TQDPPOZSekcja1>(binding)),
      m_sekcja2(std::make_unique<TQDPPOZSekcja2>(binding)),
      m_sekcja3(std::make_unique<TQDPPOZSekcja3>(binding)),
      m_sekcja4(std::make_unique<TQDPPOZSekcja4>(binding)),
      m_sekcja5(std::make_unique<TQDPPOZSekcja5>(binding)) {}

TQDPPOZDokument::~TQDPPOZDokument() = default;

void TQDPPOZDokument::pSetVersion(std::int32_t docVersion, std::int32_t docVariant) {
    m_docVersion = docVersion;
    m_docVariant = docVariant;
}

void TQDPPOZDokument::setMessageSink(MessageSink* sink) {
    TQDPDokument::setMessageSink(sink);
    for (int number = 1; number <= 5; ++number)
        sekcja(number).setMessageSink(sink);
}

std::int32_t TQDPPOZDokument::fUserDefDokument() {
    return fSetDokument(kPozDocumentType, m_docVersion, m_docVariant, kPozDocumentDescription,
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
        return *m_sekcja1;
    case 2:
        return *m_sekcja2;
    case 3:
        return *m_sekcja3;
    case 4:
        return *m_sekcja4;
    case 5:
        return *m_sekcja5;
    default:
        throw std::out_of_range("POZ section number outside 1..5");
    }
}

} // namespace xls2qdp
