// SPDX-License-Identifier: MIT
#include "PackageReading.h"

#include "FileFormat.h"
#include "PackageReader.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>

namespace qdp {

namespace {

// Copies a member up to and including its terminating zero; members are
// never longer than their width - 1.
void copyText(char* out, const std::string& text) {
    if (out != nullptr) std::memcpy(out, text.c_str(), text.size() + 1);
}

template <typename T>
void put(T* out, T value) {
    if (out != nullptr) *out = value;
}

std::int32_t toInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A decimal number in a slot of the given width; it fills the slot when it
// has that many digits, else a zero follows it.
void putDecimalSlot(char* slot, std::size_t width, std::uint32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(end - digits), width);
    std::memset(slot, 0, width);
    std::memcpy(slot, digits, n);
}

void putTextSlot(char* slot, std::size_t width, const std::string& text) {
    const std::size_t n = std::min(text.size(), width - 1);
    std::memset(slot, 0, width);
    std::memcpy(slot, text.data(), n);
}

// Builds the package model from what the walk found. Every document's last
// section and the last document end up current, as after reading a file
// from start to end.
std::unique_ptr<Paczka> packageFrom(const PackageLayout& layout) {
    auto p = std::make_unique<Paczka>();
    const PackageHeaderLayout& h = layout.header;
    p->version = h.version;
    p->typeCode = h.typeCode;
    p->programCode = h.programCode;
    p->date = h.date;
    p->description = h.description;
    p->totalSize = h.totalSize >= 0 && h.totalSize <= std::numeric_limits<std::uint32_t>::max()
                       ? static_cast<std::uint32_t>(h.totalSize)
                       : 0;
    p->sizeText = h.sizeText;
    for (const DocumentLayout& dl : layout.documents) {
        auto d = std::make_unique<Dokument>();
        d->offset = dl.listedOffset;
        d->length = dl.listedLength;
        d->typeCode = dl.typeCode;
        d->typeVersion = dl.typeVersion;
        d->typeVariant = dl.typeVariant;
        d->date = dl.date;
        d->description = dl.description;
        for (const SectionLayout& sl : dl.sections) {
            auto s = std::make_unique<Sekcja>();
            s->offset = sl.listedOffset;
            s->length = sl.listedLength;
            s->code = sl.code;
            s->description = sl.description;
            s->recordCount = sl.recordCount;
            s->sectionStart = static_cast<std::int64_t>(sl.start);
            s->recordAreaStart = static_cast<std::int64_t>(sl.recordAreaStart);
            s->blobAreaStart = static_cast<std::int64_t>(sl.blobAreaStart);
            for (const FieldLayout& fl : sl.fields) {
                auto f = std::make_unique<DefPol>();
                f->name = fl.name;
                f->type = fl.type;
                f->size = static_cast<std::uint32_t>(fl.size);
                f->precision = static_cast<std::uint32_t>(std::max(0, fl.precision));
                f->description = fl.description;
                s->fields.push_back(std::move(f));
            }
            s->sizeSlots.assign(s->fields.size(), -1);
            d->sections.push_back(std::move(s));
        }
        if (!d->sections.empty()) d->currentSection = d->sections.size() - 1;
        p->documents.push_back(std::move(d));
    }
    if (!p->documents.empty()) p->currentDocument = p->documents.size() - 1;
    return p;
}

void fillFromHeader(const PackageHeaderLayout& h, const PackageHeadOutputs& out) {
    put(out.version, h.version);
    copyText(out.typeCode, h.typeCode);
    copyText(out.programCode, h.programCode);
    put(out.documentCount, h.documentCount);
    copyText(out.date, h.date);
    copyText(out.description, h.description);
    put(out.totalSize, toInt32(h.totalSize));
    copyText(out.sizeText, h.sizeText);
}

} // namespace

Result openPackage(const char* path, std::unique_ptr<Paczka>& made) {
    auto reader = std::make_unique<PackageReader>();
    if (const Result r = reader->open(path); !ok(r)) return r;
    reader->readStructure();
    made = packageFrom(reader->layout());
    const Result length = reader->checkLength();
    const Result structure = reader->layout().firstError;
    made->reader = std::move(reader);
    // A file of the wrong length explains any structure error after it.
    if (!ok(length)) return length;
    return structure;
}

Result readPackageInfo(const char* path, const PackageHeadOutputs& out) {
    PackageReader reader;
    if (const Result r = reader.open(path); !ok(r)) return r;
    fillFromHeader(reader.header(), out);
    const Result length = reader.checkLength();
    if (const Result r = reader.close(); !ok(r)) return r;
    return length;
}

void fillPackageHead(const Paczka& p, const PackageHeadOutputs& out) {
    put(out.version, p.version);
    copyText(out.typeCode, p.typeCode);
    copyText(out.programCode, p.programCode);
    put(out.documentCount, static_cast<std::uint32_t>(p.documents.size()));
    copyText(out.date, p.date);
    copyText(out.description, p.description);
    put(out.totalSize, static_cast<std::int32_t>(p.totalSize));
    copyText(out.sizeText, p.sizeText);
}

Result readDokumentHead(Paczka& p, std::int32_t* offset, std::int32_t* length, char* typeCode,
                        std::int32_t* typeVersion, std::int32_t* typeVariant,
                        std::uint32_t* sectionCount, char* date, char* description) {
    const Dokument* d = p.current();
    if (d == nullptr) return Result::NoDocument;
    put(offset, toInt32(d->offset));
    put(length, toInt32(d->length));
    copyText(typeCode, d->typeCode);
    put(typeVersion, d->typeVersion);
    put(typeVariant, d->typeVariant);
    put(sectionCount, static_cast<std::uint32_t>(d->sections.size()));
    copyText(date, d->date);
    copyText(description, d->description);
    return Result::Ok;
}

Result readSekcjaHead(Paczka& p, std::int32_t* offset, std::int32_t* length, char* code,
                      std::uint32_t* fieldCount, std::uint32_t* recordCount, char* description) {
    Dokument* d = p.current();
    if (d == nullptr) return Result::NoDocument;
    const Sekcja* s = d->current();
    if (s == nullptr) return Result::NoSection;
    put(offset, toInt32(s->offset));
    put(length, toInt32(s->length));
    copyText(code, s->code);
    put(fieldCount, static_cast<std::uint32_t>(s->fields.size()));
    put(recordCount, s->recordCount);
    copyText(description, s->description);
    return Result::Ok;
}

Result readListaDefPol(Paczka& p, char* names, char* types, char* sizes, char* precisions,
                       char* descriptions) {
    Dokument* d = p.current();
    if (d == nullptr) return Result::NoDocument;
    const Sekcja* s = d->current();
    if (s == nullptr) return Result::NoSection;
    if (s->fields.empty()) return Result::SectionEmpty;
    if (names == nullptr || types == nullptr || sizes == nullptr || precisions == nullptr) {
        return Result::NullOutput;
    }
    using namespace format;
    for (std::size_t i = 0; i < s->fields.size(); ++i) {
        const DefPol& f = *s->fields[i];
        putTextSlot(names + i * kFieldNameWidth, kFieldNameWidth, f.name);
        putTextSlot(types + i * kFieldTypeWidth, kFieldTypeWidth, f.type);
        putDecimalSlot(sizes + i * kNumber5, kNumber5, f.size);
        putDecimalSlot(precisions + i * kNumber5, kNumber5, f.precision);
        if (descriptions != nullptr && !f.description.empty()) {
            putTextSlot(descriptions + i * kDescriptionWidth, kDescriptionWidth, f.description);
        }
    }
    return Result::Ok;
}

Result readRecord(Paczka& p, char* record) {
    if (!p.reader || !p.reader->isOpen()) return Result::FileNotOpen;
    Dokument* d = p.current();
    if (d == nullptr) return Result::NoDocument;
    Sekcja* s = d->current();
    if (s == nullptr) return Result::NoSection;
    if (record == nullptr) return Result::NullOutput;
    // The package cipher deciphers only while a record is read.
    struct RecordPhase {
        Paczka& p;
        explicit RecordPhase(Paczka& pp) : p(pp) { p.recordPhase = true; }
        ~RecordPhase() { p.recordPhase = false; }
    } phase(p);
    return p.reader->readRecord(*p.currentDocument, *d->currentSection, *s, p.recordCipher(),
                                record);
}

Result closeReadFile(Paczka& p) {
    if (!p.reader || !p.reader->isOpen()) return Result::AlreadyClosed;
    return p.reader->close();
}

Result positionReadFile(Paczka& p, bool resume) {
    if (!p.reader || !p.reader->isOpen()) return Result::Ok;
    Dokument* d = p.current();
    Sekcja* s = d != nullptr ? d->current() : nullptr;
    if (s == nullptr) return Result::SeekFailed;
    return p.reader->position(*p.currentDocument, *d->currentSection, s->readCursor, resume);
}

} // namespace qdp
