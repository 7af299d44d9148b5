// SPDX-License-Identifier: MIT
// The reading calls of the library on one package, after its handle has
// been checked (or, for opening, before a package exists).
#pragma once

#include "Paczka.h"
#include "Result.h"

#include <cstdint>
#include <memory>

namespace qdp {

// Outputs of the package header; a null text or number is skipped. Texts
// need the width of their member: 33 for the codes, 11 for the date and the
// size text, 251 for the description.
struct PackageHeadOutputs {
    std::int32_t* version = nullptr;
    char* typeCode = nullptr;
    char* programCode = nullptr;
    std::uint32_t* documentCount = nullptr;
    char* date = nullptr;
    char* description = nullptr;
    std::int32_t* totalSize = nullptr;
    char* sizeText = nullptr;
};

// Opens a package file into a new package. Before the package exists the
// result is 21, 33 or 26 and made stays empty; once it exists (made is set)
// the result is 50 when the file's length differs from its header, else the
// first structure error met below the header, else 1.
[[nodiscard]] Result openPackage(const char* path, std::unique_ptr<Paczka>& made);
// Reads only the header of a file, keeping nothing: 21, 33, 26, 50 or 1.
[[nodiscard]] Result readPackageInfo(const char* path, const PackageHeadOutputs& out);

void fillPackageHead(const Paczka& p, const PackageHeadOutputs& out);

[[nodiscard]] Result readDokumentHead(Paczka& p, std::int32_t* offset, std::int32_t* length,
                                      char* typeCode, std::int32_t* typeVersion,
                                      std::int32_t* typeVariant, std::uint32_t* sectionCount,
                                      char* date, char* description);
[[nodiscard]] Result readSekcjaHead(Paczka& p, std::int32_t* offset, std::int32_t* length,
                                    char* code, std::uint32_t* fieldCount,
                                    std::uint32_t* recordCount, char* description);
// Slot arrays as in AddDefPolsC: names 25 bytes, types 5, sizes 5,
// precisions 5, descriptions 251. A five-digit size fills its slot with no
// zero after it; nothing is written outside the slots.
[[nodiscard]] Result readListaDefPol(Paczka& p, char* names, char* types, char* sizes,
                                     char* precisions, char* descriptions);
[[nodiscard]] Result readRecord(Paczka& p, char* record);
[[nodiscard]] Result closeReadFile(Paczka& p);
// Positions the read file (when one is open) after a section was selected.
[[nodiscard]] Result positionReadFile(Paczka& p, bool resume);

} // namespace qdp
