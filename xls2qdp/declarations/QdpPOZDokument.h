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

    TQDPPOZSekcja1& sekcja1() { return *sekcja1_; }
    TQDPPOZSekcja2& sekcja2() { return *sekcja2_; }
    TQDPPOZSekcja3& sekcja3() { return *sekcja3_; }
    TQDPPOZSekcja4& sekcja4() { return *sekcja4_; }
    TQDPPOZSekcja5& sekcja5() { return *sekcja5_; }
    // Section number 1..5 through the common class.
    TQDPPOZSekcja& sekcja(int number);

private:
    std::int32_t docVersion_ = 0;
    std::int32_t docVariant_ = 0;
    std::unique_ptr<TQDPPOZSekcja1> sekcja1_;
    std::unique_ptr<TQDPPOZSekcja2> sekcja2_;
    std::unique_ptr<TQDPPOZSekcja3> sekcja3_;
    std::unique_ptr<TQDPPOZSekcja4> sekcja4_;
    std::unique_ptr<TQDPPOZSekcja5> sekcja5_;
};

} // namespace xls2qdp
