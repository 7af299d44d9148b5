// SPDX-License-Identifier: MIT
#include "PackageWriter.h"

#include "FieldCoding.h"
#include "FileFormat.h"
#include "FileReplacement.h"
#include "StaleFiles.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <vector>

namespace qdp {

namespace fmt = format;

namespace {

std::uint64_t sectionLength(const Sekcja& s) {
    std::uint64_t n = fmt::headerLength(fmt::section_header::kShort, !s.description.empty());
    for (const auto& f : s.fields) {
        n += fmt::headerLength(fmt::field_definition::kShort, !f->description.empty());
    }
    return n + s.records.recordBytes() + s.records.blobBytes();
}

std::uint64_t documentLength(const Dokument& d) {
    std::uint64_t n = fmt::headerLength(fmt::document_header::kShort, !d.description.empty());
    for (const auto& s : d.sections)
        n += fmt::list_entry::kLength + sectionLength(*s);
    return n;
}

std::uint64_t packageHeaderLength(const Paczka& p) {
    return fmt::headerLength(fmt::package_header::kShort, !p.description.empty());
}

// Header images are built in a local buffer and written in one piece.
class Image {
public:
    explicit Image(std::size_t length) : bytes_(length, '\0') {}
    std::span<char> at(fmt::Field f) { return fmt::slice(std::span<char>(bytes_), f); }
    void text(fmt::Field f, std::string_view value) { fmt::putText(at(f), value); }
    void number(fmt::Field f, std::uint64_t value) { fmt::putNumber(at(f), value); }
    void number(fmt::Field f, std::uint64_t value, std::uint64_t limit) {
        fmt::putNumber(at(f), value, limit);
    }
    void crLf(fmt::Field f) {
        auto b = at(f);
        b[0] = fmt::kCrLf[0];
        b[1] = fmt::kCrLf[1];
    }
    Result writeTo(ByteSink& sink) const { return sink.write(bytes_); }

private:
    std::vector<char> bytes_;
};

// Numbers the caller gave as signed values are written as unsigned ones.
std::uint64_t asUnsigned(std::int32_t v) {
    return static_cast<std::uint32_t>(v);
}

// The folder part of a file path, as a prefix ("" for the current directory).
std::string folderPrefixOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

Result writeListEntry(ByteSink& sink, std::string_view keyword, std::uint64_t offset,
                      std::uint64_t length) {
    namespace e = fmt::list_entry;
    Image img(e::kLength);
    img.text(e::keyword, keyword);
    img.number(e::offset, offset);
    img.number(e::length, length);
    img.crLf(e::crLf);
    return img.writeTo(sink);
}

Result writeFieldDefinition(ByteSink& sink, const DefPol& f) {
    namespace h = fmt::field_definition;
    const bool hasDescription = !f.description.empty();
    Image img(fmt::headerLength(h::kShort, hasDescription));
    img.text(h::keyword, fmt::kDefPol);
    img.text(h::name, f.name);
    img.text(h::type, f.type);
    img.number(h::size, f.size);
    img.number(h::precision, f.precision);
    if (hasDescription) img.text(h::description, f.description);
    img.crLf(fmt::afterDescription(h::crLf, hasDescription));
    return img.writeTo(sink);
}

Result writeSection(ByteSink& sink, Sekcja& s, std::span<char> copyBuffer) {
    namespace h = fmt::section_header;
    const bool hasDescription = !s.description.empty();
    Image img(fmt::headerLength(h::kShort, hasDescription));
    img.text(h::keyword, fmt::kSekcja);
    img.text(h::code, s.code);
    img.number(h::fieldCount, s.fields.size());
    img.number(h::recordCount, s.recordCount, fmt::kRecordCountLimit);
    if (hasDescription) img.text(h::description, s.description);
    img.crLf(fmt::afterDescription(h::crLf, hasDescription));
    if (const Result r = img.writeTo(sink); !ok(r)) return r;
    for (const auto& f : s.fields) {
        if (const Result r = writeFieldDefinition(sink, *f); !ok(r)) return r;
    }
    if (const Result r = s.records.state(); !ok(r)) return r;
    if (const Result r = s.records.recordFile().copyTo(sink, copyBuffer); !ok(r)) return r;
    return s.records.blobFile().copyTo(sink, copyBuffer);
}

Result writeDocument(ByteSink& sink, Dokument& d, std::string_view date,
                     std::span<char> copyBuffer) {
    namespace h = fmt::document_header;
    const bool hasDescription = !d.description.empty();
    const std::size_t headerLength = fmt::headerLength(h::kShort, hasDescription);
    Image img(headerLength);
    img.text(h::keyword, fmt::kDokument);
    img.text(h::typeCode, d.typeCode);
    img.number(h::typeVersion, asUnsigned(d.typeVersion));
    img.number(h::typeVariant, asUnsigned(d.typeVariant));
    img.number(h::sectionCount, d.sections.size());
    img.text(h::date, date);
    if (hasDescription) img.text(h::description, d.description);
    img.crLf(fmt::afterDescription(h::crLf, hasDescription));
    if (const Result r = img.writeTo(sink); !ok(r)) return r;

    std::uint64_t offset = headerLength + fmt::list_entry::kLength * d.sections.size();
    for (const auto& s : d.sections) {
        const std::uint64_t length = sectionLength(*s);
        if (const Result r = writeListEntry(sink, fmt::kSpisSek, offset, length); !ok(r)) return r;
        offset += length;
    }
    for (const auto& s : d.sections) {
        if (const Result r = writeSection(sink, *s, copyBuffer); !ok(r)) return r;
    }
    return Result::Ok;
}

} // namespace

Result computeTotalSize(const Paczka& paczka, std::uint64_t& total) {
    if (paczka.documents.empty()) return Result::PackageEmpty;
    std::uint64_t n = packageHeaderLength(paczka);
    for (const auto& d : paczka.documents) {
        if (d->sections.empty()) return Result::DocumentEmpty;
        for (const auto& s : d->sections) {
            if (s->fields.empty()) return Result::SectionEmpty;
        }
        n += fmt::list_entry::kLength + documentLength(*d);
    }
    if (n > fmt::kMaxTotalSize) return Result::PackageTooLarge;
    total = n;
    return Result::Ok;
}

Result writePackage(Paczka& paczka, ByteSink& sink, std::string_view date) {
    std::uint64_t total = 0;
    if (const Result r = computeTotalSize(paczka, total); !ok(r)) return r;
    paczka.totalSize = static_cast<std::uint32_t>(total);
    paczka.sizeText = std::to_string(total);
    paczka.date = std::string(date.substr(0, fmt::kDateLength));

    namespace h = fmt::package_header;
    const bool hasDescription = !paczka.description.empty();
    const std::size_t headerLength = packageHeaderLength(paczka);
    Image img(headerLength);
    img.text(h::keyword, fmt::kPaczka);
    img.number(h::version, asUnsigned(paczka.version));
    img.text(h::typeCode, paczka.typeCode);
    img.text(h::programCode, paczka.programCode);
    img.number(h::documentCount, paczka.documents.size());
    img.text(h::date, paczka.date);
    if (hasDescription) img.text(h::description, paczka.description);
    img.number(fmt::afterDescription(h::totalSize, hasDescription), total);
    img.text(fmt::afterDescription(h::sizeText, hasDescription), paczka.sizeText);
    img.crLf(fmt::afterDescription(h::crLf, hasDescription));
    if (const Result r = img.writeTo(sink); !ok(r)) return r;

    std::uint64_t offset = headerLength + fmt::list_entry::kLength * paczka.documents.size();
    for (const auto& d : paczka.documents) {
        const std::uint64_t length = documentLength(*d);
        if (const Result r = writeListEntry(sink, fmt::kSpisDok, offset, length); !ok(r)) return r;
        offset += length;
    }
    std::vector<char> copyBuffer(fmt::kCopyPieceSize);
    for (const auto& d : paczka.documents) {
        if (const Result r = writeDocument(sink, *d, paczka.date, copyBuffer); !ok(r)) return r;
    }
    return Result::Ok;
}

std::string todaysDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::snprintf(text, sizeof text, "%.4d.%.2d.%.2d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return text;
}

Result savePackage(Paczka& paczka, const std::string& path) {
    FileReplacement output;
    if (const Result r = output.begin(path); !ok(r)) return r;
    std::uint64_t total = 0;
    if (const Result r = computeTotalSize(paczka, total); !ok(r)) return r;
    // Whatever earlier runs that were killed left in the output's folder.
    removeStaleTempFiles(folderPrefixOf(output.target()));
    if (const Result r = writePackage(paczka, output.content(), todaysDate()); !ok(r)) return r;
    return output.commit();
}

} // namespace qdp
