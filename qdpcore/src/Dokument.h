// SPDX-License-Identifier: MIT
// One document: its sections and the current section.
#pragma once

#include "Sekcja.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qdp {

class Dokument {
public:
    std::string typeCode; // at most 32 characters
    std::int32_t typeVersion = 0;
    std::int32_t typeVariant = 0;
    std::string description;
    std::string date; // of a read file
    std::vector<std::unique_ptr<Sekcja>> sections;
    std::optional<std::size_t> currentSection;

    // Reading: where the document lies in the package file.
    std::int64_t offset = 0;
    std::int64_t length = 0;

    [[nodiscard]] Sekcja* current() {
        return currentSection && *currentSection < sections.size() ? sections[*currentSection].get()
                                                                   : nullptr;
    }
};

} // namespace qdp
