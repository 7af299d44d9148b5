// SPDX-License-Identifier: MIT
#include "Session.h"

#include "Padding.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>

namespace seclay {
namespace {

struct CodeMapping {
    std::int32_t code;
    std::int32_t lib;
};

// Caller's algorithm codes and the crypto library's numbers. Codes 3 and 4
// name the same library algorithm.
constexpr std::array<CodeMapping, 7> kAlgorithms{{
    {2, CRYPT_ALGO_DES},
    {3, CRYPT_ALGO_3DES},
    {4, CRYPT_ALGO_3DES},
    {5, CRYPT_ALGO_RC2},
    {6, CRYPT_ALGO_RC4},
    {7, CRYPT_ALGO_SAFER},
    {8, CRYPT_ALGO_BLOWFISH},
}};

constexpr std::array<CodeMapping, 6> kModes{{
    {1, CRYPT_MODE_ECB},
    {2, CRYPT_MODE_CBC},
    {3, CRYPT_MODE_CFB},
    {4, CRYPT_MODE_OFB},
    {5, CRYPT_MODE_PCBC},
    {6, CRYPT_MODE_PKC},
}};

template <std::size_t N>
const CodeMapping* lookUp(const std::array<CodeMapping, N>& table, std::int32_t code) {
    auto it = std::find_if(table.begin(), table.end(),
                           [code](const CodeMapping& m) { return m.code == code; });
    return it == table.end() ? nullptr : &*it;
}

void wipe(std::vector<std::uint8_t>& bytes) {
    volatile std::uint8_t* p = bytes.data();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        p[i] = 0;
}

} // namespace

Session::~Session() {
    clear();
    wipeKeyMaterial();
}

void Session::wipeKeyMaterial() {
    wipe(key_);
    wipe(iv_);
}

Result Session::setCodes(std::int32_t algo, std::int32_t mode) {
    if (algo == 0) {
        algoCode_ = 0;
        modeCode_ = 0;
        return Result::Ok;
    }
    const CodeMapping* a = lookUp(kAlgorithms, algo);
    if (!a) return Result::BadAlgo;
    algoCode_ = a->code;
    libAlgo_ = a->lib;
    const CodeMapping* m = lookUp(kModes, mode);
    if (!m) return Result::BadMode;
    modeCode_ = m->code;
    libMode_ = m->lib;
    if (cryptAlgoAvailable(libAlgo_) != CRYPT_OK) return Result::BadAlgo;
    if (cryptModeAvailable(libAlgo_, libMode_) != CRYPT_OK) return Result::BadMode;
    return Result::Ok;
}

Result Session::algoMode(std::int32_t algo, std::int32_t mode) {
    if (mainContext_ != 0) return Result::Ok; // the open context keeps its codes
    if (Result r = setCodes(algo, mode); r != Result::Ok) return r;
    if (algoCode_ == 0) return Result::Ok;
    if (cryptCreateContextEx(
            &mainContext_, libAlgo_, libMode_,
            reinterpret_cast<const void*>(static_cast<std::intptr_t>(CRYPT_UNUSED))) != CRYPT_OK) {
        mainContext_ = 0;
        return Result::ContextFailed;
    }
    return Result::Ok;
}

Result Session::checkAndStore(std::string_view key, std::string_view iv) {
    CRYPT_QUERY_INFO info{};
    if (cryptQueryAlgoMode(libAlgo_, libMode_, &info) != CRYPT_OK) return Result::QueryFailed;
    queryInfo_ = info;
    // Compared without sign, as sizes are.
    const auto keyLength = key.size(), ivLength = iv.size();
    if (static_cast<std::uint32_t>(info.minKeySize) > keyLength) return Result::KeyTooShort;
    if (static_cast<std::uint32_t>(info.maxKeySize) < keyLength) return Result::KeyTooLong;
    if (static_cast<std::uint32_t>(info.minIVsize) > ivLength) return Result::IvTooShort;
    if (static_cast<std::uint32_t>(info.maxIVsize) < ivLength) return Result::IvTooLong;
    wipeKeyMaterial();
    iv_.assign(iv.begin(), iv.end());
    key_.assign(key.begin(), key.end());
    return Result::Ok;
}

Result Session::loadInto(CRYPT_CONTEXT context) const {
    int status = cryptLoadContext(context, key_.data(), static_cast<int>(key_.size()));
    if (status == CRYPT_BADPARM) return Result::WeakKey;
    if (status != CRYPT_OK) return Result::KeyLoadFailed;
    if (queryInfo_.maxIVsize > 0 && !iv_.empty() &&
        cryptLoadIV(context, iv_.data(), static_cast<int>(iv_.size())) != CRYPT_OK)
        return Result::IvLoadFailed;
    return Result::Ok;
}

Result Session::keyIvE(std::string_view key, std::string_view iv) {
    if (algoCode_ == 0) return Result::Ok;
    return checkAndStore(key, iv);
}

Result Session::keyIv(std::string_view key, std::string_view iv) {
    if (algoCode_ == 0) return Result::Ok;
    if (Result r = checkAndStore(key, iv); r != Result::Ok) return r;
    return loadInto(mainContext_);
}

Result Session::encrypt(std::span<std::uint8_t> data) {
    if (algoCode_ == 0) return Result::Ok;
    if (mainContext_ == 0) return Result::NoContext;
    if (data.size() > INT_MAX) return Result::EncryptFailed;
    return cryptEncrypt(mainContext_, data.data(), static_cast<int>(data.size())) == CRYPT_OK
               ? Result::Ok
               : Result::EncryptFailed;
}

Result Session::decrypt(std::span<std::uint8_t> data) {
    if (algoCode_ == 0) return Result::Ok;
    if (mainContext_ == 0) return Result::NoContext;
    if (data.size() > INT_MAX) return Result::DecryptFailed;
    return cryptDecrypt(mainContext_, data.data(), static_cast<int>(data.size())) == CRYPT_OK
               ? Result::Ok
               : Result::DecryptFailed;
}

Result Session::openWorkContext() {
    if (workContext_ != 0) return Result::Ok; // left over from a failed release
    if (cryptCreateContextEx(
            &workContext_, libAlgo_, libMode_,
            reinterpret_cast<const void*>(static_cast<std::intptr_t>(CRYPT_UNUSED))) != CRYPT_OK) {
        workContext_ = 0;
        return Result::ContextFailed;
    }
    return Result::Ok;
}

Result Session::releaseWorkContext(Result soFar) {
    if (cryptDestroyContext(workContext_) == CRYPT_OK) {
        workContext_ = 0;
        return soFar;
    }
    return soFar == Result::Ok ? Result::EncryptFailed : soFar;
}

std::uint64_t Session::paddedLength(std::uint32_t n) const {
    return n + paddingFor(n, keyLength());
}

Result Session::encryptE(std::uint8_t* buffer, std::uint32_t n, std::uint32_t* encrypted) {
    if (algoCode_ == 0) return Result::Ok;
    // Without a stored key there is no padding unit and nothing to load.
    if (key_.empty()) return Result::KeyLoadFailed;
    const std::uint32_t p = paddingFor(n, keyLength());
    const std::uint64_t total = std::uint64_t{n} + p;
    if (total > INT_MAX) return Result::EncryptFailed;

    if (Result r = openWorkContext(); r != Result::Ok) return r;
    Result result = loadInto(workContext_);
    if (result == Result::Ok) {
        applyPadding(buffer, n, p);
        if (cryptEncrypt(workContext_, buffer, static_cast<int>(total)) != CRYPT_OK)
            result = Result::EncryptFailed;
    }
    result = releaseWorkContext(result);
    if (result == Result::Ok && encrypted) *encrypted = static_cast<std::uint32_t>(total);
    return result;
}

Result Session::decryptE(std::uint8_t* buffer, std::uint32_t n) {
    if (algoCode_ == 0) return Result::Ok;
    if (key_.empty()) return Result::KeyLoadFailed;
    if (n > INT_MAX) return Result::DecryptFailed;

    if (Result r = openWorkContext(); r != Result::Ok) return r;
    Result result = loadInto(workContext_);
    if (result == Result::Ok) {
        if (cryptDecrypt(workContext_, buffer, static_cast<int>(n)) != CRYPT_OK)
            result = Result::DecryptFailed;
        else if (paddingFor(n, keyLength()) != 0)
            removeMarker(buffer, n);
    }
    return releaseWorkContext(result);
}

Result Session::testSize(std::uint32_t size) const {
    if (size == 0) return Result::BadSize;
    if (key_.empty() || algoCode_ == 0) return Result::Ok;
    return size % keyLength() == 0 ? Result::Ok : Result::BadSize;
}

Result Session::setUpSize(std::uint32_t& size) const {
    if (size == 0) return Result::BadSize;
    if (key_.empty() || algoCode_ == 0) return Result::Ok;
    const std::uint64_t rounded = std::uint64_t{size} + paddingFor(size, keyLength());
    if (rounded > UINT32_MAX) return Result::BadSize; // would not fit the variable
    size = static_cast<std::uint32_t>(rounded);
    return Result::Ok;
}

int Session::openPipe() {
    return pipe_.open() ? pipe_.writeDescriptor() : -1;
}

Result Session::receivePipedKey(int timeoutMs) {
    std::optional<PipeMessage> message = pipe_.readMessage(timeoutMs);
    if (!message) return Result::Fail;
    auto textOf = [](const std::uint8_t* bytes, std::size_t size) {
        const char* text = reinterpret_cast<const char*>(bytes);
        return std::string_view(text, strnlen(text, size));
    };
    Result result = keyIv(textOf(message->data(), kPipeKeyBytes),
                          textOf(message->data() + kPipeKeyBytes, kPipeIvBytes));
    volatile std::uint8_t* p = message->data();
    for (std::size_t i = 0; i < message->size(); ++i)
        p[i] = 0;
    pipe_.close();
    return result;
}

void Session::clear() {
    // Failures of the crypto library while releasing are of no use to anyone.
    if (mainContext_ != 0) (void)cryptDestroyContext(mainContext_);
    mainContext_ = 0;
    if (workContext_ != 0) (void)cryptDestroyContext(workContext_);
    workContext_ = 0;
    pipe_.close();
}

} // namespace seclay
