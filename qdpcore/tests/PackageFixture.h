// SPDX-License-Identifier: MIT
// Building package files through the exported interface, and walking them
// back, for the reader's tests.
#pragma once

#include <qdpcore/qdpcore.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace qdptest {

struct FieldSpec {
    std::string name;
    std::string type;
    int size = 0;
    std::string description;
};

// A B field with extended attributes: its content comes from sourceFile and
// its true length goes to the N field at sizeField.
struct ExtendedSpec {
    int blobField = 0;
    int sizeField = 0;
    std::string key; // field cipher, empty = none
    std::string iv;
};

struct SectionSpec {
    std::string code;
    std::string description;
    std::vector<FieldSpec> fields;
    // Field values per record (cut to the field's size); for a B field
    // with extended attributes, the path of its source file.
    std::vector<std::vector<std::string>> records;
    std::vector<ExtendedSpec> extended;
};

struct DocumentSpec {
    std::string typeCode = "DOK";
    std::string description;
    std::vector<SectionSpec> sections;
};

struct PackageSpec {
    std::string description;
    std::vector<DocumentSpec> documents;
    // Package cipher: algorithm 0 = none.
    int algorithm = 0;
    int mode = 0;
    std::string key;
    std::string iv;
};

// Cipher settings every test uses: a single-DES key of 8 bytes (so 8-byte
// units) in CBC mode.
inline constexpr int kAlgorithm = 2;
inline constexpr int kMode = 2;
inline const std::string kKey = "k3y0f8b!";
inline const std::string kIv = "iv8bytes";
inline const std::string kFieldKey = "f13ldk3y";

inline std::size_t recordLength(const std::vector<FieldSpec>& fields) {
    std::size_t n = 2;
    for (const auto& f : fields)
        n += static_cast<std::size_t>(f.size) + 1;
    return n;
}

inline std::size_t fieldOffset(const std::vector<FieldSpec>& fields, std::size_t index) {
    std::size_t o = 0;
    for (std::size_t i = 0; i < index; ++i)
        o += static_cast<std::size_t>(fields[i].size) + 1;
    return o;
}

// A record text: each value at its field's offset, zeros elsewhere.
inline std::string layRecord(const std::vector<FieldSpec>& fields,
                             const std::vector<std::string>& values) {
    std::string record(recordLength(fields), '\0');
    for (std::size_t i = 0; i < fields.size() && i < values.size(); ++i) {
        const std::size_t n = std::min<std::size_t>(values[i].size(), fields[i].size);
        std::memcpy(record.data() + fieldOffset(fields, i), values[i].data(), n);
    }
    return record;
}

// Builds and saves the package; returns the first code other than 1, and
// clears the package in any case.
inline int32_t buildPackage(const PackageSpec& spec, const std::string& tempFolder,
                            const std::string& output) {
    QdpHandle h = 0;
    int32_t r = PaczkaC(&h, 1, "PAKIET", "PROGRAM", spec.description.c_str());
    const auto step = [&](int32_t code) {
        if (r == QDP_OK) r = code;
    };
    if (spec.algorithm != 0) {
        step(CryptAlgoMode(h, spec.algorithm, spec.mode));
        step(CryptKeyIv(h, spec.key.c_str(), spec.iv.c_str()));
    }
    step(SetOutPathC(h, tempFolder.c_str()));
    for (const auto& d : spec.documents) {
        step(AddDokumentC(h, d.typeCode.c_str(), 4, 1, d.description.c_str()));
        for (const auto& s : d.sections) {
            step(AddSekcjaC(h, s.code.c_str(), s.description.c_str()));
            for (const auto& f : s.fields) {
                step(AddDefPolC(h, f.name.c_str(), f.type.c_str(), std::to_string(f.size).c_str(),
                                "0", f.description.c_str()));
            }
            for (const auto& rec : s.records) {
                for (const auto& e : s.extended) {
                    step(SetDefPolExt(h, e.blobField, e.sizeField,
                                      rec[static_cast<std::size_t>(e.blobField)].c_str(),
                                      e.key.c_str(), e.iv.c_str(), kAlgorithm, kMode, 0));
                }
                std::string text = layRecord(s.fields, rec);
                step(AddRekordC(h, text.data()));
            }
        }
    }
    step(SaveC(h, output.c_str()));
    Clear(h);
    return r;
}

// What reading a package file gives back.
struct ReadSection {
    std::string code;
    std::string description;
    uint32_t recordCount = 0;
    std::vector<FieldSpec> fields;
    std::vector<std::string> records; // each of the record length
};
struct ReadDocument {
    std::string typeCode;
    std::string description;
    std::vector<ReadSection> sections;
};
struct ReadPackage {
    std::string description;
    int32_t totalSize = 0;
    std::vector<ReadDocument> documents;
};

inline std::string slotText(const char* slot, std::size_t width) {
    return std::string(slot, strnlen(slot, width));
}

// Walks every document, section and record of an open package.
inline int32_t walkPackage(QdpHandle h, uint32_t documentCount, ReadPackage& out) {
    for (uint32_t d = 0; d < documentCount; ++d) {
        if (int32_t r = SetCurrentDokument(h, d); r != QDP_OK) return r;
        int32_t offset = 0, length = 0, version = 0, variant = 0;
        uint32_t sections = 0;
        char type[33] = {}, date[11] = {}, description[251] = {};
        if (int32_t r = ReadDokumentHeadC(h, &offset, &length, type, &version, &variant, &sections,
                                          date, description);
            r != QDP_OK) {
            return r;
        }
        ReadDocument& doc = out.documents.emplace_back();
        doc.typeCode = type;
        doc.description = description;
        for (uint32_t s = 0; s < sections; ++s) {
            if (int32_t r = SetCurrentSekcja(h, s); r != QDP_OK) return r;
            char code[17] = {}, sdesc[251] = {};
            uint32_t fieldCount = 0, recordCount = 0;
            if (int32_t r =
                    ReadSekcjaHeadC(h, &offset, &length, code, &fieldCount, &recordCount, sdesc);
                r != QDP_OK) {
                return r;
            }
            ReadSection& sec = doc.sections.emplace_back();
            sec.code = code;
            sec.description = sdesc;
            sec.recordCount = recordCount;
            std::vector<char> names(25 * fieldCount), types(5 * fieldCount), sizes(5 * fieldCount),
                precisions(5 * fieldCount), descriptions(251 * fieldCount);
            if (int32_t r = ReadListaDefPolC(h, names.data(), types.data(), sizes.data(),
                                             precisions.data(), descriptions.data());
                r != QDP_OK) {
                return r;
            }
            for (uint32_t i = 0; i < fieldCount; ++i) {
                FieldSpec f;
                f.name = slotText(&names[25 * i], 25);
                f.type = slotText(&types[5 * i], 5);
                f.size = std::stoi(slotText(&sizes[5 * i], 5));
                f.description = slotText(&descriptions[251 * i], 251);
                sec.fields.push_back(f);
            }
            std::string record(recordLength(sec.fields), '\0');
            for (;;) {
                const int32_t r = ReadRecordC(h, record.data());
                if (r == QDP_END_OF_SECTION) break;
                if (r != QDP_OK) return r;
                sec.records.push_back(record);
            }
        }
    }
    return QDP_OK;
}

// The bytes of field i of a record.
inline std::string fieldBytes(const std::vector<FieldSpec>& fields, const std::string& record,
                              std::size_t i) {
    return record.substr(fieldOffset(fields, i), static_cast<std::size_t>(fields[i].size));
}

// A field's bytes up to the first zero.
inline std::string fieldText(const std::vector<FieldSpec>& fields, const std::string& record,
                             std::size_t i) {
    const std::string bytes = fieldBytes(fields, record, i);
    return bytes.substr(0, bytes.find('\0'));
}

} // namespace qdptest
