// SPDX-License-Identifier: MIT
#include "ImportSummary.h"

namespace xls2qdp {

std::vector<std::string> ImportSummary::lines() const {
    std::vector<std::string> out;
    std::string sheet = "Arkusz: " + std::to_string(sheetNumber);
    if (!sheetName.empty()) sheet += " („" + sheetName + "”)";
    out.push_back(sheet);
    out.push_back("Zapisane deklaracje: " + std::to_string(declarations));
    out.push_back("Ostatni wiersz danych: " + std::to_string(lastDataRow));
    out.push_back("Pominięte wiersze (bez nazwiska i imienia): " + std::to_string(rowsSkipped));
    out.push_back("Uwagi w raporcie importu: " + std::to_string(remarkTotal));
    for (const RemarkCount& remark : remarks)
        out.push_back("- " + remark.description + ": " + std::to_string(remark.count));
    for (const std::string& warning : warnings)
        out.push_back("UWAGA: " + warning);
    return out;
}

} // namespace xls2qdp
