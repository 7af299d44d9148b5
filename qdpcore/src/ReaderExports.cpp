// SPDX-License-Identifier: MIT
// The exported reading functions: each checks the handle, calls the engine
// and returns its code. Nothing escapes as an exception.
#include <qdpcore/qdpcore.h>

#include "PackageList.h"
#include "PackageReading.h"

#include <new>

using qdp::Paczka;
using qdp::Result;

namespace {

template <typename Body>
int32_t onPackage(QdpHandle handle, Result failure, Body body) noexcept {
    try {
        Paczka* p = qdp::packageList().find(handle);
        if (p == nullptr) return QDP_NO_PACKAGE;
        return qdp::toInt(body(*p));
    } catch (...) {
        return qdp::toInt(failure);
    }
}

} // namespace

extern "C" {

QDPCORE_API int32_t QDPCORE_CALL ReadPaczkaHeadC(QdpHandle* handle, const char* path,
                                                 int32_t* version, char* typeCode,
                                                 char* programCode, uint32_t* documentCount,
                                                 char* date, char* description, int32_t* totalSize,
                                                 char* sizeText) {
    if (handle == nullptr) return QDP_NO_PACKAGE;
    const qdp::PackageHeadOutputs out{version, typeCode,    programCode, documentCount,
                                      date,    description, totalSize,   sizeText};
    if (*handle != 0) {
        return onPackage(*handle, Result::OutOfMemory, [&](Paczka& p) {
            qdp::fillPackageHead(p, out);
            return Result::Ok;
        });
    }
    try {
        std::unique_ptr<Paczka> made;
        const Result r = qdp::openPackage(path, made);
        if (!made) return qdp::toInt(r);
        qdp::fillPackageHead(*made, out);
        // Only a wrong length leaves the package for the caller to look at;
        // a broken structure releases it here, so no caller can leak it.
        if (!qdp::ok(r) && r != Result::BadTotalSize) return qdp::toInt(r);
        const QdpHandle h = qdp::packageList().add(std::move(made));
        if (h == 0) return QDP_OUT_OF_MEMORY;
        *handle = h;
        return qdp::toInt(r);
    } catch (...) {
        return QDP_OUT_OF_MEMORY;
    }
}

QDPCORE_API int32_t QDPCORE_CALL ReadInfoPaczkaC(QdpHandle handle, const char* path,
                                                 int32_t* version, char* typeCode,
                                                 char* programCode, uint32_t* documentCount,
                                                 char* date, char* description, int32_t* totalSize,
                                                 char* sizeText) {
    const qdp::PackageHeadOutputs out{version, typeCode,    programCode, documentCount,
                                      date,    description, totalSize,   sizeText};
    if (handle != 0) {
        return onPackage(handle, Result::OutOfMemory, [&](Paczka& p) {
            qdp::fillPackageHead(p, out);
            return Result::Ok;
        });
    }
    try {
        return qdp::toInt(qdp::readPackageInfo(path, out));
    } catch (...) {
        return QDP_PACKAGE_NOT_CREATED;
    }
}

QDPCORE_API int32_t QDPCORE_CALL ReadDokumentHeadC(QdpHandle handle, int32_t* offset,
                                                   int32_t* length, char* typeCode,
                                                   int32_t* typeVersion, int32_t* typeVariant,
                                                   uint32_t* sectionCount, char* date,
                                                   char* description) {
    return onPackage(handle, Result::DocumentNotCreated, [&](Paczka& p) {
        return qdp::readDokumentHead(p, offset, length, typeCode, typeVersion, typeVariant,
                                     sectionCount, date, description);
    });
}

QDPCORE_API int32_t QDPCORE_CALL ReadSekcjaHeadC(QdpHandle handle, int32_t* offset, int32_t* length,
                                                 char* code, uint32_t* fieldCount,
                                                 uint32_t* recordCount, char* description) {
    return onPackage(handle, Result::SectionNotCreated, [&](Paczka& p) {
        return qdp::readSekcjaHead(p, offset, length, code, fieldCount, recordCount, description);
    });
}

QDPCORE_API int32_t QDPCORE_CALL ReadListaDefPolC(QdpHandle handle, char* names, char* types,
                                                  char* sizes, char* precisions,
                                                  char* descriptions) {
    return onPackage(handle, Result::FieldNotCreated, [&](Paczka& p) {
        return qdp::readListaDefPol(p, names, types, sizes, precisions, descriptions);
    });
}

QDPCORE_API int32_t QDPCORE_CALL ReadRecordC(QdpHandle handle, char* record) {
    return onPackage(handle, Result::OutOfMemory,
                     [&](Paczka& p) { return qdp::readRecord(p, record); });
}

QDPCORE_API int32_t QDPCORE_CALL FileClose(QdpHandle handle) {
    return onPackage(handle, Result::CloseFailed, [&](Paczka& p) { return qdp::closeReadFile(p); });
}

} // extern "C"
