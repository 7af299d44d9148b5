// SPDX-License-Identifier: MIT
// Result codes of the importer's package layer. One numbering is shared with
// qdpcore: 1 is success, the library's own codes (2..55 and its format-limit
// codes) are handed on unchanged, and the layer adds the codes below.
#pragma once

#include <cstdint>

namespace xls2qdp::qdpcode {

inline constexpr std::int32_t Ok = 1;

// Library codes the layer itself reports for a value list of the wrong length.
inline constexpr std::int32_t TooManyValues = 17;
inline constexpr std::int32_t TooFewValues = 18;

inline constexpr std::int32_t BlobFieldTooShort = 103; // "V"/"B" field below 21 characters
inline constexpr std::int32_t NoFieldsForRecord = 104; // record for a section without fields
inline constexpr std::int32_t SectionHookMissing =
    107; // fUserDefSekcja / fUserDefPol / fUserWriteData
inline constexpr std::int32_t DocumentHookMissing = 108;
inline constexpr std::int32_t PackageHookMissing = 109;

inline constexpr std::int32_t BadDate = 501;        // "D": not shaped as 2004.03.15
inline constexpr std::int32_t BadTime = 502;        // "T": not shaped as 12:30:00
inline constexpr std::int32_t BadDateTime = 503;    // "DT"
inline constexpr std::int32_t BadNumber = 504;      // "N": too long or too many decimals
inline constexpr std::int32_t NotWindows1250 = 505; // a text Windows-1250 cannot hold
inline constexpr std::int32_t TempFolderMissing = 506;
inline constexpr std::int32_t FieldDefinitionIncomplete = 507;
inline constexpr std::int32_t NoFieldDefinitions = 508;
inline constexpr std::int32_t SectionCodeEmpty = 509;
inline constexpr std::int32_t DocumentCodeEmpty = 510;
inline constexpr std::int32_t OutputNameEmpty = 513;

// Smallest size of a blob field: its slot holds "offset length" as text.
inline constexpr std::uint32_t MinBlobFieldSize = 21;

} // namespace xls2qdp::qdpcode
