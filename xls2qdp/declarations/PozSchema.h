// SPDX-License-Identifier: MIT
// Layout of the POZ declaration package: its codes, the five sections and
// every field definition with the source of its value in the working table.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace xls2qdp {

inline constexpr std::int32_t kPozPackageVersion = 1;
inline constexpr std::string_view kPozPackageType = "POZ_DEKLARACJE";
inline constexpr std::string_view kPozProgramCode = "KW_XLSIMP";
inline constexpr std::string_view kPozPackageDescription = "Paczka zawiera deklaracje POZ";
inline constexpr std::string_view kPozDocumentType = "X_DATA_EXPORT";
inline constexpr std::string_view kPozDocumentDescription =
    "Dokument zawiera informacje o deklaracjach POZ";

// Values INSTALACJA gives the sending application.
inline constexpr std::string_view kPozApplicationKind = "WXLS";
inline constexpr std::string_view kPozApplicationVersion = "1.0101";

// Where the value of a field comes from.
enum class PozSource {
    Empty,        // always empty
    Constant,     // the text in PozField::source
    ProviderCode, // KodSwiadcz of the installation
    Installation, // NrInstalacji of the installation
    TableText,    // the working-table field named in source, as text
    TableDate,    // the working-table date field named in source, as 2004.03.15
};

struct PozField {
    std::string_view name;
    std::string_view type;
    std::uint32_t size;
    std::string_view description;
    PozSource from = PozSource::Empty;
    std::string_view source = {};
    // Appended only when the section's field limit is above this (-1: always).
    int appendAbove = -1;
    // When set, the value is taken only when this table field is exactly "T".
    std::string_view onlyWhenT = {};
};

struct PozSectionSchema {
    std::string_view code;
    std::string_view description;
    std::span<const PozField> fields;
};

const PozSectionSchema& pozInstalacjaSchema();  // section 1
const PozSectionSchema& pozDeklaracjeSchema();  // section 2
const PozSectionSchema& pozZglaszajacySchema(); // section 3
const PozSectionSchema& pozWycofujacySchema();  // section 4
const PozSectionSchema& pozCudzoziemcySchema(); // section 5

// Field limits of INSTALACJA and DEKLARACJE by document version and variant.
struct PozFieldLimits {
    int instalacja;
    int deklaracje;
    friend bool operator==(const PozFieldLimits&, const PozFieldLimits&) = default;
};
PozFieldLimits pozFieldLimits(int version, int variant);

// Every working-table field the five sections read (values and row
// choices), sorted, without repeats.
std::vector<std::string_view> pozWorkingTableFieldsRead();

} // namespace xls2qdp
