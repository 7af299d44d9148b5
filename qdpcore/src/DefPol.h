// SPDX-License-Identifier: MIT
// One field definition of a section.
#pragma once

#include "CipherSession.h"
#include "FileFormat.h"

#include <cstdint>
#include <string>

namespace qdp {

// Extended attributes of a "B" field: its content comes from (or, when
// reading, goes to) a file, in chunks, and its true length travels in a
// linked N field.
struct ExtendedAttributes {
    bool enabled = false;
    std::string sourceFile;
    CipherSession cipher; // the field's own cipher; none = package cipher
    std::uint32_t chunkSize = format::kDefaultChunkSize;
    std::uint32_t sizeFieldIndex = 0;
};

struct DefPol {
    std::string name;       // at most 24 characters
    std::string type;       // at most 4 characters
    std::uint32_t size = 0; // bytes in a record, below 99999
    std::uint32_t precision = 0;
    std::string description; // at most 250 characters, empty = none
    ExtendedAttributes ext;
    // Blob reference of the current record (reading).
    std::uint32_t blobOffset = 0;
    std::uint32_t blobLength = 0;

    // The kind of a field is told by the first letter of its type.
    [[nodiscard]] bool isBlob() const {
        return !type.empty() && (type[0] == 'B' || type[0] == 'V');
    }
    [[nodiscard]] bool canBeSizeField() const { return !type.empty() && type[0] == 'N'; }
    [[nodiscard]] bool canHaveExtendedAttributes() const { return type == "B"; }
    // Bytes of the field in a record: the field and its zero separator.
    [[nodiscard]] std::uint64_t slotLength() const { return std::uint64_t{size} + 1; }
};

// Cuts a caller's text to the width of its member.
inline std::string cutText(const char* text, std::size_t memberWidth) {
    if (text == nullptr) return {};
    std::string s;
    for (std::size_t i = 0; i + 1 < memberWidth && text[i] != '\0'; ++i)
        s += text[i];
    return s;
}

} // namespace qdp
