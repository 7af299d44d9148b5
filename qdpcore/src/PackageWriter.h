// SPDX-License-Identifier: MIT
// Writing a package file: lengths and offsets first, then headers, lists,
// field definitions and the sections' temporary files, in file order.
#pragma once

#include "ByteSink.h"
#include "Paczka.h"
#include "Result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qdp {

// Length of the whole file (14, 15, 16 for a package, document or section
// with nothing in it; 71 when it exceeds what the format can state).
[[nodiscard]] Result computeTotalSize(const Paczka& paczka, std::uint64_t& total);

// Writes the package into sink with date as the date of saving
// ("yyyy.mm.dd"); sets the package's total size, size text and date.
[[nodiscard]] Result writePackage(Paczka& paczka, ByteSink& sink, std::string_view date);

// Today's local date as "yyyy.mm.dd".
std::string todaysDate();

// Saves into the file at path by the rules of FileReplacement.h: a failure
// leaves the file as it was (or no file) and never a partial package. Left-
// over temporary files of killed runs in its folder are removed.
[[nodiscard]] Result savePackage(Paczka& paczka, const std::string& path);

} // namespace qdp
