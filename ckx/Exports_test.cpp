// SPDX-License-Identifier: MIT
// The C interface: what is offered, the status codes, key and IV handling,
// the length rules and the chaining state.
#include "ckx/ckx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const void* const kDefault =
    reinterpret_cast<const void*>(static_cast<std::intptr_t>(CRYPT_UNUSED));

Bytes sample(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return b;
}

// A context destroyed at the end of the test.
struct Context {
    CRYPT_CONTEXT c = 0;
    Context(CRYPT_ALGO algo, CRYPT_MODE mode) {
        EXPECT_EQ(cryptCreateContextEx(&c, algo, mode, kDefault), CRYPT_OK);
    }
    Context(CRYPT_ALGO algo, CRYPT_MODE mode, const Bytes& key, const Bytes& iv = {})
        : Context(algo, mode) {
        EXPECT_EQ(cryptLoadContext(c, key.data(), static_cast<int>(key.size())), CRYPT_OK);
        if (!iv.empty()) {
            EXPECT_EQ(cryptLoadIV(c, iv.data(), static_cast<int>(iv.size())), CRYPT_OK);
        }
    }
    ~Context() {
        if (c) cryptDestroyContext(c);
    }
    Bytes encrypt(Bytes data) {
        EXPECT_EQ(cryptEncrypt(c, data.data(), static_cast<int>(data.size())), CRYPT_OK);
        return data;
    }
    Bytes decrypt(Bytes data) {
        EXPECT_EQ(cryptDecrypt(c, data.data(), static_cast<int>(data.size())), CRYPT_OK);
        return data;
    }
};

const CRYPT_ALGO kBlockCiphers[] = {CRYPT_ALGO_DES, CRYPT_ALGO_3DES, CRYPT_ALGO_RC2,
                                    CRYPT_ALGO_SAFER, CRYPT_ALGO_BLOWFISH};
// A key every block cipher takes: DES stops at 8 bytes, 3DES needs more.
Bytes keyFor(CRYPT_ALGO algo) {
    return sample(algo == CRYPT_ALGO_DES ? 8 : 16);
}

const CRYPT_MODE kBlockModes[] = {CRYPT_MODE_ECB, CRYPT_MODE_CBC, CRYPT_MODE_CFB, CRYPT_MODE_OFB,
                                  CRYPT_MODE_PCBC};

TEST(CkxAvailability, AlgorithmsAndModes) {
    for (CRYPT_ALGO algo : {1, 2, 5, 6, 8, 9})
        EXPECT_EQ(cryptAlgoAvailable(algo), CRYPT_OK) << algo;
    for (CRYPT_ALGO algo : {0, 3, 4, 7, 10, 11, 100, 101, 200, -2})
        EXPECT_EQ(cryptAlgoAvailable(algo), CRYPT_NOALGO) << algo;

    for (CRYPT_ALGO algo : kBlockCiphers) {
        for (CRYPT_MODE mode : kBlockModes)
            EXPECT_EQ(cryptModeAvailable(algo, mode), CRYPT_OK) << algo << "/" << mode;
        for (CRYPT_MODE mode :
             {CRYPT_MODE_NONE, CRYPT_MODE_STREAM, CRYPT_MODE_COUNTER, CRYPT_MODE_PKC})
            EXPECT_EQ(cryptModeAvailable(algo, mode), CRYPT_NOMODE) << algo << "/" << mode;
    }
    EXPECT_EQ(cryptModeAvailable(CRYPT_ALGO_RC4, CRYPT_MODE_STREAM), CRYPT_OK);
    for (CRYPT_MODE mode : kBlockModes)
        EXPECT_EQ(cryptModeAvailable(CRYPT_ALGO_RC4, mode), CRYPT_NOMODE) << mode;
    EXPECT_EQ(cryptModeAvailable(CRYPT_ALGO_IDEA, CRYPT_MODE_ECB), CRYPT_NOALGO);
}

TEST(CkxQuery, SizesPerAlgorithmAndMode) {
    struct Case {
        CRYPT_ALGO algo;
        CRYPT_MODE mode;
        int block, minKey, key, maxKey, minIv, iv, maxIv;
    } cases[] = {
        {CRYPT_ALGO_DES, CRYPT_MODE_ECB, 8, 5, 8, 8, 0, 0, 0},
        {CRYPT_ALGO_DES, CRYPT_MODE_CBC, 8, 5, 8, 8, 4, 8, 8},
        {CRYPT_ALGO_DES, CRYPT_MODE_CFB, 1, 5, 8, 8, 4, 8, 8},
        {CRYPT_ALGO_3DES, CRYPT_MODE_OFB, 8, 5, 16, 24, 4, 8, 8},
        {CRYPT_ALGO_RC2, CRYPT_MODE_PCBC, 8, 5, 16, 128, 4, 8, 8},
        {CRYPT_ALGO_RC4, CRYPT_MODE_STREAM, 1, 5, 16, 256, 0, 0, 0},
        {CRYPT_ALGO_SAFER, CRYPT_MODE_OFB, 1, 5, 8, 16, 4, 8, 8},
        {CRYPT_ALGO_BLOWFISH, CRYPT_MODE_ECB, 8, 5, 16, 256, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.algo) + "/" + std::to_string(c.mode));
        CRYPT_QUERY_INFO info;
        std::memset(&info, 0xAA, sizeof info);
        ASSERT_EQ(cryptQueryAlgoMode(c.algo, c.mode, &info), CRYPT_OK);
        EXPECT_EQ(info.cryptAlgo, c.algo);
        EXPECT_EQ(info.cryptMode, c.mode);
        EXPECT_NE(info.algoName, nullptr);
        EXPECT_NE(info.modeName, nullptr);
        EXPECT_EQ(info.blockSize, c.block);
        EXPECT_EQ(info.minKeySize, c.minKey);
        EXPECT_EQ(info.keySize, c.key);
        EXPECT_EQ(info.maxKeySize, c.maxKey);
        EXPECT_EQ(info.minIVsize, c.minIv);
        EXPECT_EQ(info.ivSize, c.iv);
        EXPECT_EQ(info.maxIVsize, c.maxIv);
        EXPECT_EQ(info.keyIDsize, 0);
    }
    CRYPT_QUERY_INFO info;
    EXPECT_EQ(cryptQueryAlgoMode(CRYPT_ALGO_DES, CRYPT_MODE_PKC, &info), CRYPT_NOMODE);
    EXPECT_EQ(cryptQueryAlgoMode(CRYPT_ALGO_RC5, CRYPT_MODE_ECB, &info), CRYPT_NOALGO);
    EXPECT_EQ(cryptQueryAlgoMode(CRYPT_ALGO_DES, CRYPT_MODE_ECB, nullptr), CRYPT_BADPARM3);
}

TEST(CkxContext, CreationArguments) {
    CRYPT_CONTEXT c = 123;
    EXPECT_EQ(cryptCreateContextEx(nullptr, CRYPT_ALGO_DES, CRYPT_MODE_ECB, kDefault),
              CRYPT_BADPARM1);
    EXPECT_EQ(cryptCreateContextEx(&c, CRYPT_ALGO_IDEA, CRYPT_MODE_ECB, kDefault), CRYPT_NOALGO);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(cryptCreateContextEx(&c, CRYPT_ALGO_DES, CRYPT_MODE_PKC, kDefault), CRYPT_NOMODE);
    EXPECT_EQ(cryptCreateContextEx(&c, CRYPT_ALGO_DES, CRYPT_MODE_ECB, nullptr), CRYPT_BADPARM4);
    EXPECT_EQ(c, 0);
    ASSERT_EQ(cryptCreateContext(&c, CRYPT_ALGO_DES, CRYPT_MODE_ECB), CRYPT_OK);
    EXPECT_NE(c, 0);
    CRYPT_CONTEXT other = 0;
    ASSERT_EQ(cryptCreateContext(&other, CRYPT_ALGO_DES, CRYPT_MODE_ECB), CRYPT_OK);
    EXPECT_NE(other, c);
    EXPECT_EQ(cryptDestroyContext(c), CRYPT_OK);
    EXPECT_EQ(cryptDestroyContext(other), CRYPT_OK);

    // An ended context is gone for every function.
    std::uint8_t data[8] = {};
    EXPECT_EQ(cryptDestroyContext(c), CRYPT_BADPARM1);
    EXPECT_EQ(cryptLoadContext(c, "12345678", 8), CRYPT_BADPARM1);
    EXPECT_EQ(cryptLoadIV(c, "12345678", 8), CRYPT_BADPARM1);
    EXPECT_EQ(cryptEncrypt(c, data, 8), CRYPT_BADPARM1);
    EXPECT_EQ(cryptDecrypt(c, data, 8), CRYPT_BADPARM1);
    EXPECT_EQ(cryptDestroyContext(0), CRYPT_BADPARM1);
}

TEST(CkxContext, BadArguments) {
    Context ctx(CRYPT_ALGO_BLOWFISH, CRYPT_MODE_CBC);
    std::uint8_t data[16] = {};
    EXPECT_EQ(cryptLoadContext(ctx.c, nullptr, 8), CRYPT_BADPARM2);
    EXPECT_EQ(cryptLoadContext(ctx.c, "12345678", -1), CRYPT_BADPARM3);
    EXPECT_EQ(cryptLoadIV(ctx.c, nullptr, 8), CRYPT_BADPARM2);
    EXPECT_EQ(cryptLoadIV(ctx.c, "12345678", -1), CRYPT_BADPARM3);
    EXPECT_EQ(cryptEncrypt(ctx.c, data, 8), CRYPT_NOKEY);
    EXPECT_EQ(cryptDecrypt(ctx.c, data, 8), CRYPT_NOKEY);
    ASSERT_EQ(cryptLoadContext(ctx.c, "12345678", 8), CRYPT_OK);
    // An IV mode without an IV: the chaining value would be unknowable.
    EXPECT_EQ(cryptEncrypt(ctx.c, data, 8), CRYPT_NOIV);
    EXPECT_EQ(cryptDecrypt(ctx.c, data, 8), CRYPT_NOIV);
    ASSERT_EQ(cryptLoadIV(ctx.c, "abcdefgh", 8), CRYPT_OK);
    EXPECT_EQ(cryptEncrypt(ctx.c, nullptr, 8), CRYPT_BADPARM2);
    EXPECT_EQ(cryptEncrypt(ctx.c, data, -8), CRYPT_BADPARM3);
    EXPECT_EQ(cryptEncrypt(ctx.c, data, 0), CRYPT_OK);
    EXPECT_EQ(cryptEncrypt(ctx.c, data, 16), CRYPT_OK);
}

TEST(CkxKeys, LengthsAndRefusals) {
    struct Case {
        CRYPT_ALGO algo;
        std::string key;
        int expected;
    } cases[] = {
        {CRYPT_ALGO_DES, "1234", CRYPT_BADPARM3},
        {CRYPT_ALGO_DES, "12345", CRYPT_OK},
        {CRYPT_ALGO_DES, "123456789", CRYPT_BADPARM3},
        {CRYPT_ALGO_DES, std::string(8, '\x01'), CRYPT_BADPARM},             // weak
        {CRYPT_ALGO_DES, std::string(8, '\0'), CRYPT_BADPARM},               // weak after parity
        {CRYPT_ALGO_DES, "\x01\x01\x01\x01", CRYPT_BADPARM3},                // too short anyway
        {CRYPT_ALGO_DES, "\xE0\x01\xE0\x01\xF1\x01\xF1\x01", CRYPT_BADPARM}, // semi-weak
        // Only the first four bytes of a weak key: not weak.
        {CRYPT_ALGO_DES,
         "\x01\x01\x01\x01"
         "5678",
         CRYPT_OK},
        {CRYPT_ALGO_3DES, "12345678", CRYPT_BADPARM}, // K2 all zero
        {CRYPT_ALGO_3DES, "12345", CRYPT_BADPARM},
        {CRYPT_ALGO_3DES, "123456789", CRYPT_OK},
        {CRYPT_ALGO_3DES, "1234567890123456", CRYPT_OK},
        {CRYPT_ALGO_3DES, "12345678901234567", CRYPT_BADPARM3}, // two-key only
        {CRYPT_ALGO_3DES, std::string("12345678") + std::string(8, '\xFE'), CRYPT_BADPARM},
        {CRYPT_ALGO_RC2, "1234", CRYPT_BADPARM3},
        {CRYPT_ALGO_RC2, std::string(128, 'r'), CRYPT_OK},
        {CRYPT_ALGO_RC2, std::string(129, 'r'), CRYPT_BADPARM3},
        {CRYPT_ALGO_SAFER, "12345", CRYPT_OK},
        {CRYPT_ALGO_SAFER, std::string(16, 's'), CRYPT_OK},
        {CRYPT_ALGO_SAFER, std::string(17, 's'), CRYPT_BADPARM3},
        {CRYPT_ALGO_BLOWFISH, "12345", CRYPT_OK},
        {CRYPT_ALGO_BLOWFISH, std::string(56, 'b'), CRYPT_OK},
        {CRYPT_ALGO_BLOWFISH, std::string(57, 'b'), CRYPT_BADPARM3},
        {CRYPT_ALGO_BLOWFISH, std::string(256, 'b'), CRYPT_BADPARM3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.algo) + " key of " + std::to_string(c.key.size()));
        Context ctx(c.algo, CRYPT_MODE_ECB);
        EXPECT_EQ(cryptLoadContext(ctx.c, c.key.data(), static_cast<int>(c.key.size())),
                  c.expected);
    }
    Context rc4(CRYPT_ALGO_RC4, CRYPT_MODE_STREAM);
    EXPECT_EQ(cryptLoadContext(rc4.c, std::string(256, 'x').data(), 256), CRYPT_OK);
    EXPECT_EQ(cryptLoadContext(rc4.c, std::string(257, 'x').data(), 257), CRYPT_BADPARM3);
}

// A short key is completed as the algorithm defines: the short and the
// completed key give the same cipher text.
TEST(CkxKeys, ShortKeysAreCompleted) {
    struct Case {
        CRYPT_ALGO algo;
        std::string shortKey, completed;
    } cases[] = {
        {CRYPT_ALGO_DES, "12345", std::string("12345\0\0\0", 8)},
        {CRYPT_ALGO_3DES, "0123456789", std::string("0123456789\0\0\0\0\0\0", 16)},
        {CRYPT_ALGO_SAFER, "12345", std::string("12345\0\0\0", 8)},
        {CRYPT_ALGO_SAFER, "0123456789", std::string("0123456789\0\0\0\0\0\0", 16)},
        {CRYPT_ALGO_BLOWFISH, "12345", "1234512345"},
        {CRYPT_ALGO_BLOWFISH, "1234567", "12345671234567"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.algo) + " " + c.shortKey);
        const Bytes shortKey(c.shortKey.begin(), c.shortKey.end());
        const Bytes completed(c.completed.begin(), c.completed.end());
        Context a(c.algo, CRYPT_MODE_ECB, shortKey), b(c.algo, CRYPT_MODE_ECB, completed);
        EXPECT_EQ(a.encrypt(sample(16)), b.encrypt(sample(16)));
    }
    // A 3DES key of 16 bytes is K1 K2 with K3 = K1: DES(K1) E, D with K2, E with K1.
    const std::string k1 = "K1-bytes", k2 = "k2 BYTES";
    Context tdes(CRYPT_ALGO_3DES, CRYPT_MODE_ECB, [&] {
        std::string k = k1 + k2;
        return Bytes(k.begin(), k.end());
    }());
    Context e1(CRYPT_ALGO_DES, CRYPT_MODE_ECB, Bytes(k1.begin(), k1.end()));
    Context d2(CRYPT_ALGO_DES, CRYPT_MODE_ECB, Bytes(k2.begin(), k2.end()));
    EXPECT_EQ(tdes.encrypt(sample(8)), e1.encrypt(d2.decrypt(e1.encrypt(sample(8)))));
}

TEST(CkxIv, LengthsAndZeroPadding) {
    struct Case {
        CRYPT_ALGO algo;
        CRYPT_MODE mode;
        int length;
        int expected;
    } cases[] = {
        {CRYPT_ALGO_DES, CRYPT_MODE_CBC, 3, CRYPT_BADPARM3},
        {CRYPT_ALGO_DES, CRYPT_MODE_CBC, 4, CRYPT_OK},
        {CRYPT_ALGO_DES, CRYPT_MODE_CFB, 8, CRYPT_OK},
        {CRYPT_ALGO_DES, CRYPT_MODE_OFB, 9, CRYPT_BADPARM3},
        {CRYPT_ALGO_DES, CRYPT_MODE_ECB, 8, CRYPT_BADPARM3},
        {CRYPT_ALGO_DES, CRYPT_MODE_ECB, 0, CRYPT_NOTAVAIL},
        {CRYPT_ALGO_RC4, CRYPT_MODE_STREAM, 8, CRYPT_BADPARM3},
        {CRYPT_ALGO_RC4, CRYPT_MODE_STREAM, 0, CRYPT_NOTAVAIL},
    };
    for (const Case& c : cases) {
        Context ctx(c.algo, c.mode);
        EXPECT_EQ(cryptLoadIV(ctx.c, "123456789", c.length), c.expected)
            << c.algo << "/" << c.mode << " " << c.length;
    }
    const Bytes key = {'k', 'e', 'y', 'b', 'y', 't', 'e', 's'};
    for (CRYPT_MODE mode : {CRYPT_MODE_CBC, CRYPT_MODE_CFB, CRYPT_MODE_OFB, CRYPT_MODE_PCBC}) {
        Context shortIv(CRYPT_ALGO_DES, mode, key, {1, 2, 3, 4, 5});
        Context padded(CRYPT_ALGO_DES, mode, key, {1, 2, 3, 4, 5, 0, 0, 0});
        EXPECT_EQ(shortIv.encrypt(sample(24)), padded.encrypt(sample(24))) << mode;
    }
}

TEST(CkxIv, LoadingRestartsTheChain) {
    const Bytes key = sample(16), iv = {9, 8, 7, 6, 5, 4, 3, 2};
    for (CRYPT_MODE mode : {CRYPT_MODE_CBC, CRYPT_MODE_CFB, CRYPT_MODE_OFB, CRYPT_MODE_PCBC}) {
        // The IV may come before or after the key.
        Context ivFirst(CRYPT_ALGO_BLOWFISH, mode);
        ASSERT_EQ(cryptLoadIV(ivFirst.c, iv.data(), 8), CRYPT_OK);
        ASSERT_EQ(cryptLoadContext(ivFirst.c, key.data(), 16), CRYPT_OK);
        Context keyFirst(CRYPT_ALGO_BLOWFISH, mode, key, iv);
        const Bytes once = keyFirst.encrypt(sample(16));
        EXPECT_EQ(ivFirst.encrypt(sample(16)), once) << mode;
        ASSERT_EQ(cryptLoadIV(keyFirst.c, iv.data(), 8), CRYPT_OK);
        EXPECT_EQ(keyFirst.encrypt(sample(16)), once) << mode;
    }
}

TEST(CkxLengths, WholeBlocksOnlyWhereTheModeNeedsThem) {
    const Bytes iv = sample(8);
    for (CRYPT_ALGO algo : kBlockCiphers) {
        const Bytes key = keyFor(algo);
        for (CRYPT_MODE mode : kBlockModes) {
            SCOPED_TRACE(std::to_string(algo) + "/" + std::to_string(mode));
            Context ctx(algo, mode, key, mode == CRYPT_MODE_ECB ? Bytes{} : iv);
            Bytes data = sample(13);
            const bool wholeOnly =
                mode == CRYPT_MODE_ECB || mode == CRYPT_MODE_CBC || mode == CRYPT_MODE_PCBC;
            EXPECT_EQ(cryptEncrypt(ctx.c, data.data(), 13), wholeOnly ? CRYPT_BADPARM3 : CRYPT_OK);
            EXPECT_EQ(cryptDecrypt(ctx.c, data.data(), 13), wholeOnly ? CRYPT_BADPARM3 : CRYPT_OK);
        }
    }
}

// Split calls continue where the last one stopped: the same as one call.
TEST(CkxChaining, StateIsKeptAcrossCalls) {
    const Bytes iv = sample(8);
    for (CRYPT_ALGO algo : kBlockCiphers) {
        const Bytes key = keyFor(algo);
        for (CRYPT_MODE mode : kBlockModes) {
            SCOPED_TRACE(std::to_string(algo) + "/" + std::to_string(mode));
            const bool wholeOnly =
                mode == CRYPT_MODE_ECB || mode == CRYPT_MODE_CBC || mode == CRYPT_MODE_PCBC;
            const std::size_t first = wholeOnly ? 16 : 13;
            const Bytes& useIv = mode == CRYPT_MODE_ECB ? Bytes{} : iv;
            Context whole(algo, mode, key, useIv), split(algo, mode, key, useIv);
            Bytes data = sample(40), expected = whole.encrypt(data);
            ASSERT_EQ(cryptEncrypt(split.c, data.data(), static_cast<int>(first)), CRYPT_OK);
            ASSERT_EQ(cryptEncrypt(split.c, data.data() + first, static_cast<int>(40 - first)),
                      CRYPT_OK);
            EXPECT_EQ(data, expected);

            Context back(algo, mode, key, useIv);
            ASSERT_EQ(cryptDecrypt(back.c, data.data(), static_cast<int>(first)), CRYPT_OK);
            ASSERT_EQ(cryptDecrypt(back.c, data.data() + first, static_cast<int>(40 - first)),
                      CRYPT_OK);
            EXPECT_EQ(data, sample(40));
        }
    }
    const Bytes rc4Key = sample(7);
    Context whole(CRYPT_ALGO_RC4, CRYPT_MODE_STREAM, rc4Key),
        split(CRYPT_ALGO_RC4, CRYPT_MODE_STREAM, rc4Key);
    Bytes data = sample(37), expected = whole.encrypt(data);
    ASSERT_EQ(cryptEncrypt(split.c, data.data(), 5), CRYPT_OK);
    ASSERT_EQ(cryptEncrypt(split.c, data.data() + 5, 32), CRYPT_OK);
    EXPECT_EQ(data, expected);
}

TEST(CkxRoundTrip, EveryCipherAndMode) {
    for (CRYPT_ALGO algo : kBlockCiphers) {
        for (CRYPT_MODE mode : kBlockModes) {
            for (std::size_t keyLength : {5u, 8u, 12u, 16u}) {
                SCOPED_TRACE(std::to_string(algo) + "/" + std::to_string(mode) + " key " +
                             std::to_string(keyLength));
                if (algo == CRYPT_ALGO_DES && keyLength > 8) continue;
                if (algo == CRYPT_ALGO_3DES && keyLength <= 8) continue; // weak K2
                const Bytes key = sample(keyLength), iv = sample(8);
                const Bytes& useIv = mode == CRYPT_MODE_ECB ? Bytes{} : iv;
                Context enc(algo, mode, key, useIv), dec(algo, mode, key, useIv);
                const Bytes plain = sample(48), cipher = enc.encrypt(plain);
                EXPECT_NE(cipher, plain);
                EXPECT_EQ(dec.decrypt(cipher), plain);
            }
        }
    }
    Context enc(CRYPT_ALGO_RC4, CRYPT_MODE_STREAM, sample(5)),
        dec(CRYPT_ALGO_RC4, CRYPT_MODE_STREAM, sample(5));
    const Bytes plain = sample(37), cipher = enc.encrypt(plain);
    EXPECT_NE(cipher, plain);
    EXPECT_EQ(dec.decrypt(cipher), plain);
}

} // namespace
