// SPDX-License-Identifier: MIT
#include "PackageBuilder.h"

#include "FieldCoding.h"
#include "FileFormat.h"
#include "OsFile.h"
#include "PackageReading.h"
#include "PackageWriter.h"
#include "StaleFiles.h"
#include "TempNames.h"

#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace qdp {

namespace fmt = format;

namespace {

// Header numbers are written as unsigned values below the 7-byte limit.
bool fitsNumber7(std::int32_t value) {
    return static_cast<std::uint32_t>(value) < fmt::kLimit7;
}

Result setHeader(Paczka& p, std::int32_t version, const char* typeCode, const char* programCode,
                 const char* description) {
    if (typeCode == nullptr || programCode == nullptr) return Result::PackageNotCreated;
    if (!fitsNumber7(version)) return Result::FormatLimit;
    p.version = version;
    p.typeCode = cutText(typeCode, fmt::kTypeCodeWidth);
    p.programCode = cutText(programCode, fmt::kProgramCodeWidth);
    p.description = cutText(description, fmt::kDescriptionWidth);
    return Result::Ok;
}

// The current section of the current document, or why there is none.
Result currentSection(Paczka& p, Sekcja*& section) {
    Dokument* d = p.current();
    if (d == nullptr) return Result::NoDocument;
    section = d->current();
    return section ? Result::Ok : Result::NoSection;
}

// A text in a fixed-width slot: up to its first zero or the slot's end.
const char* slotText(const char* base, std::size_t slot, std::uint32_t i, std::string& out) {
    const char* s = base + std::size_t{i} * slot;
    out.assign(s, ::strnlen(s, slot));
    return out.c_str();
}

// A decimal text of a field definition as a number the file can hold.
Result fieldNumber(const char* text, std::uint32_t& value) {
    const std::int64_t n = fmt::parseDecimalText(text);
    if (n < 0 || static_cast<std::uint64_t>(n) >= fmt::kLimit5) return Result::FormatLimit;
    value = static_cast<std::uint32_t>(n);
    return Result::Ok;
}

// Appends one definition without remaking the record buffer.
Result appendDefPol(Sekcja& s, const char* name, const char* type, const char* size,
                    const char* precision, const char* description) {
    if (name == nullptr || type == nullptr || size == nullptr || precision == nullptr) {
        return Result::FieldNotCreated;
    }
    try {
        auto f = std::make_unique<DefPol>();
        f->name = cutText(name, fmt::kFieldNameWidth);
        f->type = cutText(type, fmt::kFieldTypeWidth);
        f->description = cutText(description, fmt::kDescriptionWidth);
        if (const Result r = fieldNumber(size, f->size); !ok(r)) return r;
        if (const Result r = fieldNumber(precision, f->precision); !ok(r)) return r;
        return s.appendField(std::move(f));
    } catch (const std::bad_alloc&) {
        return Result::FieldNotCreated;
    }
}

} // namespace

Result makePackage(std::int32_t version, const char* typeCode, const char* programCode,
                   const char* description, std::unique_ptr<Paczka>& made) {
    try {
        auto p = std::make_unique<Paczka>();
        if (const Result r = setHeader(*p, version, typeCode, programCode, description); !ok(r)) {
            return r;
        }
        made = std::move(p);
        return Result::Ok;
    } catch (const std::bad_alloc&) {
        return Result::PackageNotCreated;
    }
}

Result redefinePackage(Paczka& p, std::int32_t version, const char* typeCode,
                       const char* programCode, const char* description) {
    return setHeader(p, version, typeCode, programCode, description);
}

Result setOutPath(Paczka& p, const char* folder) {
    if (folder == nullptr) return Result::BadPath;
    const std::string prefix = folder;
    // Every temporary file name must fit the path member whole.
    if (prefix.size() + kTempNameLength >= fmt::kPathWidth) return Result::BadPath;
    // The test file's name is judged in the folder itself and created only
    // when new, so no file that was there before is ever removed.
    std::string name;
    if (const Result r = folderTestTemplate().makeFixedName(prefix, name); !ok(r)) return r;
    OsFile test = OsFile::createNew(name);
    if (!test.isOpen()) return Result::NotAFolder;
    test.close();
    removeFile(name);
    // Whatever earlier runs that were killed left there.
    removeStaleTempFiles(prefix);
    p.tempFolder = prefix;
    return Result::Ok;
}

Result addDokument(Paczka& p, const char* typeCode, std::int32_t typeVersion,
                   std::int32_t typeVariant, const char* description) {
    if (typeCode == nullptr) return Result::DocumentNotCreated;
    if (p.documents.size() + 1 >= fmt::kLimit7 || !fitsNumber7(typeVersion) ||
        !fitsNumber7(typeVariant)) {
        return Result::FormatLimit;
    }
    try {
        auto d = std::make_unique<Dokument>();
        d->typeCode = cutText(typeCode, fmt::kTypeCodeWidth);
        d->typeVersion = typeVersion;
        d->typeVariant = typeVariant;
        d->description = cutText(description, fmt::kDescriptionWidth);
        p.documents.push_back(std::move(d));
    } catch (const std::bad_alloc&) {
        return Result::DocumentNotCreated;
    }
    p.currentDocument = p.documents.size() - 1;
    return Result::Ok;
}

Result addSekcja(Paczka& p, const char* code, const char* description) {
    Dokument* d = p.current();
    if (d == nullptr) return Result::NoDocument;
    if (code == nullptr) return Result::SectionNotCreated;
    if (d->sections.size() + 1 >= fmt::kLimit7) return Result::FormatLimit;
    try {
        auto s = std::make_unique<Sekcja>();
        s->code = cutText(code, fmt::kSectionCodeWidth);
        s->description = cutText(description, fmt::kDescriptionWidth);
        // A section whose files cannot be made is kept all the same; its
        // first record and the save report 42.
        (void)s->records.create(p.tempFolder);
        d->sections.push_back(std::move(s));
    } catch (const std::bad_alloc&) {
        return Result::SectionNotCreated;
    }
    d->currentSection = d->sections.size() - 1;
    return Result::Ok;
}

Result addDefPol(Paczka& p, const char* name, const char* type, const char* size,
                 const char* precision, const char* description) {
    Sekcja* s = nullptr;
    if (const Result r = currentSection(p, s); !ok(r)) return r;
    if (const Result r = appendDefPol(*s, name, type, size, precision, description); !ok(r)) {
        return r;
    }
    return s->records.makeBuffer(*s);
}

Result addDefPols(Paczka& p, std::uint32_t count, const char* names, const char* types,
                  const char* sizes, const char* precisions, const char* descriptions) {
    Sekcja* s = nullptr;
    if (const Result r = currentSection(p, s); !ok(r)) return r;
    if (count == 0) return Result::NoFieldDefinitions;
    if (names == nullptr || types == nullptr || sizes == nullptr || precisions == nullptr) {
        return Result::FieldNotCreated;
    }
    bool skipped = false;
    std::string name, type, size, precision, description;
    for (std::uint32_t i = 0; i < count; ++i) {
        const char* desc =
            descriptions ? slotText(descriptions, kDescriptionSlot, i, description) : nullptr;
        const Result r =
            appendDefPol(*s, slotText(names, kNameSlot, i, name),
                         slotText(types, kTypeSlot, i, type), slotText(sizes, kSizeSlot, i, size),
                         slotText(precisions, kPrecisionSlot, i, precision), desc);
        if (!ok(r)) skipped = true; // also an entry over the format's limits
    }
    const Result buffer = s->records.makeBuffer(*s);
    return skipped ? Result::FieldNotCreated : buffer;
}

Result setDefPolExt(Paczka& p, std::int32_t blobField, std::int32_t sizeField,
                    const char* sourceFile, const char* key, const char* iv, std::int32_t algorithm,
                    std::int32_t mode, std::int32_t chunkSize) {
    Sekcja* s = nullptr;
    if (const Result r = currentSection(p, s); !ok(r)) return r;
    const auto fieldAt = [&](std::int32_t i) -> DefPol* {
        return i >= 0 && static_cast<std::size_t>(i) < s->fields.size() ? s->fields[i].get()
                                                                        : nullptr;
    };
    try {
        const DefPol* sizeDef = fieldAt(sizeField);
        if (sizeDef == nullptr) return Result::FieldNotFound;
        if (!sizeDef->canBeSizeField()) return Result::WrongFieldType;
        DefPol* blob = fieldAt(blobField);
        if (blob == nullptr) return Result::FieldNotFound;

        ExtendedAttributes& ext = blob->ext;
        ext.enabled = false;
        ext.sourceFile.clear();
        ext.cipher.reset();
        ext.chunkSize = fmt::kDefaultChunkSize;
        ext.sizeFieldIndex = 0;
        if (!blob->canHaveExtendedAttributes()) return Result::WrongFieldType;
        if (sourceFile == nullptr || sourceFile[0] == '\0' ||
            std::strlen(sourceFile) >= fmt::kPathWidth) {
            return Result::BadPath;
        }
        ext.sourceFile = sourceFile;
        ext.sizeFieldIndex = static_cast<std::uint32_t>(sizeField);
        if (key != nullptr && key[0] != '\0') {
            Result r = ext.cipher.algoMode(algorithm, mode);
            if (ok(r)) r = ext.cipher.keyIv(key, iv);
            if (!ok(r)) {
                // A field whose cipher failed is left without extended
                // attributes rather than half set up.
                ext.cipher.reset();
                ext.sourceFile.clear();
                ext.sizeFieldIndex = 0;
                return r;
            }
        }
        if (chunkSize > 0) ext.chunkSize = static_cast<std::uint32_t>(chunkSize);
        ext.enabled = true;
        s->hasExtendedFields = true;
        return Result::Ok;
    } catch (const std::bad_alloc&) {
        return Result::FieldNotCreated;
    }
}

Result addRekord(Paczka& p, char* record) {
    Sekcja* s = nullptr;
    if (const Result r = currentSection(p, s); !ok(r)) return r;
    p.recordPhase = true;
    Result r = Result::OutOfMemory;
    try {
        r = s->records.add(*s, record, p.recordCipher());
    } catch (const std::bad_alloc&) {
        r = Result::OutOfMemory;
    }
    p.recordPhase = false;
    return r;
}

Result save(Paczka& p, const char* outputPath) {
    if (outputPath == nullptr || outputPath[0] == '\0') return Result::BadPath;
    return savePackage(p, outputPath);
}

Result selectDokument(Paczka& p, std::uint32_t index) {
    const std::size_t count = p.documents.size();
    if (count == 0) return Result::NothingToSelect;
    if (index > count - 1) return Result::NoDocument;
    p.currentDocument = index;
    return Result::Ok;
}

Result selectSekcja(Paczka& p, std::uint32_t index, bool keepPosition) {
    Dokument* d = p.current();
    if (d == nullptr) return Result::NoDocument;
    const std::size_t count = d->sections.size();
    if (count == 0) return Result::NothingToSelect;
    if (index > count - 1) return Result::NoSection;
    if (keepPosition && d->currentSection == index) return Result::Ok;
    d->currentSection = index;
    // A package open for reading also moves its read position there.
    return positionReadFile(p, keepPosition);
}

} // namespace qdp
