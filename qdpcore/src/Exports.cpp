// SPDX-License-Identifier: MIT
// The exported C functions: each checks the handle, calls the engine and
// returns its code. Nothing escapes as an exception.
#include <qdpcore/qdpcore.h>

#include "PackageBuilder.h"
#include "PackageList.h"

#include <new>

using qdp::Paczka;
using qdp::Result;

namespace {

// Runs body on the package named by handle; 4 for an unknown handle,
// failure when anything is thrown.
template <typename Body>
int32_t onPackage(QdpHandle handle, Result failure, Body body) noexcept {
    try {
        Paczka* p = qdp::packageList().find(handle);
        if (p == nullptr) return QDP_NO_PACKAGE;
        return qdp::toInt(body(*p));
    } catch (const std::bad_alloc&) {
        return qdp::toInt(failure);
    } catch (...) {
        return qdp::toInt(failure);
    }
}

} // namespace

extern "C" {

QDPCORE_API int32_t QDPCORE_CALL PaczkaC(QdpHandle* handle, int32_t version, const char* typeCode,
                                         const char* programCode, const char* description) {
    if (handle == nullptr) return QDP_PACKAGE_NOT_CREATED;
    if (*handle != 0) {
        return onPackage(*handle, Result::PackageNotCreated, [&](Paczka& p) {
            return qdp::redefinePackage(p, version, typeCode, programCode, description);
        });
    }
    try {
        std::unique_ptr<Paczka> made;
        const Result r = qdp::makePackage(version, typeCode, programCode, description, made);
        if (!qdp::ok(r)) return qdp::toInt(r);
        const QdpHandle h = qdp::packageList().add(std::move(made));
        if (h == 0) return QDP_PACKAGE_NOT_CREATED;
        *handle = h;
        return QDP_OK;
    } catch (...) {
        return QDP_PACKAGE_NOT_CREATED;
    }
}

QDPCORE_API int32_t QDPCORE_CALL SetCurrentPaczka(QdpHandle handle) {
    return onPackage(handle, Result::NoPackage, [](Paczka&) { return Result::Ok; });
}

QDPCORE_API int32_t QDPCORE_CALL Clear(QdpHandle handle) {
    try {
        return qdp::packageList().remove(handle) ? QDP_OK : QDP_NO_PACKAGE;
    } catch (...) {
        return QDP_NO_PACKAGE;
    }
}

QDPCORE_API int32_t QDPCORE_CALL CryptAlgoMode(QdpHandle handle, int32_t algorithm, int32_t mode) {
    return onPackage(handle, Result::CryptFailed,
                     [&](Paczka& p) { return p.cipher.algoMode(algorithm, mode); });
}

QDPCORE_API int32_t QDPCORE_CALL CryptKeyIv(QdpHandle handle, const char* key, const char* iv) {
    return onPackage(handle, Result::CryptFailed,
                     [&](Paczka& p) { return p.cipher.keyIv(key, iv); });
}

QDPCORE_API int32_t QDPCORE_CALL CryptClear(QdpHandle handle) {
    return onPackage(handle, Result::CryptFailed, [](Paczka& p) { return p.cipher.clear(); });
}

QDPCORE_API int32_t QDPCORE_CALL SetOutPathC(QdpHandle handle, const char* folder) {
    return onPackage(handle, Result::NotAFolder,
                     [&](Paczka& p) { return qdp::setOutPath(p, folder); });
}

QDPCORE_API int32_t QDPCORE_CALL AddDokumentC(QdpHandle handle, const char* typeCode,
                                              int32_t typeVersion, int32_t typeVariant,
                                              const char* description) {
    return onPackage(handle, Result::DocumentNotCreated, [&](Paczka& p) {
        return qdp::addDokument(p, typeCode, typeVersion, typeVariant, description);
    });
}

QDPCORE_API int32_t QDPCORE_CALL AddSekcjaC(QdpHandle handle, const char* code,
                                            const char* description) {
    return onPackage(handle, Result::SectionNotCreated,
                     [&](Paczka& p) { return qdp::addSekcja(p, code, description); });
}

QDPCORE_API int32_t QDPCORE_CALL AddDefPolC(QdpHandle handle, const char* name, const char* type,
                                            const char* size, const char* precision,
                                            const char* description) {
    return onPackage(handle, Result::FieldNotCreated, [&](Paczka& p) {
        return qdp::addDefPol(p, name, type, size, precision, description);
    });
}

QDPCORE_API int32_t QDPCORE_CALL AddDefPolsC(QdpHandle handle, uint32_t count, const char* names,
                                             const char* types, const char* sizes,
                                             const char* precisions, const char* descriptions) {
    return onPackage(handle, Result::FieldNotCreated, [&](Paczka& p) {
        return qdp::addDefPols(p, count, names, types, sizes, precisions, descriptions);
    });
}

QDPCORE_API int32_t QDPCORE_CALL SetDefPolExt(QdpHandle handle, int32_t blobField,
                                              int32_t sizeField, const char* sourceFile,
                                              const char* key, const char* iv, int32_t algorithm,
                                              int32_t mode, int32_t chunkSize) {
    return onPackage(handle, Result::FieldNotCreated, [&](Paczka& p) {
        return qdp::setDefPolExt(p, blobField, sizeField, sourceFile, key, iv, algorithm, mode,
                                 chunkSize);
    });
}

QDPCORE_API int32_t QDPCORE_CALL AddRekordC(QdpHandle handle, char* record) {
    return onPackage(handle, Result::OutOfMemory,
                     [&](Paczka& p) { return qdp::addRekord(p, record); });
}

QDPCORE_API int32_t QDPCORE_CALL SaveC(QdpHandle handle, const char* outputPath) {
    return onPackage(handle, Result::OutOfMemory,
                     [&](Paczka& p) { return qdp::save(p, outputPath); });
}

QDPCORE_API int32_t QDPCORE_CALL SetCurrentDokument(QdpHandle handle, uint32_t index) {
    return onPackage(handle, Result::DocumentNotFound,
                     [&](Paczka& p) { return qdp::selectDokument(p, index); });
}

QDPCORE_API int32_t QDPCORE_CALL SetCurrentSekcja(QdpHandle handle, uint32_t index) {
    return onPackage(handle, Result::SectionNotFound,
                     [&](Paczka& p) { return qdp::selectSekcja(p, index, false); });
}

QDPCORE_API int32_t QDPCORE_CALL SetCurrentSekcjaNoRes(QdpHandle handle, uint32_t index) {
    return onPackage(handle, Result::SectionNotFound,
                     [&](Paczka& p) { return qdp::selectSekcja(p, index, true); });
}

} // extern "C"
