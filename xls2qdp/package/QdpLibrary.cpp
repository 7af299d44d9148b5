// SPDX-License-Identifier: MIT
#include "package/QdpLibrary.h"

namespace xls2qdp {
namespace {

// Forwards every call to the exports of the linked qdpcore.
class LinkedQdpLibrary final : public QdpLibrary {
public:
    std::int32_t PaczkaC(QdpHandle* handle, std::int32_t version, const char* typeCode,
                         const char* programCode, const char* description) override {
        return ::PaczkaC(handle, version, typeCode, programCode, description);
    }
    std::int32_t CryptAlgoMode(QdpHandle handle, std::int32_t algorithm,
                               std::int32_t mode) override {
        return ::CryptAlgoMode(handle, algorithm, mode);
    }
    std::int32_t CryptKeyIv(QdpHandle handle, const char* key, const char* iv) override {
        return ::CryptKeyIv(handle, key, iv);
    }
    std::int32_t SetOutPathC(QdpHandle handle, const char* folder) override {
        return ::SetOutPathC(handle, folder);
    }
    std::int32_t AddDokumentC(QdpHandle handle, const char* typeCode, std::int32_t typeVersion,
                              std::int32_t typeVariant, const char* description) override {
        return ::AddDokumentC(handle, typeCode, typeVersion, typeVariant, description);
    }
    std::int32_t AddSekcjaC(QdpHandle handle, const char* code, const char* description) override {
        return ::AddSekcjaC(handle, code, description);
    }
    std::int32_t AddDefPolC(QdpHandle handle, const char* name, const char* type, const char* size,
                            const char* precision, const char* description) override {
        return ::AddDefPolC(handle, name, type, size, precision, description);
    }
    std::int32_t SetDefPolExt(QdpHandle handle, std::int32_t blobField, std::int32_t sizeField,
                              const char* sourceFile, const char* key, const char* iv,
                              std::int32_t algorithm, std::int32_t mode,
                              std::int32_t chunkSize) override {
        return ::SetDefPolExt(handle, blobField, sizeField, sourceFile, key, iv, algorithm, mode,
                              chunkSize);
    }
    std::int32_t AddRekordC(QdpHandle handle, char* record) override {
        return ::AddRekordC(handle, record);
    }
    std::int32_t SaveC(QdpHandle handle, const char* outputPath) override {
        return ::SaveC(handle, outputPath);
    }
    std::int32_t Clear(QdpHandle handle) override { return ::Clear(handle); }
};

} // namespace

QdpLibrary& linkedQdpLibrary() {
    static LinkedQdpLibrary library;
    return library;
}

} // namespace xls2qdp
