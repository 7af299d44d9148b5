// SPDX-License-Identifier: MIT
#include "ModeCipher.h"

#include <tomcrypt.h>

#include <mutex>
#include <type_traits>
#include <variant>

namespace ckx {
namespace {

// RC2 whose key table is never reduced (effective key bits 1024), whatever
// the key length.
int rc2SetupFullKey(const unsigned char* key, int keylen, int rounds, symmetric_key* skey) {
    return rc2_setup_ex(key, keylen, 1024, rounds, skey);
}

struct CipherIndexes {
    int des = -1, des3 = -1, rc2 = -1, saferK64 = -1, saferK128 = -1, blowfish = -1;
};

const CipherIndexes& cipherIndexes() {
    static ltc_cipher_descriptor rc2FullKey = [] {
        ltc_cipher_descriptor d = rc2_desc;
        d.name = "ckx-rc2-1024";
        d.ID = 0xC2; // distinct from every descriptor the library ships
        d.setup = rc2SetupFullKey;
        return d;
    }();
    static CipherIndexes indexes;
    static std::once_flag once;
    std::call_once(once, [] {
        indexes.des = register_cipher(&des_desc);
        indexes.des3 = register_cipher(&des3_desc);
        indexes.rc2 = register_cipher(&rc2FullKey);
        indexes.saferK64 = register_cipher(&safer_k64_desc);
        indexes.saferK128 = register_cipher(&safer_k128_desc);
        indexes.blowfish = register_cipher(&blowfish_desc);
    });
    return indexes;
}

int cipherIndex(CipherKind kind) {
    const CipherIndexes& ix = cipherIndexes();
    switch (kind) {
    case CipherKind::Des:
        return ix.des;
    case CipherKind::TripleDes:
        return ix.des3;
    case CipherKind::Rc2FullKey:
        return ix.rc2;
    case CipherKind::SaferK64:
        return ix.saferK64;
    case CipherKind::SaferK128:
        return ix.saferK128;
    case CipherKind::Blowfish:
        return ix.blowfish;
    case CipherKind::Rc4:
        break;
    }
    return -1;
}

// PCBC over single-block ECB: C[i] = E(P[i] ^ chain), then chain = P[i] ^ C[i];
// the chain starts as the IV.
struct Pcbc {
    symmetric_ECB ecb;
    ChainIv chain;
};

bool pcbcEncrypt(Pcbc& p, std::span<std::uint8_t> data) {
    for (std::size_t at = 0; at + kChainBlock <= data.size(); at += kChainBlock) {
        unsigned char* block = data.data() + at;
        ChainIv plain;
        for (std::size_t i = 0; i < kChainBlock; ++i) {
            plain[i] = block[i];
            block[i] ^= p.chain[i];
        }
        if (ecb_encrypt(block, block, kChainBlock, &p.ecb) != CRYPT_OK) return false;
        for (std::size_t i = 0; i < kChainBlock; ++i)
            p.chain[i] = plain[i] ^ block[i];
    }
    return true;
}

bool pcbcDecrypt(Pcbc& p, std::span<std::uint8_t> data) {
    for (std::size_t at = 0; at + kChainBlock <= data.size(); at += kChainBlock) {
        unsigned char* block = data.data() + at;
        ChainIv cipher;
        for (std::size_t i = 0; i < kChainBlock; ++i)
            cipher[i] = block[i];
        if (ecb_decrypt(block, block, kChainBlock, &p.ecb) != CRYPT_OK) return false;
        for (std::size_t i = 0; i < kChainBlock; ++i) {
            block[i] ^= p.chain[i];
            p.chain[i] = block[i] ^ cipher[i];
        }
    }
    return true;
}

using Chained =
    std::variant<symmetric_ECB, symmetric_CBC, symmetric_CFB, symmetric_OFB, Pcbc, rc4_state>;

} // namespace

struct ModeCipher::State {
    Chained chained;
    ~State() {
        if (auto* rc4 = std::get_if<rc4_state>(&chained)) rc4_stream_done(rc4);
        zeromem(&chained, sizeof chained);
    }
};

ModeCipher::ModeCipher(std::unique_ptr<State> state) : state_(std::move(state)) {}
ModeCipher::~ModeCipher() = default;

std::unique_ptr<ModeCipher> ModeCipher::start(CipherKind cipher, ChainMode mode,
                                              std::span<const std::uint8_t> key,
                                              const ChainIv& iv) {
    auto state = std::make_unique<State>();
    const unsigned char* k = key.data();
    const int len = static_cast<int>(key.size());
    const int index = cipherIndex(cipher);
    int err = CRYPT_INVALID_ARG;
    if (cipher == CipherKind::Rc4) {
        if (mode == ChainMode::Stream)
            err = rc4_stream_setup(&state->chained.emplace<rc4_state>(), k, key.size());
    } else if (index >= 0) {
        switch (mode) {
        case ChainMode::Ecb:
            err = ecb_start(index, k, len, 0, &state->chained.emplace<symmetric_ECB>());
            break;
        case ChainMode::Cbc:
            err = cbc_start(index, iv.data(), k, len, 0, &state->chained.emplace<symmetric_CBC>());
            break;
        case ChainMode::Cfb:
            err = cfb_start(index, iv.data(), k, len, 0, &state->chained.emplace<symmetric_CFB>());
            break;
        case ChainMode::Ofb:
            err = ofb_start(index, iv.data(), k, len, 0, &state->chained.emplace<symmetric_OFB>());
            break;
        case ChainMode::Pcbc: {
            Pcbc& p = state->chained.emplace<Pcbc>();
            p.chain = iv;
            err = ecb_start(index, k, len, 0, &p.ecb);
            break;
        }
        case ChainMode::Stream:
            break;
        }
    }
    if (err != CRYPT_OK) return nullptr;
    return std::make_unique<ModeCipher>(std::move(state));
}

bool ModeCipher::setIv(const ChainIv& iv) {
    unsigned char* v = const_cast<unsigned char*>(iv.data());
    const unsigned long n = iv.size();
    return std::visit(
        [&](auto& s) -> bool {
            using S = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<S, symmetric_CBC>) return cbc_setiv(v, n, &s) == CRYPT_OK;
            if constexpr (std::is_same_v<S, symmetric_CFB>) return cfb_setiv(v, n, &s) == CRYPT_OK;
            if constexpr (std::is_same_v<S, symmetric_OFB>) return ofb_setiv(v, n, &s) == CRYPT_OK;
            if constexpr (std::is_same_v<S, Pcbc>) s.chain = iv;
            return true;
        },
        state_->chained);
}

bool ModeCipher::encrypt(std::span<std::uint8_t> data) {
    unsigned char* d = data.data();
    const unsigned long n = data.size();
    return std::visit(
        [&](auto& s) -> bool {
            using S = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<S, symmetric_ECB>) return ecb_encrypt(d, d, n, &s) == 0;
            if constexpr (std::is_same_v<S, symmetric_CBC>) return cbc_encrypt(d, d, n, &s) == 0;
            if constexpr (std::is_same_v<S, symmetric_CFB>) return cfb_encrypt(d, d, n, &s) == 0;
            if constexpr (std::is_same_v<S, symmetric_OFB>) return ofb_encrypt(d, d, n, &s) == 0;
            if constexpr (std::is_same_v<S, Pcbc>) return pcbcEncrypt(s, data);
            if constexpr (std::is_same_v<S, rc4_state>) return rc4_stream_crypt(&s, d, n, d) == 0;
        },
        state_->chained);
}

bool ModeCipher::decrypt(std::span<std::uint8_t> data) {
    unsigned char* d = data.data();
    const unsigned long n = data.size();
    return std::visit(
        [&](auto& s) -> bool {
            using S = std::decay_t<decltype(s)>;
            if constexpr (std::is_same_v<S, symmetric_ECB>) return ecb_decrypt(d, d, n, &s) == 0;
            if constexpr (std::is_same_v<S, symmetric_CBC>) return cbc_decrypt(d, d, n, &s) == 0;
            if constexpr (std::is_same_v<S, symmetric_CFB>) return cfb_decrypt(d, d, n, &s) == 0;
            if constexpr (std::is_same_v<S, symmetric_OFB>) return ofb_decrypt(d, d, n, &s) == 0;
            if constexpr (std::is_same_v<S, Pcbc>) return pcbcDecrypt(s, data);
            if constexpr (std::is_same_v<S, rc4_state>) return rc4_stream_crypt(&s, d, n, d) == 0;
        },
        state_->chained);
}

} // namespace ckx
