// SPDX-License-Identifier: MIT
// The exported C functions: each checks its handle and arguments, calls the
// engine and returns its code. Nothing throws out of here.
#include "seclay/seclay.h"

#include "HexText.h"
#include "Result.h"
#include "Session.h"
#include "SessionRegistry.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <span>
#include <string_view>

#if defined(_WIN32)
#include <windows.h>
#endif

using namespace seclay;

namespace {

// How long SeclayX waits for the second party's message.
constexpr int kPipeWaitMs = 5000;

// The SeclayZ constant.
constexpr unsigned char kConstant[8] = {'S', 'E', 'C', 'L', 'A', 'Y', '2', '0'};

// Runs fn on the session named by handle: 97 for handle 0, 4 when it names
// no session, onError if anything throws.
template <typename Fn>
std::int32_t onSession(SeclayHandle handle, Result onError, Fn&& fn) noexcept {
    if (handle == 0) return code(Result::NullHandle);
    try {
        Session* session = sessionRegistry().find(handle);
        if (!session) return code(Result::BadHandle);
        return code(fn(*session));
    } catch (...) {
        return code(onError);
    }
}

// The session named by *handleVar; one is created when it holds 0.
template <typename Fn>
std::int32_t onNewOrOldSession(SeclayHandle* handleVar, Fn&& fn) noexcept {
    if (!handleVar) return code(Result::NullHandle);
    try {
        if (*handleVar == 0) *handleVar = sessionRegistry().create();
    } catch (...) {
        return code(Result::NoMemory);
    }
    return onSession(*handleVar, Result::NoMemory, fn);
}

std::string_view textOf(const char* text) {
    return text ? std::string_view(text) : std::string_view();
}

std::uint8_t* bytesOf(void* buffer) {
    return static_cast<std::uint8_t*>(buffer);
}

// A length of 0 means the buffer's contents as a zero-terminated text.
std::uint32_t dataLength(const void* buffer, std::uint32_t length) {
    return length != 0 ? length
                       : static_cast<std::uint32_t>(std::strlen(static_cast<const char*>(buffer)));
}

} // namespace

extern "C" {

SECLAY_API int32_t SECLAY_CALL SeclayAlgoMode(SeclayHandle* handleVar, int32_t algo, int32_t mode) {
    return onNewOrOldSession(handleVar, [&](Session& s) { return s.algoMode(algo, mode); });
}

SECLAY_API int32_t SECLAY_CALL SeclayAlgoModeE(SeclayHandle* handleVar, int32_t algo,
                                               int32_t mode) {
    return onNewOrOldSession(handleVar, [&](Session& s) { return s.algoModeE(algo, mode); });
}

SECLAY_API int32_t SECLAY_CALL SeclayKeyIv(SeclayHandle handle, const char* key, const char* iv) {
    return onSession(handle, Result::KeyLoadFailed,
                     [&](Session& s) { return s.keyIv(textOf(key), textOf(iv)); });
}

SECLAY_API int32_t SECLAY_CALL SeclayKeyIvE(SeclayHandle handle, const char* key, const char* iv) {
    return onSession(handle, Result::KeyLoadFailed,
                     [&](Session& s) { return s.keyIvE(textOf(key), textOf(iv)); });
}

SECLAY_API int32_t SECLAY_CALL SeclayEncrypt(SeclayHandle handle, void* buffer, uint32_t length) {
    return onSession(handle, Result::EncryptFailed, [&](Session& s) {
        if (!s.hasCipher()) return Result::Ok;
        if (!buffer) return Result::EncryptFailed;
        return s.encrypt({bytesOf(buffer), length});
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayDecrypt(SeclayHandle handle, void* buffer, uint32_t length) {
    return onSession(handle, Result::DecryptFailed, [&](Session& s) {
        if (!s.hasCipher()) return Result::Ok;
        if (!buffer) return Result::DecryptFailed;
        return s.decrypt({bytesOf(buffer), length});
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayEncryptE(SeclayHandle handle, void* buffer, uint32_t length) {
    return onSession(handle, Result::EncryptFailed, [&](Session& s) {
        if (!s.hasCipher()) return Result::Ok;
        if (!buffer) return Result::EncryptFailed;
        return s.encryptE(bytesOf(buffer), dataLength(buffer, length));
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayDecryptE(SeclayHandle handle, void* buffer, uint32_t length) {
    return onSession(handle, Result::DecryptFailed, [&](Session& s) {
        if (!s.hasCipher()) return Result::Ok;
        if (!buffer) return Result::DecryptFailed;
        return s.decryptE(bytesOf(buffer), dataLength(buffer, length));
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayEncryptEHex(SeclayHandle handle, void* buffer,
                                                 uint32_t length) {
    return onSession(handle, Result::EncryptFailed, [&](Session& s) {
        if (!s.hasCipher()) return Result::Ok;
        if (!buffer) return Result::EncryptFailed;
        std::uint32_t encrypted = 0;
        if (Result r = s.encryptE(bytesOf(buffer), dataLength(buffer, length), &encrypted);
            r != Result::Ok)
            return r;
        writeHexTable(bytesOf(buffer), encrypted);
        return Result::Ok;
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayDecryptEHex(SeclayHandle handle, void* buffer,
                                                 uint32_t /*length*/) {
    return onSession(handle, Result::DecryptFailed, [&](Session& s) {
        if (!s.hasCipher()) return Result::Ok;
        if (!buffer) return Result::OddHex;
        // Refused before the text is turned into bytes, so it stays usable.
        if (s.keyLength() == 0) return Result::KeyLoadFailed;
        std::size_t count = 0;
        if (readHexTable(bytesOf(buffer), &count) != HexStatus::Ok) return Result::OddHex;
        return s.decryptE(bytesOf(buffer), static_cast<std::uint32_t>(count));
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayEncryptEBCD(SeclayHandle handle, void* buffer,
                                                 uint32_t length) {
    return onSession(handle, Result::Fail, [&](Session& s) {
        if (!s.hasCipher()) return Result::Ok;
        if (!buffer) return Result::Fail;
        const std::uint32_t n = dataLength(buffer, length);
        // Checked before enciphering, so a refused buffer keeps its data.
        if (s.keyLength() != 0 && 2 * s.paddedLength(n) > kFormattedLimit) return Result::Fail;
        std::uint32_t encrypted = 0;
        if (Result r = s.encryptE(bytesOf(buffer), n, &encrypted); r != Result::Ok) return r;
        return writeHexFormatted(bytesOf(buffer), encrypted) == HexStatus::Ok ? Result::Ok
                                                                              : Result::Fail;
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayDecryptEBCD(SeclayHandle handle, void* buffer,
                                                 uint32_t /*length*/) {
    return onSession(handle, Result::Fail, [&](Session& s) {
        if (!s.hasCipher()) return Result::Ok;
        if (!buffer) return Result::Fail;
        if (s.keyLength() == 0) return Result::KeyLoadFailed;
        std::size_t count = 0;
        if (readHexFormatted(bytesOf(buffer), &count) != HexStatus::Ok) return Result::Fail;
        return s.decryptE(bytesOf(buffer), static_cast<std::uint32_t>(count));
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayQ(SeclayHandle handle, void* buffer, uint32_t length) {
    return SeclayEncryptEBCD(handle, buffer, length);
}

SECLAY_API int32_t SECLAY_CALL SeclayV(SeclayHandle handle, void* buffer, uint32_t length) {
    return SeclayDecryptEBCD(handle, buffer, length);
}

SECLAY_API int32_t SECLAY_CALL SeclayTestSize(SeclayHandle handle, uint32_t size) {
    return onSession(handle, Result::BadSize, [&](Session& s) { return s.testSize(size); });
}

SECLAY_API int32_t SECLAY_CALL SeclaySetUpSize(SeclayHandle handle, uint32_t* sizeVar) {
    return onSession(handle, Result::BadSize, [&](Session& s) {
        if (!sizeVar) return Result::BadSize;
        return s.setUpSize(*sizeVar);
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayClear(SeclayHandle handle) {
    return onSession(handle, Result::Ok, [](Session& s) {
        s.clear();
        return Result::Ok;
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayDestroy(SeclayHandle handle) {
    return onSession(handle, Result::Ok, [&](Session&) {
        sessionRegistry().destroy(handle);
        return Result::Ok;
    });
}

SECLAY_API int32_t SECLAY_CALL SeclayY(SeclayHandle* handleVar, int32_t algo, int32_t mode,
                                       char* text) {
    if (!handleVar || !text) return code(Result::Fail);
    if (SeclayAlgoMode(handleVar, algo, mode) != code(Result::Ok)) return code(Result::Fail);
    const std::int32_t result = onSession(*handleVar, Result::Fail, [&](Session& s) {
        const int writeEnd = s.openPipe();
        if (writeEnd < 0) return Result::Fail;
        std::snprintf(text, 12, "%d", writeEnd);
        return Result::Ok;
    });
    return result == code(Result::Ok) ? result : code(Result::Fail);
}

SECLAY_API int32_t SECLAY_CALL SeclayX(SeclayHandle* handleVar) {
    if (!handleVar) return code(Result::Fail);
    const std::int32_t result = onSession(
        *handleVar, Result::Fail, [](Session& s) { return s.receivePipedKey(kPipeWaitMs); });
    // A handle that names no session is one more way of failing here.
    return result == code(Result::BadHandle) ? code(Result::Fail) : result;
}

SECLAY_API int32_t SECLAY_CALL SeclayZ(int32_t /*unused1*/, int32_t /*unused2*/,
                                       int32_t /*unused3*/, unsigned char* out) {
    if (out) std::memcpy(out, kConstant, sizeof kConstant);
    return code(Result::Fail);
}

} // extern "C"

#if defined(_WIN32)
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    // One thread at a time: no per-thread work, so no thread notifications.
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
#endif
