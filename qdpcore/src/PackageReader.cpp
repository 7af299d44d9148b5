// SPDX-License-Identifier: MIT
#include "PackageReader.h"

#include "CipherSession.h"
#include "FieldCoding.h"
#include "Sekcja.h"
#include "StructureWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace qdp {

namespace {

bool isBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A blob reference: decimal offset, blank, decimal stored length, within the
// field's bytes. Missing numbers read as 0; a negative one is invalid.
struct BlobReference {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    [[nodiscard]] bool valid() const { return offset >= 0 && length >= 0; }
};

BlobReference parseBlobReference(std::span<const char> slot) {
    std::size_t i = 0;
    const auto number = [&]() -> std::int64_t {
        while (i < slot.size() && isBlank(slot[i]))
            ++i;
        bool negative = false;
        if (i < slot.size() && (slot[i] == '+' || slot[i] == '-')) negative = slot[i++] == '-';
        std::int64_t value = 0;
        for (; i < slot.size() && slot[i] >= '0' && slot[i] <= '9'; ++i) {
            if (value < INT64_MAX / 10 - 10) value = value * 10 + (slot[i] - '0');
        }
        return negative ? -value : value;
    };
    BlobReference r;
    r.offset = number();
    r.length = number();
    return r;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

Result decrypt(const CipherSession& cipher, char* data, std::size_t n) {
    // A length of 0 would make seclay measure the buffer as text.
    if (n == 0) return Result::Ok;
    return SeclayDecryptE(cipher.handle(), data, static_cast<std::uint32_t>(n)) == SECLAY_OK
               ? Result::Ok
               : Result::CryptFailed;
}

} // namespace

Result PackageReader::open(const char* path) {
    if (path == nullptr) return Result::BadPath;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return Result::BadPath;
    if (size < format::package_header::kShort) return Result::FileTooShort;
    if (!file_.open(path)) return Result::OpenFailed;
    queriedSize_ = size;
    // The file may have changed in between; what counts from now on is the
    // length of what is open, and it too must hold a header.
    if (file_.size() < format::package_header::kShort) {
        (void)file_.close();
        return Result::FileTooShort;
    }
    readPackageHeader(file_, layout_.header);
    return Result::Ok;
}

void PackageReader::readStructure() {
    readPackageStructure(file_, layout_);
    // Like a stream after the walk, the read position stands after the last
    // field definition read: at the records of the last section.
    positioned_.reset();
    position_ = file_.size();
    if (!layout_.documents.empty()) {
        const DocumentLayout& d = layout_.documents.back();
        if (!d.sections.empty() && d.sections.back().readable) {
            const SectionLayout& s = d.sections.back();
            positioned_ = SectionIndex{layout_.documents.size() - 1, d.sections.size() - 1};
            position_ = s.start + s.recordAreaStart;
        }
    }
}

Result PackageReader::checkLength() const {
    const std::int64_t stated = format::parseNumber(
        std::span<const char>(header().sizeText.data(), header().sizeText.size()));
    return stated >= 0 && static_cast<std::uint64_t>(stated) == queriedSize_ ? Result::Ok
                                                                             : Result::BadTotalSize;
}

Result PackageReader::close() {
    positioned_.reset();
    record_ = {};
    blob_ = {};
    return file_.close() ? Result::Ok : Result::CloseFailed;
}

const SectionLayout* PackageReader::sectionAt(std::size_t d, std::size_t s) const {
    if (d >= layout_.documents.size()) return nullptr;
    const auto& sections = layout_.documents[d].sections;
    return s < sections.size() ? &sections[s] : nullptr;
}

std::uint64_t PackageReader::recordLength(std::size_t d, std::size_t s) const {
    const SectionLayout* section = sectionAt(d, s);
    return section != nullptr && section->readable ? section->recordLength : 0;
}

Result PackageReader::position(std::size_t d, std::size_t s, std::int64_t& cursor, bool resume) {
    const SectionLayout* section = sectionAt(d, s);
    // A section added after opening, or one whose layout did not hold
    // together, has no records to stand at.
    if (section == nullptr || !section->readable) return Result::SeekFailed;
    if (!resume) cursor = 0;
    const std::uint64_t first = section->start + section->recordAreaStart;
    const std::uint64_t last = section->start + section->blobAreaStart;
    if (cursor < 0 || static_cast<std::uint64_t>(cursor) > last - first) return Result::SeekFailed;
    position_ = first + static_cast<std::uint64_t>(cursor);
    positioned_ = SectionIndex{d, s};
    return Result::Ok;
}

Result PackageReader::readRecord(std::size_t d, std::size_t s, Sekcja& model,
                                 const CipherSession* packageCipher, char* out) {
    const SectionLayout* section = sectionAt(d, s);
    // The read position belongs to another section (or none): the section
    // was selected without positioning the file.
    if (section == nullptr || !section->readable || positioned_ != SectionIndex{d, s}) {
        return Result::SeekFailed;
    }
    const std::vector<FieldLayout>& fields = section->fields;

    // Size slots: -1, or 0 for the size field linked to a B field with
    // extended attributes until this record tells its value.
    const bool extended = model.hasExtendedFields;
    if (extended) {
        if (model.sizeSlots.size() != model.fields.size())
            model.sizeSlots.assign(model.fields.size(), -1);
        for (const auto& f : model.fields) {
            if (f->ext.enabled && f->ext.sizeFieldIndex < model.sizeSlots.size()) {
                model.sizeSlots[f->ext.sizeFieldIndex] = 0;
            }
        }
    }

    const std::uint64_t length = section->recordLength;
    const std::uint64_t recordsEnd = section->start + section->blobAreaStart;
    if (position_ > recordsEnd || recordsEnd - position_ < length) {
        model.readCursor = 0;
        return Result::EndOfSection;
    }
    record_.resize(static_cast<std::size_t>(length));
    if (file_.read(position_, record_) < record_.size()) {
        model.readCursor = 0;
        return Result::EndOfSection;
    }
    position_ += length;
    model.readCursor += static_cast<std::int64_t>(length);
    if (record_[record_.size() - 2] != '\r' || record_[record_.size() - 1] != '\n') {
        return Result::BadRecordEnd;
    }

    Result result = Result::Ok;
    const auto note = [&result](Result r) {
        if (ok(result) && !ok(r)) result = r;
    };
    const auto linkedSizeField = [&](std::size_t i) {
        return extended && i < model.sizeSlots.size() && model.sizeSlots[i] != -1;
    };

    // Plain fields are stored in clear; only a size field linked to a B field
    // with extended attributes is enciphered, with the package cipher.
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldLayout& f = fields[i];
        if (f.isBlob() || !linkedSizeField(i)) continue;
        char* bytes = record_.data() + f.recordOffset;
        if (packageCipher != nullptr)
            note(decrypt(*packageCipher, bytes, static_cast<std::size_t>(f.size)));
        if (model.sizeSlots[i] == 0) {
            model.sizeSlots[i] =
                std::max<std::int64_t>(0, format::parseNumber(std::span<const char>(
                                              bytes, static_cast<std::size_t>(f.size))));
        }
    }
    std::memcpy(out, record_.data(), record_.size());

    // Blob fields: the record holds a reference into the blob area.
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldLayout& f = fields[i];
        if (!f.isBlob()) continue;
        const BlobReference ref = parseBlobReference(std::span<const char>(
            record_.data() + f.recordOffset, static_cast<std::size_t>(f.size)));
        DefPol* defPol = i < model.fields.size() ? model.fields[i].get() : nullptr;
        if (defPol != nullptr) {
            defPol->blobOffset =
                static_cast<std::uint32_t>(std::clamp<std::int64_t>(ref.offset, 0, UINT32_MAX));
            defPol->blobLength =
                static_cast<std::uint32_t>(std::clamp<std::int64_t>(ref.length, 0, UINT32_MAX));
        }
        // Content of a B field with extended attributes goes to its file
        // (below); its slot keeps the reference.
        if (defPol != nullptr && defPol->ext.enabled) continue;
        if (!ref.valid()) {
            note(Result::SeekFailed);
            continue;
        }
        note(copyInlineBlob(*section, f, static_cast<std::uint64_t>(ref.offset),
                            static_cast<std::uint64_t>(ref.length), packageCipher,
                            out + f.recordOffset));
    }
    if (!ok(result)) return result;
    return extended ? extract(*section, model, packageCipher) : Result::Ok;
}

Result PackageReader::copyInlineBlob(const SectionLayout& section, const FieldLayout& field,
                                     std::uint64_t blobOffset, std::uint64_t storedLength,
                                     const CipherSession* packageCipher, char* out) {
    // The field gets what was stored from it: size - 1 bytes, then zeros up
    // to and including its separator. Nothing beyond the field is written,
    // also when cipher padding made the stored blob longer than the field.
    const auto size = static_cast<std::size_t>(field.size);
    std::memset(out, 0, size + 1);
    const std::size_t dataLength = size > 0 ? size - 1 : 0;

    const std::uint64_t blobArea = section.start + section.blobAreaStart;
    const std::uint64_t room = section.end - blobArea;
    if (blobOffset > room || storedLength > room - blobOffset) return Result::SeekFailed;
    if (dataLength == 0 || storedLength == 0) return Result::Ok;

    const std::uint64_t from = blobArea + blobOffset;
    if (packageCipher == nullptr) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(storedLength, dataLength));
        return file_.read(from, std::span<char>(out, n), ReadFile::Channel::Blobs) == n
                   ? Result::Ok
                   : Result::SeekFailed;
    }
    // Decipher whole units in our own buffer, then cut to the field.
    const std::uint32_t rounded =
        packageCipher->roundedSize(static_cast<std::uint32_t>(dataLength));
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(storedLength, rounded));
    blob_.resize(n);
    if (file_.read(from, blob_, ReadFile::Channel::Blobs) != n) return Result::SeekFailed;
    const Result r = decrypt(*packageCipher, blob_.data(), n);
    if (!ok(r)) return r;
    std::memcpy(out, blob_.data(), std::min(n, dataLength));
    return Result::Ok;
}

Result PackageReader::extract(const SectionLayout& section, Sekcja& model,
                              const CipherSession* packageCipher) {
    const std::uint64_t blobArea = section.start + section.blobAreaStart;
    const std::uint64_t room = section.end - blobArea;
    const std::size_t count = std::min(model.fields.size(), section.fields.size());
    for (std::size_t i = 0; i < count; ++i) {
        DefPol& f = *model.fields[i];
        if (!section.fields[i].isBlob() || !f.ext.enabled) continue;
        const std::uint64_t offset = f.blobOffset;
        const std::uint64_t stored = f.blobLength;
        if (offset > room || stored > room - offset) return Result::SeekFailed;

        std::unique_ptr<std::FILE, FileCloser> target(std::fopen(f.ext.sourceFile.c_str(), "wb"));
        if (!target) return Result::CreateFailed;
        const CipherSession* cipher = f.ext.cipher.exists() ? &f.ext.cipher : packageCipher;
        const std::uint32_t chunk =
            f.ext.chunkSize > 0 ? f.ext.chunkSize : format::kDefaultChunkSize;
        std::uint64_t trueLeft = 0;
        if (f.ext.sizeFieldIndex < model.sizeSlots.size()) {
            trueLeft = static_cast<std::uint64_t>(
                std::max<std::int64_t>(0, model.sizeSlots[f.ext.sizeFieldIndex]));
        }
        try {
            blob_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(chunk, stored)));
        } catch (const std::bad_alloc&) {
            return Result::NullOutput;
        }
        std::uint64_t pos = blobArea + offset;
        std::uint64_t storedLeft = stored;
        while (storedLeft > 0) {
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, storedLeft));
            const std::size_t n =
                file_.read(pos, std::span<char>(blob_.data(), want), ReadFile::Channel::Blobs);
            if (n != want) return Result::SeekFailed;
            if (cipher != nullptr) {
                const Result r = decrypt(*cipher, blob_.data(), n);
                if (!ok(r)) return r;
            }
            const auto keep = static_cast<std::size_t>(std::min<std::uint64_t>(n, trueLeft));
            if (keep > 0 && std::fwrite(blob_.data(), 1, keep, target.get()) != keep) {
                return resultFromWriteError(errno);
            }
            trueLeft -= keep;
            storedLeft -= n;
            pos += n;
        }
        if (std::fclose(target.release()) != 0) return Result::CloseFailed;
    }
    return Result::Ok;
}

} // namespace qdp
