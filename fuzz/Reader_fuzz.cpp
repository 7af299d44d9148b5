// SPDX-License-Identifier: MIT
// Fuzz target: any bytes as a package file, opened through the exported
// interface and walked through every document, section and record, with
// and without a package cipher and with extraction of B fields. Besides
// the sanitizers, it checks what the interface promises whatever the file:
// no more records than a section states, 39 after FileClose, Clear works.
#include "FuzzInputFile.h"

#include <qdpcore/qdpcore.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using xls2qdp::fuzz::InputFile;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

std::uint32_t slotNumber(const char* slot) {
    char text[6] = {};
    std::memcpy(text, slot, 5);
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
}

void walkSection(QdpHandle h, std::uint32_t s, bool cipher) {
    const std::int32_t positioned = SetCurrentSekcja(h, s);
    std::uint32_t fields = 0, records = 0;
    char code[17], description[251];
    std::int32_t offset = 0, length = 0;
    if (ReadSekcjaHeadC(h, &offset, &length, code, &fields, &records, description) != QDP_OK) {
        return;
    }
    check(std::strlen(code) < sizeof code && std::strlen(description) < sizeof description);
    // Arrays exactly as large as the field count says, so that any write
    // beyond them is caught.
    std::vector<char> names(25 * fields), types(5 * fields), sizes(5 * fields),
        precisions(5 * fields), descriptions(251 * fields);
    if (ReadListaDefPolC(h, names.data(), types.data(), sizes.data(), precisions.data(),
                         descriptions.data()) != QDP_OK) {
        return;
    }
    std::size_t recordLength = 2;
    int blobField = -1, sizeField = -1;
    for (std::uint32_t i = 0; i < fields; ++i) {
        recordLength += slotNumber(&sizes[5 * i]) + 1;
        if (std::strncmp(&types[5 * i], "B", 5) == 0 && blobField < 0)
            blobField = static_cast<int>(i);
        if (types[5 * i] == 'N' && sizeField < 0) sizeField = static_cast<int>(i);
    }
    if (blobField >= 0 && sizeField >= 0) {
        // Extraction into a file that keeps nothing, in small chunks.
        SetDefPolExt(h, blobField, sizeField, "/dev/null", cipher ? "f13ldk3y" : "",
                     cipher ? "iv8bytes" : "", 2, 2, 512);
    }
    // A section that states no records gets a buffer too small for any: a
    // record read into it would be caught.
    std::vector<char> record(records > 0 ? recordLength : 2);
    std::uint64_t ok = 0;
    for (std::uint64_t i = 0; i <= std::uint64_t{records} + 1; ++i) {
        const std::int32_t r = ReadRecordC(h, record.data());
        if (r == QDP_END_OF_SECTION) break;
        if (r == QDP_OK) ++ok;
        if (r == QDP_SEEK_FAILED && positioned != QDP_OK) break;
    }
    check(ok <= records);
    // Resuming where the section was left must work on any file too.
    SetCurrentSekcjaNoRes(h, s);
    ReadRecordC(h, record.data());
}

void walk(QdpHandle h, bool cipher) {
    std::uint32_t documents = 0;
    char text[251];
    check(ReadPaczkaHeadC(&h, nullptr, nullptr, text, text, &documents, text, text, nullptr,
                          text) == QDP_OK);
    if (cipher) {
        CryptAlgoMode(h, 2, 2);
        CryptKeyIv(h, "k3y0f8b!", "iv8bytes");
    }
    // One index beyond the last, too: it must be refused, not read.
    for (std::uint32_t d = 0; d <= documents; ++d) {
        if (SetCurrentDokument(h, d) != QDP_OK) continue;
        std::uint32_t sections = 0;
        std::int32_t offset = 0, length = 0, version = 0, variant = 0;
        char type[33], date[11], description[251];
        if (ReadDokumentHeadC(h, &offset, &length, type, &version, &variant, &sections, date,
                              description) != QDP_OK) {
            continue;
        }
        for (std::uint32_t s = 0; s <= sections && s < 100000; ++s)
            walkSection(h, s, cipher);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static InputFile input;
    input.set(data, size);

    std::uint32_t count = 0;
    ReadInfoPaczkaC(0, input.path(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                    nullptr);

    QdpHandle h = 0;
    const std::int32_t opened = ReadPaczkaHeadC(&h, input.path(), nullptr, nullptr, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, nullptr);
    if (h == 0) {
        check(opened != QDP_OK);
        return 0;
    }
    // Packages written with a cipher name it in their program code.
    const bool cipher = size > 49 && data[49] == 'C';
    walk(h, cipher);
    check(FileClose(h) == QDP_OK);
    char record[8];
    check(ReadRecordC(h, record) == QDP_FILE_NOT_OPEN);
    check(Clear(h) == QDP_OK);
    return 0;
}
