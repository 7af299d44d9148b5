// SPDX-License-Identifier: MIT
// The making of a section's records while its package is built.
#include "SekcjaRecords.h"

#include "Sekcja.h"

#include "FileFormat.h"
#include "OsFile.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace qdp {

Result SekcjaRecords::create(const std::string& folder) {
    made_ = recordFile_.create(folder, recordFileTemplate());
    if (ok(made_)) made_ = blobFile_.create(folder, blobFileTemplate());
    return made_;
}

Result SekcjaRecords::state() const {
    if (recordFile_.isOpen() && blobFile_.isOpen()) return Result::Ok;
    return made_ == Result::FolderMissing ? Result::FolderMissing : Result::WriteFailed;
}

Result SekcjaRecords::makeBuffer(const Sekcja& section) {
    if (section.recordLength() == format::kEmptyRecordLength) return Result::RecordLength2;
    try {
        recordBuffer_.assign(static_cast<std::size_t>(section.recordLength()), '\0');
    } catch (const std::bad_alloc&) {
        return Result::OutOfMemory;
    }
    return Result::Ok;
}

Result SekcjaRecords::appendBlob(std::span<const char> bytes) {
    if (blobBytes() + bytes.size() > format::kMaxTotalSize) return Result::PackageTooLarge;
    return blobFile_.append(bytes);
}

namespace {
// Puts a blob reference ("offset length") into a field's slot; a field too
// narrow for it keeps what fits.
void putBlobReference(char* slot, std::uint32_t size, std::uint64_t offset, std::uint64_t length) {
    const std::string reference = std::to_string(offset) + ' ' + std::to_string(length);
    std::memset(slot, 0, std::size_t{size} + 1);
    std::memcpy(slot, reference.data(), std::min<std::size_t>(reference.size(), size));
}
} // namespace

// A blob field without extended attributes stores the size - 1 bytes of its
// text; with a cipher they are rounded up to whole units and enciphered in a
// copy, so the caller's text and the bytes after the field stay untouched.
Result SekcjaRecords::storeInlineBlob(const DefPol& field, const char* source, char* slot,
                                      const CipherSession* cipher) {
    const std::uint32_t n = field.size == 0 ? 0 : field.size - 1;
    const std::uint32_t stored = cipher ? cipher->roundedSize(n) : n;
    putBlobReference(slot, field.size, blobBytes(), stored);
    if (n == 0) return Result::Ok;
    if (cipher == nullptr) return appendBlob({source, n});
    std::vector<char> copy(stored, '\0');
    std::memcpy(copy.data(), source, n);
    if (const Result r = cipher->encrypt(copy, n); !ok(r)) return r;
    return appendBlob(copy);
}

// A "B" field with extended attributes stores its source file, cut into
// chunks; under a cipher every chunk is enciphered whole (its tail after the
// file's end filled with zero bytes).
Result SekcjaRecords::streamSourceFile(DefPol& field, char* slot,
                                       const CipherSession* packageCipher,
                                       std::uint64_t& sourceLength) {
    const CipherSession* cipher = field.ext.cipher.exists() ? &field.ext.cipher : packageCipher;
    OsFile source = OsFile::openRead(field.ext.sourceFile);
    if (!source.isOpen()) return Result::CreateFailed;
    const std::uint32_t chunk = field.ext.chunkSize;
    // A chunk that is not a whole number of cipher units would be padded
    // beyond its own length and could not be read back.
    if (cipher && cipher->roundedSize(chunk) != chunk) return Result::CryptFailed;
    std::vector<char> buffer;
    try {
        buffer.resize(chunk);
    } catch (const std::bad_alloc&) {
        return Result::NullOutput;
    }
    const std::uint64_t blobStart = blobBytes();
    std::uint64_t length = 0;
    for (;;) {
        const std::int64_t got = source.readFull(buffer);
        if (got < 0) return Result::OsError;
        if (got == 0) break;
        length += static_cast<std::uint64_t>(got);
        std::span<const char> piece(buffer.data(), static_cast<std::size_t>(got));
        if (cipher) {
            std::fill(buffer.begin() + got, buffer.end(), '\0');
            if (const Result r = cipher->encrypt(buffer, chunk); !ok(r)) return r;
            piece = buffer;
        }
        if (const Result r = appendBlob(piece); !ok(r)) return r;
        if (static_cast<std::uint64_t>(got) < chunk) break;
    }
    if (source.close() != 0) return Result::CloseFailed;
    putBlobReference(slot, field.size, blobStart, blobBytes() - blobStart);
    sourceLength = length;
    return Result::Ok;
}

Result SekcjaRecords::add(Sekcja& section, char* text, const CipherSession* packageCipher) {
    auto& fields = section.fields;
    auto& sizeSlots = section.sizeSlots;
    const bool hasExtendedFields = section.hasExtendedFields;
    const std::uint64_t recordLength = section.recordLength();
    if (fields.empty()) return Result::SectionEmpty;
    if (text == nullptr) return Result::WriteFailed;
    if (const Result r = state(); !ok(r)) return r;
    if (section.recordCount + 1 >= format::kRecordCountLimit) return Result::FormatLimit;
    if (recordBytes() + blobBytes() + recordLength > format::kMaxTotalSize) {
        return Result::PackageTooLarge;
    }
    if (recordBuffer_.size() != recordLength) {
        if (const Result r = makeBuffer(section); !ok(r)) return r;
    }

    // A refused record leaves nothing behind in the temporary files.
    const std::uint64_t blobStart = blobBytes();
    const std::uint64_t recordStart = recordBytes();
    const auto fail = [&](Result r) {
        blobFile_.truncateTo(blobStart);
        recordFile_.truncateTo(recordStart);
        return r;
    };

    if (hasExtendedFields) {
        sizeSlots.assign(fields.size(), -1);
        for (const auto& f : fields) {
            if (f->ext.enabled && f->ext.sizeFieldIndex < fields.size()) {
                sizeSlots[f->ext.sizeFieldIndex] = 0;
            }
        }
    }
    const auto isLinkedSizeField = [&](std::size_t i) {
        return hasExtendedFields && i < sizeSlots.size() && sizeSlots[i] != -1;
    };

    char* record = recordBuffer_.data();
    std::vector<std::uint64_t>& offsets = offsets_; // for linked size fields below
    offsets.resize(fields.size());
    const bool plain =
        !hasExtendedFields &&
        std::none_of(fields.begin(), fields.end(), [](const auto& f) { return f->isBlob(); });
    if (plain) {
        // The record is the caller's text as it is laid out, each field's
        // zero separator put back: one copy rather than one per field. The
        // caller's last separator is not read (its text may end before it).
        std::memcpy(record, text, recordLength - 3);
        std::uint64_t end = 0;
        for (const auto& f : fields) {
            end += f->slotLength();
            record[end - 1] = '\0';
        }
    }
    std::uint64_t o = 0;
    for (std::size_t i = 0; i < fields.size() && !plain; ++i) { // a field at a time otherwise
        DefPol& f = *fields[i];
        offsets[i] = o;
        char* slot = record + o;
        if (f.isBlob() && !f.ext.enabled) {
            if (const Result r = storeInlineBlob(f, text + o, slot, packageCipher); !ok(r)) {
                return fail(r);
            }
        } else if (f.isBlob()) {
            std::uint64_t length = 0;
            if (const Result r = streamSourceFile(f, slot, packageCipher, length); !ok(r)) {
                return fail(r);
            }
            if (f.ext.sizeFieldIndex < sizeSlots.size()) {
                sizeSlots[f.ext.sizeFieldIndex] = static_cast<std::int64_t>(length);
            }
        } else if (!isLinkedSizeField(i)) {
            std::memcpy(slot, text + o, f.size);
            slot[f.size] = '\0'; // the byte after the field's own
        }
        o += f.slotLength();
    }

    // Linked size fields: the true length of their B field's content, also
    // handed back in the caller's text, enciphered in the record. A length
    // its field cannot hold whole refuses the record before any of them is
    // written.
    if (hasExtendedFields) { // no linked size fields otherwise
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (isLinkedSizeField(i) && std::to_string(sizeSlots[i]).size() > fields[i]->size) {
                return fail(Result::SizeFieldTooNarrow);
            }
        }
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (!isLinkedSizeField(i)) continue;
            const DefPol& f = *fields[i];
            const std::string digits = std::to_string(sizeSlots[i]);
            const std::size_t n = digits.size();
            char* slot = record + offsets[i];
            std::memcpy(text + offsets[i], digits.data(), n);
            // The zero after the digits only inside the field.
            if (n < f.size) text[offsets[i] + n] = '\0';
            std::memset(slot, 0, f.slotLength());
            std::memcpy(slot, digits.data(), n);
            if (packageCipher != nullptr && f.size != 0) {
                // Enciphered over exactly its width, so the width must be whole units.
                if (packageCipher->roundedSize(f.size) != f.size) return fail(Result::CryptFailed);
                std::vector<char> copy(slot, slot + f.size);
                if (const Result r = packageCipher->encrypt(copy, f.size); !ok(r)) return fail(r);
                std::memcpy(slot, copy.data(), f.size);
            }
        }
    }

    record[recordLength - 2] = format::kCrLf[0];
    record[recordLength - 1] = format::kCrLf[1];
    if (const Result r = recordFile_.append({record, static_cast<std::size_t>(recordLength)});
        !ok(r)) {
        return fail(r);
    }
    ++section.recordCount;
    return Result::Ok;
}

} // namespace qdp
