// SPDX-License-Identifier: MIT
#include "CipherContext.h"

#include "Capabilities.h"
#include "KeyPreparation.h"

#include <algorithm>

namespace ckx {
namespace {

CipherKind cipherKind(CRYPT_ALGO algo, SaferVariant safer) {
    switch (algo) {
    case CRYPT_ALGO_DES:
        return CipherKind::Des;
    case CRYPT_ALGO_3DES:
        return CipherKind::TripleDes;
    case CRYPT_ALGO_RC2:
        return CipherKind::Rc2FullKey;
    case CRYPT_ALGO_SAFER:
        return safer == SaferVariant::K64 ? CipherKind::SaferK64 : CipherKind::SaferK128;
    case CRYPT_ALGO_BLOWFISH:
        return CipherKind::Blowfish;
    default:
        return CipherKind::Rc4;
    }
}

ChainMode chainMode(CRYPT_MODE mode) {
    switch (mode) {
    case CRYPT_MODE_ECB:
        return ChainMode::Ecb;
    case CRYPT_MODE_CBC:
        return ChainMode::Cbc;
    case CRYPT_MODE_CFB:
        return ChainMode::Cfb;
    case CRYPT_MODE_OFB:
        return ChainMode::Ofb;
    case CRYPT_MODE_PCBC:
        return ChainMode::Pcbc;
    default:
        return ChainMode::Stream;
    }
}

void wipe(std::vector<std::uint8_t>& bytes) {
    volatile std::uint8_t* p = bytes.data();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        p[i] = 0;
}

} // namespace

CipherContext::CipherContext(CRYPT_ALGO algo, CRYPT_MODE mode) : algo_(algo), mode_(mode) {}

CipherContext::~CipherContext() {
    volatile std::uint8_t* p = iv_.data();
    for (std::size_t i = 0; i < iv_.size(); ++i)
        p[i] = 0;
}

int CipherContext::loadKey(std::span<const std::uint8_t> key) {
    PreparedKey prepared = prepareKey(algo_, key);
    if (prepared.status != CRYPT_OK) return prepared.status;
    auto started =
        ModeCipher::start(cipherKind(algo_, prepared.safer), chainMode(mode_), prepared.bytes, iv_);
    wipe(prepared.bytes);
    if (!started) return CRYPT_BADPARM3;
    cipher_ = std::move(started);
    return CRYPT_OK;
}

int CipherContext::loadIv(std::span<const std::uint8_t> iv) {
    if (!modeNeedsIv(mode_)) return iv.empty() ? CRYPT_NOTAVAIL : CRYPT_BADPARM3;
    if (iv.size() < static_cast<std::size_t>(kMinIvSize) || iv.size() > iv_.size())
        return CRYPT_BADPARM3;
    iv_.fill(0); // a short IV is zero-padded on the right
    std::copy(iv.begin(), iv.end(), iv_.begin());
    ivLoaded_ = true;
    if (cipher_ && !cipher_->setIv(iv_)) return CRYPT_BADPARM3;
    return CRYPT_OK;
}

int CipherContext::readyFor(std::span<const std::uint8_t> data) const {
    if (!cipher_) return CRYPT_NOKEY;
    // Without a loaded IV the chaining would start from a value nobody could
    // reproduce, so the data could never be deciphered: refuse both ways.
    if (modeNeedsIv(mode_) && !ivLoaded_) return CRYPT_NOIV;
    if (modeNeedsWholeBlocks(mode_) && data.size() % kBlockSize != 0) return CRYPT_BADPARM3;
    return CRYPT_OK;
}

int CipherContext::encrypt(std::span<std::uint8_t> data) {
    if (int status = readyFor(data); status != CRYPT_OK) return status;
    if (data.empty()) return CRYPT_OK;
    return cipher_->encrypt(data) ? CRYPT_OK : CRYPT_ERROR;
}

int CipherContext::decrypt(std::span<std::uint8_t> data) {
    if (int status = readyFor(data); status != CRYPT_OK) return status;
    if (data.empty()) return CRYPT_OK;
    return cipher_->decrypt(data) ? CRYPT_OK : CRYPT_ERROR;
}

} // namespace ckx
