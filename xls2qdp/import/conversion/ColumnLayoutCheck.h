// SPDX-License-Identifier: MIT
// Whether the columns L to AL of a declaration sheet sit where the template
// has them. Their headers are not checked, so a column inserted or deleted
// after K would pass the header check and move every address field one
// column over. Two kinds of evidence are weighed:
//   - a header in L..AL that is the template's name of another column;
//   - the first data rows: columns whose values have a shape (postal codes,
//     T/N flags, dates, PESELs) holding none of it while the neighbouring
//     column holds it throughout.
// Two or more pieces of evidence make the shift certain, one makes it likely.
#pragma once

#include "import/DeclarationRow.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace xls2qdp {

// How many data rows from the top the check looks at.
inline constexpr std::size_t kLayoutSampleRows = 50;

enum class LayoutShift { None, Likely, Certain };

struct LayoutVerdict {
    LayoutShift shift = LayoutShift::None;
    // One Polish line per piece of evidence, naming the columns, e.g.
    // "Kolumna Q zawiera kody pocztowe (np. „34-700”), które należą do kolumny P."
    std::vector<std::string> evidence;
};

// headers: row 6's texts, columns A to AL; rows: the first data rows.
LayoutVerdict checkColumnLayout(const std::array<std::string, kDeclarationColumns>& headers,
                                std::span<const DeclarationRow> rows);

} // namespace xls2qdp
