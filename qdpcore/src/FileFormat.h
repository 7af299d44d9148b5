// SPDX-License-Identifier: MIT
// Layout of a QDP package file, shared by the writer and the reader.
//
// Everything in the file is fixed-width text: keywords, zero-padded texts and
// left-aligned decimal numbers padded with zero bytes, each header, list
// entry, field definition and record ending in CR LF. A file holds:
//   package header, document list (33 bytes an entry),
//   per document: document header, section list (33 bytes an entry),
//     per section: section header, field definitions, records, blob area.
// An optional description (251 bytes) sits inside a header exactly when it
// is not empty; the position of the CR LF tells the two lengths apart.
// Offsets in the document list are absolute; those in a section list count
// from the start of their document header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qdp::format {

// One fixed-width field of a header: its offset in the short form (without a
// description) and its width.
struct Field {
    std::size_t offset;
    std::size_t width;
};

inline constexpr std::string_view kCrLf = "\r\n";
inline constexpr std::size_t kCrLfWidth = 2;

inline constexpr std::size_t kKeywordWidth = 9;
inline constexpr std::string_view kPaczka = "PACZKA";
inline constexpr std::string_view kSpisDok = "SPISDOK";
inline constexpr std::string_view kDokument = "DOKUMENT";
inline constexpr std::string_view kSpisSek = "SPISSEK";
inline constexpr std::string_view kSekcja = "SEKCJA";
inline constexpr std::string_view kDefPol = "DEFPOL";

// Widths of the text members (the longest text is one less).
inline constexpr std::size_t kDescriptionWidth = 251;
inline constexpr std::size_t kDateWidth = 11;
inline constexpr std::size_t kTypeCodeWidth = 33;
inline constexpr std::size_t kProgramCodeWidth = 33;
inline constexpr std::size_t kSectionCodeWidth = 17;
inline constexpr std::size_t kFieldNameWidth = 25;
inline constexpr std::size_t kFieldTypeWidth = 5;
inline constexpr std::size_t kSizeTextWidth = 11;
// Paths kept by the library (temporary folder and files, source files).
inline constexpr std::size_t kPathWidth = 128;

// Widths of the numeric fields.
inline constexpr std::size_t kNumber5 = 5;
inline constexpr std::size_t kNumber7 = 7;
inline constexpr std::size_t kNumber11 = 11;

// A number is written only when it is below the limit of its field; at or
// above it the field stays all zero. 5-byte fields take 5 digits with no
// terminating zero; the others keep one zero byte.
inline constexpr std::uint64_t kLimit5 = 99999;
inline constexpr std::uint64_t kLimit7 = 999999;
inline constexpr std::uint64_t kLimit11 = 9999999999ULL;
inline constexpr std::uint64_t kRecordCountLimit = 999999;

constexpr std::uint64_t limitForWidth(std::size_t width) {
    return width == kNumber5 ? kLimit5 : width == kNumber7 ? kLimit7 : kLimit11;
}

// Largest file the format can describe: the reader reports total size and
// offsets as signed 32-bit numbers.
inline constexpr std::uint64_t kMaxTotalSize = 2147483647;

namespace package_header {
inline constexpr std::size_t kShort = 124;
inline constexpr std::size_t kLong = kShort + kDescriptionWidth; // 375
inline constexpr Field keyword{0, kKeywordWidth};
inline constexpr Field version{9, kNumber7};
inline constexpr Field typeCode{16, kTypeCodeWidth};
inline constexpr Field programCode{49, kProgramCodeWidth};
inline constexpr Field documentCount{82, kNumber7};
inline constexpr Field date{89, kDateWidth};
inline constexpr Field description{100, kDescriptionWidth};
// These move by the description's width when it is present.
inline constexpr Field totalSize{100, kNumber11};
inline constexpr Field sizeText{111, kSizeTextWidth};
inline constexpr Field crLf{122, kCrLfWidth};
} // namespace package_header

// Document list and section list entries share one layout.
namespace list_entry {
inline constexpr std::size_t kLength = 33;
inline constexpr Field keyword{0, kKeywordWidth};
inline constexpr Field offset{9, kNumber11};
inline constexpr Field length{20, kNumber11};
inline constexpr Field crLf{31, kCrLfWidth};
} // namespace list_entry

namespace document_header {
inline constexpr std::size_t kShort = 76;
inline constexpr std::size_t kLong = kShort + kDescriptionWidth; // 327
inline constexpr Field keyword{0, kKeywordWidth};
inline constexpr Field typeCode{9, kTypeCodeWidth};
inline constexpr Field typeVersion{42, kNumber7};
inline constexpr Field typeVariant{49, kNumber7};
inline constexpr Field sectionCount{56, kNumber7};
inline constexpr Field date{63, kDateWidth};
inline constexpr Field description{74, kDescriptionWidth};
inline constexpr Field crLf{74, kCrLfWidth}; // moves with the description
} // namespace document_header

namespace section_header {
inline constexpr std::size_t kShort = 44;
inline constexpr std::size_t kLong = kShort + kDescriptionWidth; // 295
inline constexpr Field keyword{0, kKeywordWidth};
inline constexpr Field code{9, kSectionCodeWidth};
inline constexpr Field fieldCount{26, kNumber5};
inline constexpr Field recordCount{31, kNumber11};
inline constexpr Field description{42, kDescriptionWidth};
inline constexpr Field crLf{42, kCrLfWidth}; // moves with the description
} // namespace section_header

namespace field_definition {
inline constexpr std::size_t kShort = 51;
inline constexpr std::size_t kLong = kShort + kDescriptionWidth; // 302
inline constexpr Field keyword{0, kKeywordWidth};
inline constexpr Field name{9, kFieldNameWidth};
inline constexpr Field type{34, kFieldTypeWidth};
inline constexpr Field size{39, kNumber5};
inline constexpr Field precision{44, kNumber5};
inline constexpr Field description{49, kDescriptionWidth};
inline constexpr Field crLf{49, kCrLfWidth}; // moves with the description
} // namespace field_definition

// A field that follows the optional description, in a header that has one.
constexpr Field afterDescription(Field field, bool hasDescription) {
    return hasDescription ? Field{field.offset + kDescriptionWidth, field.width} : field;
}

constexpr std::size_t headerLength(std::size_t shortLength, bool hasDescription) {
    return hasDescription ? shortLength + kDescriptionWidth : shortLength;
}

// Records: field i at the sum of (size + 1) over the earlier fields, a zero
// separator after each field, CR LF at the end.
inline constexpr std::uint64_t kEmptyRecordLength = 2;

// Blob fields hold "offset length" in decimal; the longest such reference.
inline constexpr std::size_t kBlobReferenceMax = 21;

// B fields with extended attributes are streamed in chunks of this size
// unless the caller names another.
inline constexpr std::uint32_t kDefaultChunkSize = 64384;

// Saving copies the temporary files in pieces of this size.
inline constexpr std::size_t kCopyPieceSize = 100000;

// Date of saving: "%.4d.%.2d.%.2d".
inline constexpr std::size_t kDateLength = 10;

} // namespace qdp::format
