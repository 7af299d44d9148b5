// SPDX-License-Identifier: MIT
// qdpcore: builds QDP package files (packages of documents, sections, field
// definitions and records) and opens them again for reading.
//
// Conventions of this interface:
//  1. Every function returns a signed 32-bit result code; 1 means success.
//     The codes are listed in QdpResult below (one numbering shared with the
//     importer's message table).
//  2. A package handle is a non-zero 32-bit value; 0 means "no package".
//     PaczkaC takes the address of the caller's handle: when it holds 0 the
//     call creates a package and writes the new handle there. A handle of a
//     cleared or unknown package answers QDP_NO_PACKAGE (4) and is never used.
//  3. Texts are zero-terminated 8-bit texts (Windows-1250 for Polish text);
//     the library never converts them. Texts and buffers stay the caller's:
//     the library copies what it keeps and cuts texts longer than their
//     member (section code 16, type and program codes 32, field name 24,
//     field type 4, descriptions 250 characters). A null description means
//     "none", like an empty one.
//  4. Arrays of texts are one block of equal-width slots, entry i at i times
//     the slot width (see AddDefPolsC).
//  5. The record text of AddRekordC is laid out like a record: field i at the
//     sum of (size + 1) over the earlier fields. The library writes into it
//     only where a field's own bytes are (a linked size field gets its
//     decimal value, with a zero after it when the digits leave room); no
//     byte outside a field is ever changed.
//  6. Nothing throws across this interface. Not thread-safe: one thread at
//     a time.
//  7. Paths (temporary folder, source files, temporary file names) must fit
//     127 characters; a longer path is refused with QDP_BAD_PATH (21), never
//     cut. A null path also gives 21; any other null argument gives the
//     call's own failure code.
//  8. SaveC never destroys a file, a link, a device or an owner, and never
//     leaves a half-written package:
//     - a symbolic link is followed to the file it finally names, which is
//       replaced; the links stay;
//     - the file must be writable by the caller, else 22 and nothing changes;
//     - a regular file with one link, in a folder where the caller may
//       create files, whose mode, owner and group a new file can keep (or a
//       file that does not exist yet) is replaced by renaming the complete
//       new package over it;
//     - anything else (a file with several links, a device, a FIFO, a
//       folder without the right to create files, an owner or group the
//       caller cannot give a new file) is written in place, after the whole
//       package has been written and checked in a staging file beside it
//       (or in the system's temporary folder); the file is cut to the new
//       length only once the new content is in it;
//     - after a failure the output file is as it was before the call (or
//       does not exist); a device or FIFO may have taken part of the bytes.
//     Staging files are named "<output name>~<process id>-<n>.qdptmp"; the
//     output file is closed when SaveC returns.
//  9. Temporary files (a section's "CAa12345"/"BAa12345", the staging file)
//     are locked while in use. Those that a killed process left behind (its
//     id in their name, no such process any more, owned by the same user,
//     not locked) are removed by SetOutPathC from its folder and by SaveC
//     from the output file's folder.
//  10. On Windows every function uses the Windows API calling convention
//      (__stdcall) and is exported under its plain name, undecorated, with
//      the ordinal of qdpcore.def: C, Delphi and Visual Basic callers declare
//      it as they declare the system's own functions, and may bind it by
//      name or by ordinal. QDPCORE_CALL expands to nothing elsewhere.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define QDPCORE_CALL __stdcall
#if defined(QDPCORE_BUILDING)
// The module-definition file names the exports and their ordinals.
#define QDPCORE_API
#else
#define QDPCORE_API __declspec(dllimport)
#endif
#else
#define QDPCORE_CALL
#define QDPCORE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t QdpHandle;

enum QdpResult {
    QDP_OK = 1,
    QDP_PACKAGE_NOT_CREATED = 2,   // PaczkaC, ReadInfoPaczkaC
    QDP_NO_PACKAGE = 4,            // handle 0, unknown or already cleared
    QDP_DOCUMENT_NOT_CREATED = 5,  // a document could not be created or read in
    QDP_SECTION_NOT_CREATED = 6,   // a section could not be created, selected or read in
    QDP_FIELD_NOT_CREATED = 7,     // a field definition could not be created or read in
    QDP_NO_DOCUMENT = 8,           // no current document, or document index beyond the last
    QDP_NO_SECTION = 9,            // no current section, or section index beyond the last
    QDP_NO_FIELD_DEFINITIONS = 13, // AddDefPolsC with count 0
    QDP_PACKAGE_EMPTY = 14,        // saving a package without documents
    QDP_DOCUMENT_EMPTY = 15,       // saving a document without sections
    QDP_SECTION_EMPTY = 16,        // a section without field definitions
    QDP_OUT_OF_MEMORY = 20,
    QDP_BAD_PATH = 21,      // missing, not found, or 128 characters and more
    QDP_CREATE_FAILED = 22, // output file, source or target file of a B field
    QDP_CLOSE_FAILED = 23,
    QDP_DISK_FULL = 25,
    QDP_OPEN_FAILED = 26,        // the package file could not be opened for reading
    QDP_BAD_DEFPOL = 28,         // a field definition without "DEFPOL"
    QDP_BAD_SEKCJA = 29,         // a section header without "SEKCJA"
    QDP_BAD_SPISSEK = 30,        // a section-list entry without "SPISSEK"
    QDP_BAD_DOKUMENT = 31,       // a document header without "DOKUMENT"
    QDP_BAD_SPISDOK = 32,        // a document-list entry without "SPISDOK"
    QDP_FILE_TOO_SHORT = 33,     // shorter than a package header
    QDP_NO_DOCUMENT_LISTED = 34, // the file lists no document
    QDP_NOTHING_TO_SELECT = 35,  // no document, or no section, to select or read
    QDP_RECORD_LENGTH_2 = 36,    // record buffer made while no fields are defined
    QDP_BAD_RECORD_END = 37,     // a record read does not end in CR LF
    QDP_SEEK_FAILED = 38,
    QDP_FILE_NOT_OPEN = 39, // reading while no package file is open
    QDP_END_OF_SECTION = 41,
    QDP_WRITE_FAILED = 42,     // bad descriptor, or a temporary file not open
    QDP_TEMP_FILE_FAILED = 45, // no unique temporary name, or it could not be created
    QDP_NOT_A_FOLDER = 46,     // the temporary folder does not accept a new file
    QDP_ALREADY_CLOSED = 47,   // FileClose when no file is open
    QDP_NULL_OUTPUT = 48,      // null output text; B-field copy buffer not allocated
    QDP_OS_ERROR = 49,         // any other operating-system error while writing
    QDP_BAD_TOTAL_SIZE = 50,   // file length differs from the header's total size
    QDP_CRYPT_FAILED = 51,     // encryption or decryption failed
    QDP_DOCUMENT_NOT_FOUND = 52,
    QDP_SECTION_NOT_FOUND = 53,
    QDP_FIELD_NOT_FOUND = 54,
    QDP_WRONG_FIELD_TYPE = 55, // SetDefPolExt: size field not N, ext field not "B"

    // A number reaches the limit of its fixed-width field in the file, so
    // the file could not be read back faithfully: a record count of 999999,
    // a document or section count of 999999, a field count, field size or
    // precision of 99999, or a version, type version or variant of 999999
    // or more (or negative). Refused at the call that would reach it
    // (PaczkaC, AddDokumentC, AddSekcjaC, AddDefPolC, AddRekordC); nothing
    // is added. AddDefPolsC skips such an entry and answers 7.
    QDP_FORMAT_LIMIT = 70,
    // The package file would be longer than 2147483647 bytes, the largest
    // total size and offset a reader can state. Refused by AddRekordC (the
    // record is not added) or by SaveC.
    QDP_PACKAGE_TOO_LARGE = 71,
    // A linked size field (SetDefPolExt) has fewer characters than the
    // decimal length of its B field's content. Refused by AddRekordC: the
    // record is not added and neither the caller's text nor the temporary
    // files change.
    QDP_SIZE_FIELD_TOO_NARROW = 72,
    // The folder of the temporary files or of the output file no longer
    // exists (it was removed while the package was built): the section's
    // temporary files could not be made (AddRekordC, SaveC), or the folder
    // went away while SaveC wrote.
    QDP_FOLDER_MISSING = 73,
};

// --- Package -------------------------------------------------------------

// *handle == 0: creates a package and stores its handle (2 when it cannot be
// created). Otherwise checks *handle (4) and overwrites the four values.
QDPCORE_API int32_t QDPCORE_CALL PaczkaC(QdpHandle* handle, int32_t version, const char* typeCode,
                                         const char* programCode, const char* description);
// Checks a handle: 1 or 4.
QDPCORE_API int32_t QDPCORE_CALL SetCurrentPaczka(QdpHandle handle);
// Removes the package and destroys it: closes its files, deletes its
// temporary files, destroys its cipher sessions. 1 or 4.
QDPCORE_API int32_t QDPCORE_CALL Clear(QdpHandle handle);

// --- Package cipher (a seclay session; its codes are passed on) ----------
// A CryptAlgoMode that fails leaves the package without a cipher (a later
// CryptKeyIv answers 97), never with a half-set one.

QDPCORE_API int32_t QDPCORE_CALL CryptAlgoMode(QdpHandle handle, int32_t algorithm, int32_t mode);
QDPCORE_API int32_t QDPCORE_CALL CryptKeyIv(QdpHandle handle, const char* key, const char* iv);
QDPCORE_API int32_t QDPCORE_CALL CryptClear(QdpHandle handle);

// --- Building ------------------------------------------------------------

// Checks that folder can take a new file (46) and keeps it as the prefix of
// the temporary file names; it must end with a path separator, "" is the
// current directory. Call it before the first AddSekcjaC.
QDPCORE_API int32_t QDPCORE_CALL SetOutPathC(QdpHandle handle, const char* folder);
// Appends a document and makes it current (5).
QDPCORE_API int32_t QDPCORE_CALL AddDokumentC(QdpHandle handle, const char* typeCode,
                                              int32_t typeVersion, int32_t typeVariant,
                                              const char* description);
// Appends a section to the current document (8) and makes it current (6).
QDPCORE_API int32_t QDPCORE_CALL AddSekcjaC(QdpHandle handle, const char* code,
                                            const char* description);
// Appends a field definition to the current section (8, 9, 7); size and
// precision are decimal texts (leading digits count, none = 0). The type's
// first letter decides the kind: B or V blob, N possible size field, exactly
// "B" may carry extended attributes, anything else a plain field.
QDPCORE_API int32_t QDPCORE_CALL AddDefPolC(QdpHandle handle, const char* name, const char* type,
                                            const char* size, const char* precision,
                                            const char* description);
// count entries from slot arrays: names 25 bytes a slot, types 5, sizes 5,
// precisions 5, descriptions 251 (a slot's text ends at its first zero or
// at the slot's end). 13 for count 0; 7 when an entry was skipped (the rest
// are still added).
QDPCORE_API int32_t QDPCORE_CALL AddDefPolsC(QdpHandle handle, uint32_t count, const char* names,
                                             const char* types, const char* sizes,
                                             const char* precisions, const char* descriptions);
// Extended attributes of the "B" field at blobField (0-based) of the current
// section: its content is read from sourceFile and its true length written
// into the N field at sizeField. A non-empty key gives the field a cipher of
// its own. chunkSize > 0 replaces the default of 64384 bytes.
QDPCORE_API int32_t QDPCORE_CALL SetDefPolExt(QdpHandle handle, int32_t blobField,
                                              int32_t sizeField, const char* sourceFile,
                                              const char* key, const char* iv, int32_t algorithm,
                                              int32_t mode, int32_t chunkSize);
// Adds one record to the current section; record is laid out like a record
// (see convention 5) and must hold the section's record length.
QDPCORE_API int32_t QDPCORE_CALL AddRekordC(QdpHandle handle, char* record);
// Writes the package file (see convention 8). May be called again: every
// save writes all records added so far.
QDPCORE_API int32_t QDPCORE_CALL SaveC(QdpHandle handle, const char* outputPath);

// --- Selection -----------------------------------------------------------

// 0-based. SetCurrentDokument: 35 without documents, 8 beyond the last.
// SetCurrentSekcja: 8 without a current document, 35 without sections,
// 9 beyond the last. SetCurrentSekcjaNoRes leaves an already current section
// as it is. While a package file is open for reading, selecting a section
// also moves the read position to its first record (SetCurrentSekcja) or
// back to where reading that section stopped (SetCurrentSekcjaNoRes); 38
// when the file holds no readable records for it (the section stays
// selected).
QDPCORE_API int32_t QDPCORE_CALL SetCurrentDokument(QdpHandle handle, uint32_t index);
QDPCORE_API int32_t QDPCORE_CALL SetCurrentSekcja(QdpHandle handle, uint32_t index);
QDPCORE_API int32_t QDPCORE_CALL SetCurrentSekcjaNoRes(QdpHandle handle, uint32_t index);

// --- Reading a package file ------------------------------------------------
//
// A package file is input from outside: whatever it holds, reading gives a
// result code, never a crash. Text outputs are copied up to and including
// their terminating zero and need the width of their member (codes 33
// bytes, section code 17, date 11, size text 11, descriptions 251); a null
// text or number output is skipped. Reading order: ReadPaczkaHeadC, an
// optional package cipher (CryptAlgoMode, CryptKeyIv), then per document
// SetCurrentDokument and ReadDokumentHeadC, per section SetCurrentSekcja,
// ReadSekcjaHeadC, ReadListaDefPolC and ReadRecordC until 41; FileClose;
// Clear.

// *handle == 0: opens the file at path as a new package and stores its
// handle. 21 for a null path or a file that does not exist, 33 for a file
// shorter than a package header (124 bytes), 26 when it cannot be opened.
// 50 when the file's length differs from the size its header states: the
// package exists all the same, *handle is set and the caller clears it.
// Otherwise the code of the first structure error found in the file (28 to
// 32, 34, 35, 36, or 5, 6, 7 for a document, section or field definition
// whose offsets or lengths do not fit the file): the package and its file
// are released at once and *handle stays 0 (the outputs still get the
// header's values). After opening the last document is current, and in
// each document its last section. *handle != 0: only fills the outputs
// from that package.
QDPCORE_API int32_t QDPCORE_CALL ReadPaczkaHeadC(QdpHandle* handle, const char* path,
                                                 int32_t* version, char* typeCode,
                                                 char* programCode, uint32_t* documentCount,
                                                 char* date, char* description, int32_t* totalSize,
                                                 char* sizeText);
// handle == 0: reads only the header of the file at path and keeps nothing
// (21, 33, 26, 50 as above; documentCount is the header's). Otherwise fills
// the outputs from that package.
QDPCORE_API int32_t QDPCORE_CALL ReadInfoPaczkaC(QdpHandle handle, const char* path,
                                                 int32_t* version, char* typeCode,
                                                 char* programCode, uint32_t* documentCount,
                                                 char* date, char* description, int32_t* totalSize,
                                                 char* sizeText);
// Values of the current document (8 without one).
QDPCORE_API int32_t QDPCORE_CALL ReadDokumentHeadC(QdpHandle handle, int32_t* offset,
                                                   int32_t* length, char* typeCode,
                                                   int32_t* typeVersion, int32_t* typeVariant,
                                                   uint32_t* sectionCount, char* date,
                                                   char* description);
// Values of the current section of the current document (8, 9).
QDPCORE_API int32_t QDPCORE_CALL ReadSekcjaHeadC(QdpHandle handle, int32_t* offset, int32_t* length,
                                                 char* code, uint32_t* fieldCount,
                                                 uint32_t* recordCount, char* description);
// The current section's field definitions into slot arrays as in
// AddDefPolsC (names 25 bytes, types 5, sizes 5, precisions 5, descriptions
// 251), each holding at least the section's field count of slots. Sizes and
// precisions are decimal text; a five-digit one fills its slot with no zero
// after it. Nothing is written outside the slots; a description slot only
// when the description is not empty, and none when descriptions is null.
// 8, 9, 16 without field definitions, 48 when another array is null.
QDPCORE_API int32_t QDPCORE_CALL ReadListaDefPolC(QdpHandle handle, char* names, char* types,
                                                  char* sizes, char* precisions,
                                                  char* descriptions);
// The next record of the current section into record, which holds at least
// the section's record length (2 + the sum of size + 1); exactly that many
// bytes are written. Plain fields come back as stored, with their zero
// separators; a blob field without extended attributes comes back as its
// data (size - 1 bytes, deciphered with the package cipher when one is set,
// then zeros); a B field with extended attributes (SetDefPolExt) keeps its
// reference text and its content is written to its file. 41 at the end of
// the section's records (the next SetCurrentSekcja starts again), 37 for a
// record that does not end in CR LF, 38 when the section was not positioned
// by SetCurrentSekcja/SetCurrentSekcjaNoRes or a blob reference points
// outside its section, 51 when deciphering failed, 39 after FileClose,
// 22/42/25/49/23 when writing a B field's file fails.
QDPCORE_API int32_t QDPCORE_CALL ReadRecordC(QdpHandle handle, char* record);
// Closes the package file; the package stays until Clear. 47 when no file
// is open, 23 when closing fails.
QDPCORE_API int32_t QDPCORE_CALL FileClose(QdpHandle handle);

#ifdef __cplusplus
}
#endif
