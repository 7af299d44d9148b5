// SPDX-License-Identifier: MIT
// The Polish texts of the package library's result codes and the two ways
// the importer words a code: as an exception text and as an error box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xls2qdp {

// Table text of a library code (1..55 and the library's format-limit codes);
// empty for any other code.
std::string_view libraryMessageText(std::int32_t code);

// The text pException throws: the table text with its "Błąd krytyczny: " or
// "Błąd: " prefix (or the disk-space sentence for 42..45), "Nieznany błąd: N"
// for codes without a text, always ending "!!!".
std::string exceptionText(std::int32_t code);

// The text of the library error box: "Błąd biblioteki: N " and, for a code
// with a table text, a line break and that text.
std::string libraryErrorBoxText(std::int32_t code);

} // namespace xls2qdp
