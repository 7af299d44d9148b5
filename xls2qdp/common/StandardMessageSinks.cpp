// SPDX-License-Identifier: MIT
#include "common/StandardMessageSinks.h"

#include <cstdio>
#include <string>

namespace xls2qdp {

void StderrMessageSink::show(MessageKind kind, std::string_view text) {
    const char* label = kind == MessageKind::Error     ? "Błąd"
                        : kind == MessageKind::Warning ? "Ostrzeżenie"
                                                       : "Informacja";
    std::string line;
    for (char c : text)
        if (c != '\r') line += c; // the texts carry Windows line breaks
    std::fprintf(stderr, "%s: %s\n", label, line.c_str());
}

MessageSink& stderrMessageSink() {
    static StderrMessageSink sink;
    return sink;
}

} // namespace xls2qdp
