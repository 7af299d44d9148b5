// SPDX-License-Identifier: MIT
// One section as the package model holds it: its field definitions, its
// record count and, when read from a file, where it lies. While a package is
// built its records and blob data gather in `records` (SekcjaRecords.h).
#pragma once

#include "DefPol.h"
#include "FileFormat.h"
#include "Result.h"
#include "SekcjaRecords.h"

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

    // Building: the records and blob data added so far.
    SekcjaRecords records;

    // Appends a definition and grows the record length; refuses numbers the
    // file cannot hold (70) and records the package could not hold (71).
    // The record buffer is not remade here (see SekcjaRecords::makeBuffer).
    [[nodiscard]] Result appendField(std::unique_ptr<DefPol> field);

    [[nodiscard]] std::uint64_t recordLength() const { return recordLength_; }

private:
    std::uint64_t recordLength_ = format::kEmptyRecordLength;
};

} // namespace qdp
