// SPDX-License-Identifier: MIT
// The records and blob data of one section while its package is built: the
// record buffer and two temporary files, and the making of each record from
// the caller's text.
#pragma once

#include "CipherSession.h"
#include "Result.h"
#include "TempFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qdp {

struct DefPol;
class Sekcja;

class SekcjaRecords {
public:
    // Creates the record file and the blob file in folder (45 on failure,
    // 73 when the folder does not exist).
    [[nodiscard]] Result create(const std::string& folder);
    // 1 while both temporary files are open; else why records cannot be
    // written: 73 when their folder was missing, else 42.
    [[nodiscard]] Result state() const;
    // Makes the record buffer for the section's current record length (36, 20).
    [[nodiscard]] Result makeBuffer(const Sekcja& section);

    // Adds one record of section laid out in text (see the public header);
    // the package cipher is null when the package has none.
    [[nodiscard]] Result add(Sekcja& section, char* text, const CipherSession* packageCipher);

    [[nodiscard]] std::uint64_t recordBytes() const { return recordFile_.size(); }
    [[nodiscard]] std::uint64_t blobBytes() const { return blobFile_.size(); }
    [[nodiscard]] TempFile& recordFile() { return recordFile_; }
    [[nodiscard]] TempFile& blobFile() { return blobFile_; }

private:
    [[nodiscard]] Result storeInlineBlob(const DefPol& field, const char* source, char* slot,
                                         const CipherSession* cipher);
    [[nodiscard]] Result streamSourceFile(DefPol& field, char* slot,
                                          const CipherSession* packageCipher,
                                          std::uint64_t& sourceLength);
    [[nodiscard]] Result appendBlob(std::span<const char> bytes);

    std::vector<char> recordBuffer_;
    std::vector<std::uint64_t> offsets_; // of each field's slot in the record
    TempFile recordFile_;
    TempFile blobFile_;
    Result made_ = Result::Ok;
};

} // namespace qdp
