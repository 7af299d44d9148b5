// SPDX-License-Identifier: MIT
// The exported C functions: argument checks, then the engine. Nothing throws
// out of here.
#include "ckx/ckx.h"

#include "Capabilities.h"
#include "CipherContext.h"
#include "ContextRegistry.h"

#include <cstdint>
#include <new>
#include <span>

using namespace ckx;

namespace {

template <typename Fn>
int guarded(Fn&& fn) noexcept {
    try {
        return fn();
    } catch (const std::bad_alloc&) {
        return CRYPT_NOMEM;
    } catch (...) {
        return CRYPT_ERROR;
    }
}

std::span<std::uint8_t> bytes(void* buffer, int length) {
    return {static_cast<std::uint8_t*>(buffer), static_cast<std::size_t>(length)};
}

std::span<const std::uint8_t> bytes(const void* buffer, int length) {
    return {static_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(length)};
}

} // namespace

extern "C" {

CKX_API int CKX_CALL cryptAlgoAvailable(CRYPT_ALGO cryptAlgo) {
    return findAlgorithm(cryptAlgo) ? CRYPT_OK : CRYPT_NOALGO;
}

CKX_API int CKX_CALL cryptModeAvailable(CRYPT_ALGO cryptAlgo, CRYPT_MODE cryptMode) {
    return checkAlgoMode(cryptAlgo, cryptMode);
}

CKX_API int CKX_CALL cryptQueryAlgoMode(CRYPT_ALGO cryptAlgo, CRYPT_MODE cryptMode,
                                        CRYPT_QUERY_INFO* info) {
    if (int status = checkAlgoMode(cryptAlgo, cryptMode); status != CRYPT_OK) return status;
    if (!info) return CRYPT_BADPARM3;
    describe(cryptAlgo, cryptMode, *info);
    return CRYPT_OK;
}

CKX_API int CKX_CALL cryptCreateContextEx(CRYPT_CONTEXT* cryptContext, CRYPT_ALGO cryptAlgo,
                                          CRYPT_MODE cryptMode, const void* cryptContextEx) {
    if (!cryptContext) return CRYPT_BADPARM1;
    *cryptContext = 0;
    if (int status = checkAlgoMode(cryptAlgo, cryptMode); status != CRYPT_OK) return status;
    // Only the default set-up is offered; no algorithm-specific options.
    if (reinterpret_cast<std::intptr_t>(cryptContextEx) != CRYPT_UNUSED) return CRYPT_BADPARM4;
    return guarded([&] {
        *cryptContext =
            contextRegistry().add(std::make_unique<CipherContext>(cryptAlgo, cryptMode));
        return CRYPT_OK;
    });
}

CKX_API int CKX_CALL cryptLoadContext(CRYPT_CONTEXT cryptContext, const void* key, int keyLength) {
    CipherContext* context = contextRegistry().find(cryptContext);
    if (!context) return CRYPT_BADPARM1;
    if (!key) return CRYPT_BADPARM2;
    if (keyLength < 0) return CRYPT_BADPARM3;
    return guarded([&] { return context->loadKey(bytes(key, keyLength)); });
}

CKX_API int CKX_CALL cryptLoadIV(CRYPT_CONTEXT cryptContext, const void* iv, int length) {
    CipherContext* context = contextRegistry().find(cryptContext);
    if (!context) return CRYPT_BADPARM1;
    if (!iv && length != 0) return CRYPT_BADPARM2;
    if (length < 0) return CRYPT_BADPARM3;
    return guarded([&] { return context->loadIv(bytes(iv, length)); });
}

CKX_API int CKX_CALL cryptEncrypt(CRYPT_CONTEXT cryptContext, void* buffer, int length) {
    CipherContext* context = contextRegistry().find(cryptContext);
    if (!context) return CRYPT_BADPARM1;
    if (!buffer && length != 0) return CRYPT_BADPARM2;
    if (length < 0) return CRYPT_BADPARM3;
    return guarded([&] { return context->encrypt(bytes(buffer, length)); });
}

CKX_API int CKX_CALL cryptDecrypt(CRYPT_CONTEXT cryptContext, void* buffer, int length) {
    CipherContext* context = contextRegistry().find(cryptContext);
    if (!context) return CRYPT_BADPARM1;
    if (!buffer && length != 0) return CRYPT_BADPARM2;
    if (length < 0) return CRYPT_BADPARM3;
    return guarded([&] { return context->decrypt(bytes(buffer, length)); });
}

CKX_API int CKX_CALL cryptDestroyContext(CRYPT_CONTEXT cryptContext) {
    return contextRegistry().remove(cryptContext) ? CRYPT_OK : CRYPT_BADPARM1;
}

} // extern "C"
