// SPDX-License-Identifier: MIT
// What opening a package file finds in it: the header values of the package,
// its documents, sections and field definitions, and where each section's
// records and blob area lie. Every position here has been checked against
// the file: a region lies inside its parent and after the regions before it.
#pragma once

#include "Result.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qdp {

struct FieldLayout {
    std::string name;
    std::string type;
    std::string description;
    std::int32_t size = 0; // never negative
    std::int32_t precision = 0;
    // Offset of the field in a record: the sum of (size + 1) over the
    // earlier fields.
    std::uint64_t recordOffset = 0;
    // Its first letter is B or V: the record holds a blob reference.
    [[nodiscard]] bool isBlob() const {
        return !type.empty() && (type[0] == 'B' || type[0] == 'V');
    }
};

struct SectionLayout {
    // As listed in the document's section list (offset from the document
    // start).
    std::int64_t listedOffset = 0;
    std::int64_t listedLength = 0;
    std::string code;
    std::string description;
    std::uint32_t recordCount = 0;
    std::vector<FieldLayout> fields;

    // Absolute positions, valid when readable: the section starts at start,
    // its records from start + recordAreaStart up to start + blobAreaStart,
    // its blob area from there up to end.
    bool readable = false;
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::uint64_t recordAreaStart = 0;
    std::uint64_t blobAreaStart = 0;
    std::uint64_t recordLength = 0;
};

struct DocumentLayout {
    // As listed in the document list (absolute).
    std::int64_t listedOffset = 0;
    std::int64_t listedLength = 0;
    std::string typeCode;
    std::int32_t typeVersion = 0;
    std::int32_t typeVariant = 0;
    std::string date;
    std::string description;
    std::vector<SectionLayout> sections;
};

struct PackageHeaderLayout {
    std::int32_t version = 0;
    std::string typeCode;
    std::string programCode;
    std::uint32_t documentCount = 0; // as the header states it
    std::string date;
    std::string description;
    std::int64_t totalSize = 0; // the total size field
    std::string sizeText;       // the size text field, checked against the file
    std::uint64_t length = 0;   // 124, or 375 with a description
};

struct PackageLayout {
    PackageHeaderLayout header;
    std::vector<DocumentLayout> documents;
    // The first structure error met while walking the file, Ok when none.
    Result firstError = Result::Ok;
};

} // namespace qdp
