// SPDX-License-Identifier: MIT
// The message shown when a hook of a package, document or section object
// failed or was not replaced by the concrete class.
#pragma once

#include <string>
#include <string_view>

namespace xls2qdp {

// "Funkcja <hook> nie została zdefiniowana lub została zdefiniowana błędnie!"
inline std::string hookMessage(std::string_view hook) {
    return "Funkcja " + std::string(hook) +
           " nie została zdefiniowana lub została zdefiniowana błędnie!";
}

} // namespace xls2qdp
