// SPDX-License-Identifier: MIT
// The building calls of the library on one package, after its handle has
// been checked: every check and result code in the order callers rely on.
#pragma once

#include "Paczka.h"
#include "Result.h"

#include <cstdint>
#include <memory>

namespace qdp {

// New package with these values (70 for a version the file cannot hold,
// 2 for a missing code).
[[nodiscard]] Result makePackage(std::int32_t version, const char* typeCode,
                                 const char* programCode, const char* description,
                                 std::unique_ptr<Paczka>& made);
[[nodiscard]] Result redefinePackage(Paczka& p, std::int32_t version, const char* typeCode,
                                     const char* programCode, const char* description);

[[nodiscard]] Result setOutPath(Paczka& p, const char* folder);
[[nodiscard]] Result addDokument(Paczka& p, const char* typeCode, std::int32_t typeVersion,
                                 std::int32_t typeVariant, const char* description);
[[nodiscard]] Result addSekcja(Paczka& p, const char* code, const char* description);
[[nodiscard]] Result addDefPol(Paczka& p, const char* name, const char* type, const char* size,
                               const char* precision, const char* description);
[[nodiscard]] Result addDefPols(Paczka& p, std::uint32_t count, const char* names,
                                const char* types, const char* sizes, const char* precisions,
                                const char* descriptions);
[[nodiscard]] Result setDefPolExt(Paczka& p, std::int32_t blobField, std::int32_t sizeField,
                                  const char* sourceFile, const char* key, const char* iv,
                                  std::int32_t algorithm, std::int32_t mode,
                                  std::int32_t chunkSize);
[[nodiscard]] Result addRekord(Paczka& p, char* record);
[[nodiscard]] Result save(Paczka& p, const char* outputPath);

[[nodiscard]] Result selectDokument(Paczka& p, std::uint32_t index);
// keepPosition: the SetCurrentSekcjaNoRes flavour.
[[nodiscard]] Result selectSekcja(Paczka& p, std::uint32_t index, bool keepPosition);

// Slot widths of the arrays of AddDefPolsC.
inline constexpr std::size_t kNameSlot = 25;
inline constexpr std::size_t kTypeSlot = 5;
inline constexpr std::size_t kSizeSlot = 5;
inline constexpr std::size_t kPrecisionSlot = 5;
inline constexpr std::size_t kDescriptionSlot = 251;

} // namespace qdp
