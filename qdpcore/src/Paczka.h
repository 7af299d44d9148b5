// SPDX-License-Identifier: MIT
// One package: header values, documents, the current document, the package
// cipher and the temporary folder.
#pragma once

#include "CipherSession.h"
#include "Dokument.h"
#include "PackageReader.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qdp {

class Paczka {
public:
    std::int32_t version = 0;
    std::string typeCode;    // at most 32 characters
    std::string programCode; // at most 32 characters
    std::string description;
    std::string date; // of the last save, or of a read file
    std::uint32_t totalSize = 0;
    std::string sizeText;
    std::string tempFolder; // prefix of the temporary file names
    std::vector<std::unique_ptr<Dokument>> documents;
    std::optional<std::size_t> currentDocument;
    CipherSession cipher;
    // On only while a record is added or read: the package cipher is used
    // only then.
    bool recordPhase = false;
    // The package file opened for reading, with what its walk found.
    std::unique_ptr<PackageReader> reader;

    [[nodiscard]] Dokument* current() {
        return currentDocument && *currentDocument < documents.size()
                   ? documents[*currentDocument].get()
                   : nullptr;
    }
    // The package cipher when it exists and a record is being handled.
    [[nodiscard]] const CipherSession* recordCipher() const {
        return recordPhase && cipher.exists() ? &cipher : nullptr;
    }
};

} // namespace qdp
