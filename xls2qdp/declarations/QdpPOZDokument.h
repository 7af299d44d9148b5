// SPDX-License-Identifier: MIT
// The one document of the POZ declaration package with its five sections.
#pragma once

#include "declarations/QdpPOZSekcja.h"
#include "package/QdpDokument.h"

#include <memory>

namespace xls2qdp {

class TQDPPOZDokument : public TQDPDokument {
public:
    explicit TQDPPOZDokument(QdpBinding binding = {});
    ~TQDPPOZDokument() override;

    // The document version and variant that fUserDefDokument declares.
    void pSetVersion(std::int32_t docVersion, std::int32_t docVariant);

    void setMessageSink(MessageSink* sink) override;

    std::int32_t fUserDefDokument() override;
    // Builds sections 1 to 5 in order; stops at the first failure.
    std::int32_t fUserDefListaSekcji() override;

    TQDPPOZSekcja1& sekcja1() { return *m_sekcja1; }
    TQDPPOZSekcja2& sekcja2() { return *m_sekcja2; }
    TQDPPOZSekcja3& sekcja3() { return *m_sekcja3; }
    TQDPPOZSekcja4& sekcja4() { return *m_sekcja4; }
    TQDPPOZSekcja5& sekcja5() { return *m_sekcja5; }
    // Section number 1..5 through the common class.
    TQDPPOZSekcja& sekcja(int number);

private:
    std::int32_t m_docVersion = 0;
    std::int32_t m_docVariant = 0;
    std::unique_ptr<TQDPPOZSekcja1> m_sekcja1;
    std::unique_ptr<TQDPPOZSekcja2> m_sekcja2;
    std::unique_ptr<TQDPPOZSekcja3> m_sekcja3;
    std::unique_ptr<TQDPPOZSekcja4> m_sekcja4;
    std::unique_ptr<TQDPPOZSekcja5> m_sekcja5;
};

} // namespace xls2qdp
