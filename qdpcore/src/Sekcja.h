// SPDX-License-Identifier: MIT
// One section: its field definitions and, while a package is built, its
// records and blob data in two temporary files.
#pragma once

#include "CipherSession.h"
#include "DefPol.h"
#include "Result.h"
#include "TempFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qdp {

class Sekcja {
public:
    std::string code;        // at most 16 characters
    std::string description; // at most 250 characters
    std::vector<std::unique_ptr<DefPol>> fields;
    std::uint32_t recordCount = 0;
    bool hasExtendedFields = false;
    // Per field: -1, or for a linked size field the length of its B field's
    // source file in the record being added or read.
    std::vector<std::int64_t> sizeSlots;

    // Reading: where the section lies in the package file.
    std::int64_t offset = 0; // from the start of its document header
    std::int64_t length = 0;
    std::int64_t sectionStart = 0; // absolute
    std::int64_t recordAreaStart = 0;
    std::int64_t blobAreaStart = 0;
    std::int64_t readCursor = 0;

    // Creates the record file and the blob file in folder (45 on failure,
    // 73 when the folder does not exist).
    [[nodiscard]] Result createTempFiles(const std::string& folder);
    // 1 while both temporary files are open; else why records cannot be
    // written: 73 when their folder was missing, else 42.
    [[nodiscard]] Result tempFilesState() const;

    // Appends a definition and grows the record length; refuses numbers the
    // file cannot hold (70) and records the package could not hold (71).
    // The record buffer is not remade here (see makeRecordBuffer).
    [[nodiscard]] Result appendField(std::unique_ptr<DefPol> field);
    // Makes the record buffer for the current record length (36, 20).
    [[nodiscard]] Result makeRecordBuffer();

    [[nodiscard]] std::uint64_t recordLength() const { return recordLength_; }
    [[nodiscard]] std::uint64_t recordBytes() const { return recordFile_.size(); }
    [[nodiscard]] std::uint64_t blobBytes() const { return blobFile_.size(); }
    [[nodiscard]] TempFile& recordFile() { return recordFile_; }
    [[nodiscard]] TempFile& blobFile() { return blobFile_; }
    [[nodiscard]] std::vector<char>& recordBuffer() { return recordBuffer_; }

    // Adds one record laid out in text (see the public header); the package
    // cipher is null when the package has none.
    [[nodiscard]] Result addRecord(char* text, const CipherSession* packageCipher);

private:
    [[nodiscard]] Result storeInlineBlob(const DefPol& field, const char* source, char* slot,
                                         const CipherSession* cipher);
    [[nodiscard]] Result streamSourceFile(DefPol& field, char* slot,
                                          const CipherSession* packageCipher,
                                          std::uint64_t& sourceLength);
    [[nodiscard]] Result appendBlob(std::span<const char> bytes);

    std::uint64_t recordLength_ = format::kEmptyRecordLength;
    std::vector<char> recordBuffer_;
    TempFile recordFile_;
    TempFile blobFile_;
    Result tempFilesMade_ = Result::Ok;
};

} // namespace qdp
