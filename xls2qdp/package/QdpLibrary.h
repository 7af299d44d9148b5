// SPDX-License-Identifier: MIT
// The eleven qdpcore functions the package layer calls, behind one small
// interface: the program uses the linked library (linkedQdpLibrary), tests
// can put a recorder or a library that fails on purpose in its place.
// Texts are Windows-1250 bytes, zero-terminated; every result is a qdpcore
// result code (1 = success).
#pragma once

#include <qdpcore/qdpcore.h>

#include <cstdint>

namespace xls2qdp {

class QdpLibrary {
public:
    virtual ~QdpLibrary() = default;
    virtual std::int32_t PaczkaC(QdpHandle* handle, std::int32_t version, const char* typeCode,
                                 const char* programCode, const char* description) = 0;
    virtual std::int32_t CryptAlgoMode(QdpHandle handle, std::int32_t algorithm,
                                       std::int32_t mode) = 0;
    virtual std::int32_t CryptKeyIv(QdpHandle handle, const char* key, const char* iv) = 0;
    virtual std::int32_t SetOutPathC(QdpHandle handle, const char* folder) = 0;
    virtual std::int32_t AddDokumentC(QdpHandle handle, const char* typeCode,
                                      std::int32_t typeVersion, std::int32_t typeVariant,
                                      const char* description) = 0;
    virtual std::int32_t AddSekcjaC(QdpHandle handle, const char* code,
                                    const char* description) = 0;
    virtual std::int32_t AddDefPolC(QdpHandle handle, const char* name, const char* type,
                                    const char* size, const char* precision,
                                    const char* description) = 0;
    virtual std::int32_t SetDefPolExt(QdpHandle handle, std::int32_t blobField,
                                      std::int32_t sizeField, const char* sourceFile,
                                      const char* key, const char* iv, std::int32_t algorithm,
                                      std::int32_t mode, std::int32_t chunkSize) = 0;
    // record is changed in place by the library where a field's own bytes are.
    virtual std::int32_t AddRekordC(QdpHandle handle, char* record) = 0;
    virtual std::int32_t SaveC(QdpHandle handle, const char* outputPath) = 0;
    virtual std::int32_t Clear(QdpHandle handle) = 0;
};

// The qdpcore library linked into the program.
QdpLibrary& linkedQdpLibrary();

} // namespace xls2qdp
