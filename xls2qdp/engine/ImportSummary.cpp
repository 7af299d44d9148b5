// SPDX-License-Identifier: MIT
#include "ImportSummary.h"

namespace xls2qdp {

std::vector<std::pair<std::string, std::string>> ImportSummary::facts() const {
    std::string sheet = std::to_string(sheetNumber);
    if (!sheetName.empty()) sheet += " („" + sheetName + "”)";
    return {{"Arkusz", sheet},
            {"Zapisane deklaracje", std::to_string(declarations)},
            {"Ostatni wiersz danych", std::to_string(lastDataRow)},
            {"Pominięte wiersze (bez nazwiska i imienia)", std::to_string(rowsSkipped)},
            {"Uwagi w raporcie importu", std::to_string(remarkTotal)}};
}

std::vector<std::string> ImportSummary::lines() const {
    std::vector<std::string> out;
    for (const auto& [label, value] : facts())
        out.push_back(label + ": " + value);
    for (const RemarkCount& remark : remarks)
        out.push_back("- " + remark.description + ": " + std::to_string(remark.count));
    for (const std::string& warning : warnings)
        out.push_back("UWAGA: " + warning);
    return out;
}

} // namespace xls2qdp
