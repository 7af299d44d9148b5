// SPDX-License-Identifier: MIT
#include "StructureWalk.h"

#include "FieldCoding.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

namespace qdp {

namespace {

using namespace qdp::format;

// The longest header of all: a package header with its description.
using HeaderImage = std::array<char, package_header::kLong>;

std::uint64_t bytesBetween(std::uint64_t pos, std::uint64_t limit) {
    return pos < limit ? limit - pos : 0;
}

std::int64_t numberOf(std::span<const char> image, Field field) {
    return parseNumber(image.subspan(field.offset, field.width));
}

// A text member: the field's text, at most width - 1 bytes.
std::string textOf(std::span<const char> image, Field field) {
    const std::string_view text = parseText(image.subspan(field.offset, field.width));
    return std::string(text.substr(0, field.width - 1));
}

std::int32_t int32Of(std::span<const char> image, Field field) {
    const std::int64_t v = numberOf(image, field);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A count: a sign makes no sense there, so a negative one counts as none.
std::uint64_t countOf(std::span<const char> image, Field field) {
    const std::int64_t v = numberOf(image, field);
    return v < 0 ? 0 : static_cast<std::uint64_t>(v);
}

bool keywordIs(std::span<const char> image, std::string_view keyword) {
    return parseText(image.first(kKeywordWidth)) == keyword;
}

bool endsShortForm(std::span<const char> image, std::size_t shortLength) {
    return image[shortLength - 2] == kCrLf[0] && image[shortLength - 1] == kCrLf[1];
}

// One header or field definition at pos, read no further than limit. The
// image is zero beyond what was there. The long form (with a description)
// is taken unless the short form ends in CR LF.
struct HeaderRead {
    bool hasDescription = false;
    std::size_t length = 0;
    bool complete = false; // all of its bytes lie before limit
};

HeaderRead readHeaderAt(ReadFile& file, std::uint64_t pos, std::uint64_t limit,
                        std::size_t shortLength, HeaderImage& image) {
    image.fill('\0');
    const std::size_t longLength = shortLength + kDescriptionWidth;
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(longLength, bytesBetween(pos, limit)));
    const std::size_t got = file.read(pos, std::span<char>(image.data(), wanted));
    HeaderRead r;
    r.hasDescription = !endsShortForm(image, shortLength);
    r.length = r.hasDescription ? longLength : shortLength;
    r.complete = got >= r.length;
    return r;
}

class Walk {
public:
    Walk(ReadFile& file, PackageLayout& layout) : file_(file), layout_(layout) {}

    void run() {
        if (!readDocumentList()) return;
        std::uint64_t previousEnd = documentListEnd_;
        for (DocumentLayout& d : layout_.documents) {
            const auto start = static_cast<std::uint64_t>(d.listedOffset);
            const auto end = start + static_cast<std::uint64_t>(d.listedLength);
            if (d.listedOffset < 0 || d.listedLength < 0 || start < previousEnd ||
                end > file_.size()) {
                fail(Result::DocumentNotCreated);
                continue;
            }
            previousEnd = end;
            readDocument(d, start, end);
        }
    }

private:
    void fail(Result r) {
        if (ok(layout_.firstError)) layout_.firstError = r;
    }

    bool readDocumentList() {
        std::uint64_t pos = layout_.header.length;
        for (std::uint32_t i = 0; i < layout_.header.documentCount; ++i) {
            std::array<char, list_entry::kLength> entry{};
            // The keyword and the zero byte after it.
            const std::string_view expected(kSpisDok.data(), kSpisDok.size() + 1);
            if (file_.read(pos, entry) < entry.size() ||
                std::string_view(entry.data(), expected.size()) != expected) {
                fail(Result::BadSpisDok);
                return false;
            }
            DocumentLayout& d = layout_.documents.emplace_back();
            d.listedOffset = numberOf(entry, list_entry::offset);
            d.listedLength = numberOf(entry, list_entry::length);
            pos += list_entry::kLength;
        }
        documentListEnd_ = pos;
        if (layout_.documents.empty()) {
            fail(Result::NoDocumentListed);
            return false;
        }
        return true;
    }

    void readDocument(DocumentLayout& d, std::uint64_t start, std::uint64_t end) {
        HeaderImage image;
        const HeaderRead h = readHeaderAt(file_, start, end, document_header::kShort, image);
        if (!keywordIs(image, kDokument)) return fail(Result::BadDokument);
        if (!h.complete) return fail(Result::DocumentNotCreated);
        d.typeCode = textOf(image, document_header::typeCode);
        d.typeVersion = int32Of(image, document_header::typeVersion);
        d.typeVariant = int32Of(image, document_header::typeVariant);
        const std::uint64_t sectionCount = countOf(image, document_header::sectionCount);
        d.date = textOf(image, document_header::date);
        if (h.hasDescription) d.description = textOf(image, document_header::description);

        // Section list: entries must lie inside the document.
        std::uint64_t pos = start + h.length;
        for (std::uint64_t i = 0; i < sectionCount; ++i) {
            std::array<char, list_entry::kLength> entry{};
            if (bytesBetween(pos, end) < entry.size() || file_.read(pos, entry) < entry.size() ||
                std::string_view(entry.data(), kSpisSek.size()) != kSpisSek) {
                // The sections listed so far stay, but none is read further.
                return fail(Result::BadSpisSek);
            }
            SectionLayout& s = d.sections.emplace_back();
            s.listedOffset = numberOf(entry, list_entry::offset);
            s.listedLength = numberOf(entry, list_entry::length);
            pos += list_entry::kLength;
        }
        if (d.sections.empty()) return fail(Result::NothingToSelect);

        std::uint64_t previousEnd = pos;
        for (SectionLayout& s : d.sections) {
            const std::uint64_t sectionStart = start + static_cast<std::uint64_t>(s.listedOffset);
            const std::uint64_t sectionEnd =
                sectionStart + static_cast<std::uint64_t>(s.listedLength);
            if (s.listedOffset < 0 || s.listedLength < 0 || sectionStart < previousEnd ||
                sectionEnd > end) {
                fail(Result::SectionNotCreated);
                continue;
            }
            previousEnd = sectionEnd;
            readSection(s, sectionStart, sectionEnd);
        }
    }

    void readSection(SectionLayout& s, std::uint64_t start, std::uint64_t end) {
        HeaderImage image;
        const HeaderRead h = readHeaderAt(file_, start, end, section_header::kShort, image);
        if (!keywordIs(image, kSekcja)) return fail(Result::BadSekcja);
        if (!h.complete) return fail(Result::SectionNotCreated);
        s.code = textOf(image, section_header::code);
        const std::uint64_t fieldCount = countOf(image, section_header::fieldCount);
        const std::uint64_t recordCount = countOf(image, section_header::recordCount);
        if (h.hasDescription) s.description = textOf(image, section_header::description);

        std::uint64_t pos = start + h.length;
        std::uint64_t recordLength = kEmptyRecordLength;
        for (std::uint64_t i = 0; i < fieldCount; ++i) {
            const HeaderRead f = readHeaderAt(file_, pos, end, field_definition::kShort, image);
            if (!keywordIs(image, kDefPol)) return fail(Result::BadDefPol);
            const std::int64_t size = numberOf(image, field_definition::size);
            if (!f.complete || size < 0) return fail(Result::FieldNotCreated);
            FieldLayout& field = s.fields.emplace_back();
            field.name = textOf(image, field_definition::name);
            field.type = textOf(image, field_definition::type);
            field.size = static_cast<std::int32_t>(size); // at most five digits
            field.precision = int32Of(image, field_definition::precision);
            if (f.hasDescription) field.description = textOf(image, field_definition::description);
            field.recordOffset = recordLength - kEmptyRecordLength;
            recordLength += static_cast<std::uint64_t>(size) + 1;
            pos += f.length;
        }
        if (s.fields.empty()) return fail(Result::RecordLength2);

        // The records must fit between the field definitions and the end of
        // the section; what follows them is the blob area.
        if (recordCount > bytesBetween(pos, end) / recordLength) {
            return fail(Result::SectionNotCreated);
        }
        s.recordCount = static_cast<std::uint32_t>(recordCount);
        s.start = start;
        s.end = end;
        s.recordLength = recordLength;
        s.recordAreaStart = pos - start;
        s.blobAreaStart = s.recordAreaStart + recordCount * recordLength;
        s.readable = true;
    }

    ReadFile& file_;
    PackageLayout& layout_;
    std::uint64_t documentListEnd_ = 0;
};

} // namespace

void readPackageHeader(ReadFile& file, PackageHeaderLayout& header) {
    HeaderImage image{};
    file.read(0, image);
    const bool hasDescription = !endsShortForm(image, package_header::kShort);
    header.length = headerLength(package_header::kShort, hasDescription);
    header.version = int32Of(image, package_header::version);
    header.typeCode = textOf(image, package_header::typeCode);
    header.programCode = textOf(image, package_header::programCode);
    header.documentCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(
        countOf(image, package_header::documentCount), std::numeric_limits<std::uint32_t>::max()));
    header.date = textOf(image, package_header::date);
    header.description =
        hasDescription ? textOf(image, package_header::description) : std::string();
    header.totalSize = numberOf(image, afterDescription(package_header::totalSize, hasDescription));
    header.sizeText = textOf(image, afterDescription(package_header::sizeText, hasDescription));
}

void readPackageStructure(ReadFile& file, PackageLayout& layout) {
    Walk(file, layout).run();
}

} // namespace qdp
