// SPDX-License-Identifier: MIT
// The reading side of a package: the open package file, what its structure
// walk found (PackageLayout), the read position, and reading records one at
// a time. A package opened for reading owns one PackageReader until Clear;
// FileClose closes the file but keeps the layout.
//
// Numbers read from the file are never trusted: the layout is checked when
// the file is opened (see StructureWalk.h) and every blob reference of a
// record is checked against its section before it is followed. Buffers grow
// only to what the file itself holds.
#pragma once

#include "PackageLayout.h"
#include "ReadFile.h"
#include "Result.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qdp {

class CipherSession;
class Sekcja;

class PackageReader {
public:
    // Opens the file and takes its header: 21 for a null path or a file
    // whose size cannot be queried, 33 for a file shorter than a package
    // header, 26 when it cannot be opened.
    [[nodiscard]] Result open(const char* path);
    // Walks the document list and everything below it. The first structure
    // error is kept in layout().firstError.
    void readStructure();
    // 50 when the size text of the header differs from the file's length.
    [[nodiscard]] Result checkLength() const;

    [[nodiscard]] bool isOpen() const { return file_.isOpen(); }
    // Closes the file (23 when closing fails). The layout stays.
    [[nodiscard]] Result close();

    [[nodiscard]] const PackageHeaderLayout& header() const { return layout_.header; }
    [[nodiscard]] const PackageLayout& layout() const { return layout_; }

    // Moves the read position to the records of section s of document d:
    // to its first record (cursor set to 0), or with resume to where cursor
    // says. 38 for a section the file does not hold readably.
    [[nodiscard]] Result position(std::size_t d, std::size_t s, std::int64_t& cursor, bool resume);

    // Reads the next record of section s of document d into out, which
    // holds at least the section's record length; exactly that many bytes
    // are written. model is the same section in the package (extended
    // attributes, size slots, read cursor); packageCipher is null when no
    // record may be deciphered with a package cipher.
    [[nodiscard]] Result readRecord(std::size_t d, std::size_t s, Sekcja& model,
                                    const CipherSession* packageCipher, char* out);

    // The record length of a section of the file, 0 when there is none.
    [[nodiscard]] std::uint64_t recordLength(std::size_t d, std::size_t s) const;

private:
    struct SectionIndex {
        std::size_t document;
        std::size_t section;
        bool operator==(const SectionIndex&) const = default;
    };

    [[nodiscard]] const SectionLayout* sectionAt(std::size_t d, std::size_t s) const;
    [[nodiscard]] Result copyInlineBlob(const SectionLayout& section, const FieldLayout& field,
                                        std::uint64_t blobOffset, std::uint64_t storedLength,
                                        const CipherSession* packageCipher, char* out);
    [[nodiscard]] Result extract(const SectionLayout& section, Sekcja& model,
                                 const CipherSession* packageCipher);

    ReadFile file_;
    std::uint64_t queriedSize_ = 0;
    PackageLayout layout_;
    // Where the next record is read, and which section it belongs to.
    std::uint64_t position_ = 0;
    std::optional<SectionIndex> positioned_;
    std::vector<char> record_;
    std::vector<char> blob_;
};

} // namespace qdp
