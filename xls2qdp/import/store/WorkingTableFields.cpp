// SPDX-License-Identifier: MIT
#include "WorkingTableFields.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace xls2qdp::store {

std::optional<WorkingField> workingFieldByName(std::string_view name) {
    // Sections read dozens of fields per row; a sorted table keeps that cheap.
    static const auto sorted = [] {
        std::array<std::pair<std::string_view, WorkingField>, kWorkingFieldCount> table;
        for (std::size_t i = 0; i < kWorkingFieldCount; ++i)
            table[i] = {kWorkingFields[i].name, static_cast<WorkingField>(i)};
        std::sort(table.begin(), table.end());
        return table;
    }();
    const auto it =
        std::lower_bound(sorted.begin(), sorted.end(), name,
                         [](const auto& entry, std::string_view n) { return entry.first < n; });
    if (it == sorted.end() || it->first != name) return std::nullopt;
    return it->second;
}

} // namespace xls2qdp::store
