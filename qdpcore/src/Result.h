// SPDX-License-Identifier: MIT
// Result codes inside the library; the numbers are those of the public
// interface, so a Result crosses the C boundary as its value.
#pragma once

#include <qdpcore/qdpcore.h>

#include <cstdint>

namespace qdp {

enum class Result : std::int32_t {
    Ok = QDP_OK,
    PackageNotCreated = QDP_PACKAGE_NOT_CREATED,
    NoPackage = QDP_NO_PACKAGE,
    DocumentNotCreated = QDP_DOCUMENT_NOT_CREATED,
    SectionNotCreated = QDP_SECTION_NOT_CREATED,
    FieldNotCreated = QDP_FIELD_NOT_CREATED,
    NoDocument = QDP_NO_DOCUMENT,
    NoSection = QDP_NO_SECTION,
    NoFieldDefinitions = QDP_NO_FIELD_DEFINITIONS,
    PackageEmpty = QDP_PACKAGE_EMPTY,
    DocumentEmpty = QDP_DOCUMENT_EMPTY,
    SectionEmpty = QDP_SECTION_EMPTY,
    OutOfMemory = QDP_OUT_OF_MEMORY,
    BadPath = QDP_BAD_PATH,
    CreateFailed = QDP_CREATE_FAILED,
    CloseFailed = QDP_CLOSE_FAILED,
    DiskFull = QDP_DISK_FULL,
    OpenFailed = QDP_OPEN_FAILED,
    BadDefPol = QDP_BAD_DEFPOL,
    BadSekcja = QDP_BAD_SEKCJA,
    BadSpisSek = QDP_BAD_SPISSEK,
    BadDokument = QDP_BAD_DOKUMENT,
    BadSpisDok = QDP_BAD_SPISDOK,
    FileTooShort = QDP_FILE_TOO_SHORT,
    NoDocumentListed = QDP_NO_DOCUMENT_LISTED,
    NothingToSelect = QDP_NOTHING_TO_SELECT,
    RecordLength2 = QDP_RECORD_LENGTH_2,
    BadRecordEnd = QDP_BAD_RECORD_END,
    SeekFailed = QDP_SEEK_FAILED,
    FileNotOpen = QDP_FILE_NOT_OPEN,
    EndOfSection = QDP_END_OF_SECTION,
    WriteFailed = QDP_WRITE_FAILED,
    TempFileFailed = QDP_TEMP_FILE_FAILED,
    NotAFolder = QDP_NOT_A_FOLDER,
    AlreadyClosed = QDP_ALREADY_CLOSED,
    NullOutput = QDP_NULL_OUTPUT,
    OsError = QDP_OS_ERROR,
    BadTotalSize = QDP_BAD_TOTAL_SIZE,
    CryptFailed = QDP_CRYPT_FAILED,
    DocumentNotFound = QDP_DOCUMENT_NOT_FOUND,
    SectionNotFound = QDP_SECTION_NOT_FOUND,
    FieldNotFound = QDP_FIELD_NOT_FOUND,
    WrongFieldType = QDP_WRONG_FIELD_TYPE,
    FormatLimit = QDP_FORMAT_LIMIT,
    PackageTooLarge = QDP_PACKAGE_TOO_LARGE,
    SizeFieldTooNarrow = QDP_SIZE_FIELD_TOO_NARROW,
    FolderMissing = QDP_FOLDER_MISSING,
};

// Codes of seclay calls are handed on unchanged where the interface says so;
// they share the integer space, so they travel as a Result too.
constexpr Result fromSeclay(std::int32_t code) {
    return static_cast<Result>(code);
}
constexpr std::int32_t toInt(Result r) {
    return static_cast<std::int32_t>(r);
}
constexpr bool ok(Result r) {
    return r == Result::Ok;
}

// Write failures by the operating system's error number: a bad descriptor
// gives 42, a full disk 25, anything else 49.
Result resultFromWriteError(int errorNumber);

} // namespace qdp
