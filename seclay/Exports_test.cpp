// SPDX-License-Identifier: MIT
// The exported interface, exercised through its C header only.
#include "seclay/seclay.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace {

using Bytes = std::vector<unsigned char>;

// A session that is destroyed at the end of the test.
struct Session {
    SeclayHandle h = 0;
    ~Session() {
        if (h) SeclayDestroy(h);
    }
};

// The text with its terminator, then filler that shows writes past it.
Bytes textBytes(const std::string& s, std::size_t room) {
    Bytes b(room, 0xEE);
    std::memcpy(b.data(), s.c_str(), s.size() + 1);
    return b;
}

Bytes sample(std::size_t n, std::size_t room) {
    Bytes b(room, 0xEE);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<unsigned char>('a' + i % 26);
    return b;
}

// --- handles ---------------------------------------------------------------

struct HandleCall {
    const char* name;
    std::function<int32_t(SeclayHandle)> call;
};

std::vector<HandleCall> handleCalls() {
    static unsigned char buf[64] = "0011223344556677";
    static uint32_t size = 13;
    return {
        {"KeyIv", [](SeclayHandle h) { return SeclayKeyIv(h, "12345678", ""); }},
        {"KeyIvE", [](SeclayHandle h) { return SeclayKeyIvE(h, "12345678", ""); }},
        {"Clear", [](SeclayHandle h) { return SeclayClear(h); }},
        {"Encrypt", [](SeclayHandle h) { return SeclayEncrypt(h, buf, 8); }},
        {"Decrypt", [](SeclayHandle h) { return SeclayDecrypt(h, buf, 8); }},
        {"EncryptE", [](SeclayHandle h) { return SeclayEncryptE(h, buf, 8); }},
        {"DecryptE", [](SeclayHandle h) { return SeclayDecryptE(h, buf, 8); }},
        {"EncryptEHex", [](SeclayHandle h) { return SeclayEncryptEHex(h, buf, 8); }},
        {"DecryptEHex", [](SeclayHandle h) { return SeclayDecryptEHex(h, buf, 0); }},
        {"EncryptEBCD", [](SeclayHandle h) { return SeclayEncryptEBCD(h, buf, 8); }},
        {"DecryptEBCD", [](SeclayHandle h) { return SeclayDecryptEBCD(h, buf, 0); }},
        {"Q", [](SeclayHandle h) { return SeclayQ(h, buf, 8); }},
        {"V", [](SeclayHandle h) { return SeclayV(h, buf, 0); }},
        {"TestSize", [](SeclayHandle h) { return SeclayTestSize(h, 16); }},
        {"SetUpSize", [](SeclayHandle h) { return SeclaySetUpSize(h, &size); }},
        {"Destroy", [](SeclayHandle h) { return SeclayDestroy(h); }},
    };
}

TEST(SeclayHandles, ZeroHandleGives97AndDeadHandleGives4) {
    Session dead;
    ASSERT_EQ(SeclayAlgoModeE(&dead.h, 2, 1), SECLAY_OK);
    const SeclayHandle stale = dead.h;
    ASSERT_EQ(SeclayDestroy(dead.h), SECLAY_OK);
    dead.h = 0;
    for (const HandleCall& c : handleCalls()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(0), SECLAY_NULL_HANDLE);
        EXPECT_EQ(c.call(stale), SECLAY_BAD_HANDLE);
        EXPECT_EQ(c.call(0xDEADBEEF), SECLAY_BAD_HANDLE);
    }
    // The handle-variable functions: a dead handle in the variable.
    SeclayHandle var = stale;
    EXPECT_EQ(SeclayAlgoMode(&var, 2, 1), SECLAY_BAD_HANDLE);
    EXPECT_EQ(SeclayAlgoModeE(&var, 2, 1), SECLAY_BAD_HANDLE);
    char text[12];
    EXPECT_EQ(SeclayY(&var, 2, 1, text), SECLAY_FAIL);
    EXPECT_EQ(SeclayX(&var), SECLAY_FAIL);
    SeclayHandle zero = 0;
    EXPECT_EQ(SeclayX(&zero), SECLAY_NULL_HANDLE);
}

TEST(SeclayHandles, NewSessionsGetDistinctNonZeroHandles) {
    Session a, b, c;
    ASSERT_EQ(SeclayAlgoMode(&a.h, 0, 0), SECLAY_OK);
    ASSERT_EQ(SeclayAlgoModeE(&b.h, 0, 0), SECLAY_OK);
    ASSERT_EQ(SeclayAlgoMode(&c.h, 2, 1), SECLAY_OK);
    EXPECT_NE(a.h, 0u);
    EXPECT_NE(a.h, b.h);
    EXPECT_NE(b.h, c.h);
    EXPECT_NE(a.h, c.h);
    // A destroyed handle is not handed out again at once.
    const SeclayHandle old = b.h;
    ASSERT_EQ(SeclayDestroy(b.h), SECLAY_OK);
    b.h = 0;
    ASSERT_EQ(SeclayAlgoModeE(&b.h, 0, 0), SECLAY_OK);
    EXPECT_NE(b.h, old);
}

TEST(SeclayHandles, NullArgumentsGetResultCodes) {
    EXPECT_EQ(SeclayAlgoMode(nullptr, 2, 1), SECLAY_NULL_HANDLE);
    EXPECT_EQ(SeclayAlgoModeE(nullptr, 2, 1), SECLAY_NULL_HANDLE);
    EXPECT_EQ(SeclayX(nullptr), SECLAY_FAIL);
    SeclayHandle none = 0;
    EXPECT_EQ(SeclayY(&none, 2, 1, nullptr), SECLAY_FAIL);
    EXPECT_EQ(none, 0u); // nothing was created
    EXPECT_EQ(SeclayZ(0, 0, 0, nullptr), SECLAY_FAIL);

    Session s;
    ASSERT_EQ(SeclayAlgoMode(&s.h, 2, 2), SECLAY_OK);
    EXPECT_EQ(SeclayKeyIv(s.h, nullptr, "12345678"), SECLAY_KEY_TOO_SHORT);
    EXPECT_EQ(SeclayKeyIv(s.h, "12345678", nullptr), SECLAY_IV_TOO_SHORT);
    ASSERT_EQ(SeclayKeyIv(s.h, "12345678", "abcdefgh"), SECLAY_OK);
    EXPECT_EQ(SeclayEncrypt(s.h, nullptr, 8), SECLAY_ENCRYPT_FAILED);
    EXPECT_EQ(SeclayDecrypt(s.h, nullptr, 8), SECLAY_DECRYPT_FAILED);
    EXPECT_EQ(SeclayEncryptE(s.h, nullptr, 8), SECLAY_ENCRYPT_FAILED);
    EXPECT_EQ(SeclayDecryptE(s.h, nullptr, 8), SECLAY_DECRYPT_FAILED);
    EXPECT_EQ(SeclayEncryptEHex(s.h, nullptr, 8), SECLAY_ENCRYPT_FAILED);
    EXPECT_EQ(SeclayDecryptEHex(s.h, nullptr, 0), SECLAY_ODD_HEX);
    EXPECT_EQ(SeclayEncryptEBCD(s.h, nullptr, 8), SECLAY_FAIL);
    EXPECT_EQ(SeclayDecryptEBCD(s.h, nullptr, 0), SECLAY_FAIL);
    EXPECT_EQ(SeclaySetUpSize(s.h, nullptr), SECLAY_BAD_SIZE);
}

// --- algorithm and mode codes ----------------------------------------------

TEST(SeclayAlgoMode, RefusedAlgorithmStillLeavesALiveSession) {
    for (int32_t algo : {9, 1, -1, 100}) {
        SeclayHandle h = 0;
        EXPECT_EQ(SeclayAlgoMode(&h, algo, 1), SECLAY_BAD_ALGO) << algo;
        ASSERT_NE(h, 0u);
        EXPECT_EQ(SeclayDestroy(h), SECLAY_OK);
    }
}

TEST(SeclayAlgoMode, CodeTable) {
    struct Case {
        int32_t algo, mode, expected;
    } cases[] = {
        {0, 0, SECLAY_OK},       {0, 99, SECLAY_OK},      {0, -5, SECLAY_OK},
        {2, 1, SECLAY_OK},       {3, 2, SECLAY_OK},       {4, 3, SECLAY_OK},
        {5, 4, SECLAY_OK},       {7, 5, SECLAY_OK},       {8, 1, SECLAY_OK},
        {3, 7, SECLAY_BAD_MODE}, {2, 0, SECLAY_BAD_MODE}, {2, 6, SECLAY_BAD_MODE},
        {6, 1, SECLAY_BAD_MODE}, {6, 4, SECLAY_BAD_MODE}, {1, 1, SECLAY_BAD_ALGO},
        {9, 1, SECLAY_BAD_ALGO},
    };
    for (const Case& c : cases) {
        for (auto fn : {SeclayAlgoMode, SeclayAlgoModeE}) {
            Session s;
            EXPECT_EQ(fn(&s.h, c.algo, c.mode), c.expected) << c.algo << "/" << c.mode;
        }
    }
}

TEST(SeclayAlgoMode, OpenMainContextKeepsItsCodesUntilCleared) {
    Session s;
    ASSERT_EQ(SeclayAlgoMode(&s.h, 2, 1), SECLAY_OK); // DES: keys of 5..8
    EXPECT_EQ(SeclayAlgoMode(&s.h, 8, 1), SECLAY_OK); // Blowfish ignored
    EXPECT_EQ(SeclayKeyIv(s.h, "0123456789ABCDEF", ""), SECLAY_KEY_TOO_LONG);
    ASSERT_EQ(SeclayClear(s.h), SECLAY_OK);
    EXPECT_EQ(SeclayAlgoMode(&s.h, 8, 1), SECLAY_OK);
    EXPECT_EQ(SeclayKeyIv(s.h, "0123456789ABCDEF", ""), SECLAY_OK);
}

TEST(SeclayAlgoMode, AlgoModeEChangesCodesEvenWithAnOpenContext) {
    Session s;
    ASSERT_EQ(SeclayAlgoMode(&s.h, 2, 1), SECLAY_OK);
    ASSERT_EQ(SeclayAlgoModeE(&s.h, 8, 1), SECLAY_OK);
    EXPECT_EQ(SeclayKeyIvE(s.h, "0123456789ABCDEF", ""), SECLAY_OK);
}

// --- key and IV ------------------------------------------------------------

TEST(SeclayKeyIv, KeySizeLimitsPerAlgorithm) {
    struct Case {
        int32_t algo;
        std::size_t minKey, maxKey;
    } cases[] = {{2, 5, 8}, {3, 5, 24}, {4, 5, 24}, {5, 5, 128}, {7, 5, 16}, {8, 5, 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.algo);
        Session s;
        ASSERT_EQ(SeclayAlgoModeE(&s.h, c.algo, 1), SECLAY_OK);
        EXPECT_EQ(SeclayKeyIvE(s.h, std::string(c.minKey - 1, 'k').c_str(), ""),
                  SECLAY_KEY_TOO_SHORT);
        EXPECT_EQ(SeclayKeyIvE(s.h, std::string(c.maxKey + 1, 'k').c_str(), ""),
                  SECLAY_KEY_TOO_LONG);
        EXPECT_EQ(SeclayKeyIvE(s.h, std::string(c.minKey, 'k').c_str(), ""), SECLAY_OK);
        EXPECT_EQ(SeclayKeyIvE(s.h, std::string(c.maxKey, 'k').c_str(), ""), SECLAY_OK);
    }
}

TEST(SeclayKeyIv, IvSizeLimits) {
    struct Case {
        int32_t mode;
        const char* iv;
        int32_t expected;
    } cases[] = {
        {1, "", SECLAY_OK},
        {1, "a", SECLAY_IV_TOO_LONG},
        {2, "abc", SECLAY_IV_TOO_SHORT},
        {2, "abcd", SECLAY_OK},
        {2, "abcdefgh", SECLAY_OK},
        {2, "abcdefghi", SECLAY_IV_TOO_LONG},
        {3, "", SECLAY_IV_TOO_SHORT},
        {4, "abcdefgh", SECLAY_OK},
        {5, "abcdefgh", SECLAY_OK},
    };
    for (const Case& c : cases) {
        Session s;
        ASSERT_EQ(SeclayAlgoMode(&s.h, 8, c.mode), SECLAY_OK);
        EXPECT_EQ(SeclayKeyIv(s.h, "blowfishkey", c.iv), c.expected) << c.mode << " " << c.iv;
    }
}

TEST(SeclayKeyIv, RefusedKeyKeepsTheStoredOne) {
    Session s;
    ASSERT_EQ(SeclayAlgoModeE(&s.h, 8, 1), SECLAY_OK);
    ASSERT_EQ(SeclayKeyIvE(s.h, "12345678", ""), SECLAY_OK);
    EXPECT_EQ(SeclayKeyIvE(s.h, "1234", ""), SECLAY_KEY_TOO_SHORT);
    uint32_t size = 13;
    EXPECT_EQ(SeclaySetUpSize(s.h, &size), SECLAY_OK);
    EXPECT_EQ(size, 16u); // still the 8-byte key
}

TEST(SeclayKeyIv, LibraryRefusalsOfTheKey) {
    struct Case {
        int32_t algo;
        std::string key;
        int32_t expected;
    } cases[] = {
        {2, "\x01\x01\x01\x01\x01\x01\x01\x01", SECLAY_WEAK_KEY}, // weak DES key
        {2, "\x1F\x1F\x1F\x1F\x0E\x0E\x0E\x0E", SECLAY_WEAK_KEY},
        {2, "\x01\xFE\x01\xFE\x01\xFE\x01\xFE", SECLAY_WEAK_KEY}, // semi-weak
        {3, "8bytekey", SECLAY_WEAK_KEY}, // two-key 3DES: second half all zero
        {4, "12345", SECLAY_WEAK_KEY},
        {3, "twentyfourbytekey3des!!!", SECLAY_KEY_LOAD_FAILED}, // three keys not taken
        {3, "seventeen bytes!!", SECLAY_KEY_LOAD_FAILED},
        {3, "sixteen bytes!!!", SECLAY_OK},
        {8, std::string(57, 'b'), SECLAY_KEY_LOAD_FAILED}, // over 448 bits
        {8, std::string(56, 'b'), SECLAY_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.algo) + " " + c.key);
        Session s;
        ASSERT_EQ(SeclayAlgoMode(&s.h, c.algo, 1), SECLAY_OK);
        EXPECT_EQ(SeclayKeyIv(s.h, c.key.c_str(), ""), c.expected);
        Session e;
        ASSERT_EQ(SeclayAlgoModeE(&e.h, c.algo, 1), SECLAY_OK);
        ASSERT_EQ(SeclayKeyIvE(e.h, c.key.c_str(), ""), SECLAY_OK); // only checked against sizes
        Bytes data = sample(16, 64);
        EXPECT_EQ(SeclayEncryptE(e.h, data.data(), 16), c.expected);
    }
}

// --- no cipher -------------------------------------------------------------

TEST(SeclayNoCipher, EveryOperationLeavesTheDataAlone) {
    Session s;
    ASSERT_EQ(SeclayAlgoMode(&s.h, 0, 77), SECLAY_OK);
    EXPECT_EQ(SeclayKeyIv(s.h, "", ""), SECLAY_OK);
    EXPECT_EQ(SeclayKeyIvE(s.h, "x", "y"), SECLAY_OK);
    const Bytes original = textBytes("plain text", 64);
    using Op = int32_t(SECLAY_CALL*)(SeclayHandle, void*, uint32_t);
    for (Op op : {SeclayEncrypt, SeclayDecrypt, SeclayEncryptE, SeclayDecryptE, SeclayEncryptEHex,
                  SeclayDecryptEHex, SeclayEncryptEBCD, SeclayDecryptEBCD, SeclayQ, SeclayV}) {
        Bytes data = original;
        EXPECT_EQ(op(s.h, data.data(), 10), SECLAY_OK);
        EXPECT_EQ(data, original);
    }
    EXPECT_EQ(SeclayTestSize(s.h, 13), SECLAY_OK);
    EXPECT_EQ(SeclayTestSize(s.h, 0), SECLAY_BAD_SIZE);
    uint32_t size = 13;
    EXPECT_EQ(SeclaySetUpSize(s.h, &size), SECLAY_OK);
    EXPECT_EQ(size, 13u);
}

// --- context family --------------------------------------------------------

TEST(SeclayContextFamily, NeedsTheMainContext) {
    Session s;
    ASSERT_EQ(SeclayAlgoModeE(&s.h, 2, 1), SECLAY_OK);
    ASSERT_EQ(SeclayKeyIvE(s.h, "12345678", ""), SECLAY_OK);
    Bytes data = sample(16, 16);
    EXPECT_EQ(SeclayEncrypt(s.h, data.data(), 16), SECLAY_NO_CONTEXT);
    EXPECT_EQ(SeclayDecrypt(s.h, data.data(), 16), SECLAY_NO_CONTEXT);
    EXPECT_EQ(SeclayEncryptE(s.h, data.data(), 16), SECLAY_OK); // the E family works
}

TEST(SeclayContextFamily, LengthsAreUsedAsGiven) {
    Session s;
    ASSERT_EQ(SeclayAlgoMode(&s.h, 2, 1), SECLAY_OK);
    ASSERT_EQ(SeclayKeyIv(s.h, "12345678", ""), SECLAY_OK);
    Bytes data = sample(13, 16);
    EXPECT_EQ(SeclayEncrypt(s.h, data.data(), 13), SECLAY_ENCRYPT_FAILED); // ECB: whole blocks
    EXPECT_EQ(SeclayDecrypt(s.h, data.data(), 13), SECLAY_DECRYPT_FAILED);
}

TEST(SeclayContextFamily, ChainingContinuesAcrossCalls) {
    // Two calls of 8 on one session equal one call of 16 on another: the IV
    // is loaded once and never reloaded between calls.
    Session a, b;
    for (Session* s : {&a, &b}) {
        ASSERT_EQ(SeclayAlgoMode(&s->h, 8, 2), SECLAY_OK);
        ASSERT_EQ(SeclayKeyIv(s->h, "chainingkey", "initvect"), SECLAY_OK);
    }
    Bytes split = sample(16, 16), whole = split;
    ASSERT_EQ(SeclayEncrypt(a.h, split.data(), 8), SECLAY_OK);
    ASSERT_EQ(SeclayEncrypt(a.h, split.data() + 8, 8), SECLAY_OK);
    ASSERT_EQ(SeclayEncrypt(b.h, whole.data(), 16), SECLAY_OK);
    EXPECT_EQ(split, whole);
}

// --- E family: padding -----------------------------------------------------

TEST(SeclayPadding, PaddedToTheKeyLength) {
    struct Case {
        int32_t algo;
        const char* key;
        std::size_t n, padded;
    } cases[] = {
        {2, "8bytekey", 13, 16},
        {2, "8bytekey", 16, 16},
        {2, "8bytekey", 1, 8},
        {8, "a twenty-four-byte key!!", 30, 48}, // the unit is the key, not the block
        {8, "a twenty-four-byte key!!", 48, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " with " + c.key);
        Session s;
        ASSERT_EQ(SeclayAlgoModeE(&s.h, c.algo, 1), SECLAY_OK);
        ASSERT_EQ(SeclayKeyIvE(s.h, c.key, ""), SECLAY_OK);
        const Bytes original = sample(c.n, c.padded + 8);
        Bytes data = original;
        ASSERT_EQ(SeclayEncryptE(s.h, data.data(), static_cast<uint32_t>(c.n)), SECLAY_OK);
        // Nothing written past the padded length.
        EXPECT_TRUE(std::equal(data.begin() + c.padded, data.end(), original.begin() + c.padded));
        ASSERT_EQ(SeclayDecryptE(s.h, data.data(), static_cast<uint32_t>(c.padded)), SECLAY_OK);
        Bytes expected = original;
        if (c.padded > c.n) {
            expected[c.n] = 0x80;
            std::fill(expected.begin() + c.n + 1, expected.begin() + c.padded, 0);
        }
        EXPECT_EQ(data, expected); // the marker stays after whole-unit decryption
    }
}

TEST(SeclayPadding, LengthZeroMeansTheText) {
    Session s;
    ASSERT_EQ(SeclayAlgoModeE(&s.h, 2, 1), SECLAY_OK);
    ASSERT_EQ(SeclayKeyIvE(s.h, "8bytekey", ""), SECLAY_OK);
    Bytes data = textBytes("abc", 24);
    data[3] = 0;
    const Bytes original = data;
    ASSERT_EQ(SeclayEncryptE(s.h, data.data(), 0), SECLAY_OK);
    EXPECT_TRUE(std::equal(data.begin() + 8, data.end(), original.begin() + 8));
    ASSERT_EQ(SeclayDecryptE(s.h, data.data(), 8), SECLAY_OK);
    EXPECT_EQ(0, std::memcmp(data.data(), "abc\x80\0\0\0\0", 8));
}

TEST(SeclayPadding, EqualBuffersGiveEqualOutput) {
    Session s;
    ASSERT_EQ(SeclayAlgoModeE(&s.h, 8, 2), SECLAY_OK);
    ASSERT_EQ(SeclayKeyIvE(s.h, "fresh contexts!!", "iv-bytes"), SECLAY_OK);
    Bytes first = sample(16, 16), second = first;
    ASSERT_EQ(SeclayEncryptE(s.h, first.data(), 16), SECLAY_OK);
    ASSERT_EQ(SeclayEncryptE(s.h, second.data(), 16), SECLAY_OK);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, sample(16, 16));
}

TEST(SeclaySizes, TestSizeAndSetUpSize) {
    Session s;
    ASSERT_EQ(SeclayAlgoModeE(&s.h, 2, 1), SECLAY_OK);
    // No key yet: every size but 0 is fine.
    EXPECT_EQ(SeclayTestSize(s.h, 13), SECLAY_OK);
    ASSERT_EQ(SeclayKeyIvE(s.h, "8bytekey", ""), SECLAY_OK);
    struct Case {
        uint32_t size;
        int32_t test;
        int32_t setUp;
        uint32_t after;
    } cases[] = {
        {13, SECLAY_BAD_SIZE, SECLAY_OK, 16},
        {16, SECLAY_OK, SECLAY_OK, 16},
        {1, SECLAY_BAD_SIZE, SECLAY_OK, 8},
        {0, SECLAY_BAD_SIZE, SECLAY_BAD_SIZE, 0},
        {0xFFFFFFF8u, SECLAY_OK, SECLAY_OK, 0xFFFFFFF8u},
        {0xFFFFFFF9u, SECLAY_BAD_SIZE, SECLAY_BAD_SIZE, 0xFFFFFFF9u}, // would not fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(SeclayTestSize(s.h, c.size), c.test);
        uint32_t size = c.size;
        EXPECT_EQ(SeclaySetUpSize(s.h, &size), c.setUp);
        EXPECT_EQ(size, c.after);
    }
}

TEST(SeclayEFamily, NoStoredKeyIsRefusedAndTheBufferKept) {
    Session s;
    ASSERT_EQ(SeclayAlgoModeE(&s.h, 2, 1), SECLAY_OK);
    using Op = int32_t(SECLAY_CALL*)(SeclayHandle, void*, uint32_t);
    for (Op op : {SeclayEncryptE, SeclayDecryptE, SeclayEncryptEHex, SeclayDecryptEHex,
                  SeclayEncryptEBCD, SeclayDecryptEBCD}) {
        Bytes data = textBytes("0011223344556677", 40);
        const Bytes original = data;
        EXPECT_EQ(op(s.h, data.data(), 16), SECLAY_KEY_LOAD_FAILED);
        EXPECT_EQ(data, original);
    }
}

// --- text forms ------------------------------------------------------------

class SeclayTextForms : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SeclayAlgoModeE(&s.h, 2, 2), SECLAY_OK);
        ASSERT_EQ(SeclayKeyIvE(s.h, "8bytekey", "initvect"), SECLAY_OK);
    }
    Session s;
};

TEST_F(SeclayTextForms, HexAndEbcdGiveTheSameUpperCaseText) {
    Bytes raw = sample(16, 40), hex = raw, ebcd = raw;
    ASSERT_EQ(SeclayEncryptE(s.h, raw.data(), 16), SECLAY_OK);
    ASSERT_EQ(SeclayEncryptEHex(s.h, hex.data(), 16), SECLAY_OK);
    ASSERT_EQ(SeclayEncryptEBCD(s.h, ebcd.data(), 16), SECLAY_OK);
    std::string expected;
    char pair[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", raw[i]);
        expected += pair;
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(hex.data())), expected);
    EXPECT_EQ(hex[32], 0);
    EXPECT_TRUE(std::equal(hex.begin(), hex.begin() + 33, ebcd.begin()));
}

TEST_F(SeclayTextForms, RoundTripsThroughBothReaders) {
    const Bytes original = sample(13, 64);
    for (bool ebcdWriter : {false, true}) {
        for (bool ebcdReader : {false, true}) {
            Bytes data = original;
            ASSERT_EQ((ebcdWriter ? SeclayEncryptEBCD : SeclayEncryptEHex)(s.h, data.data(), 13),
                      SECLAY_OK);
            ASSERT_EQ((ebcdReader ? SeclayV : SeclayDecryptEHex)(s.h, data.data(), 0), SECLAY_OK);
            EXPECT_EQ(0, std::memcmp(data.data(), original.data(), 13));
            EXPECT_EQ(data[13], 0x80); // whole units deciphered: the marker stays
        }
    }
}

TEST_F(SeclayTextForms, EbcdLimit) {
    Bytes fits = sample(2008, 2 * 2008 + 1);
    EXPECT_EQ(SeclayEncryptEBCD(s.h, fits.data(), 2008), SECLAY_OK);
    EXPECT_EQ(std::strlen(reinterpret_cast<char*>(fits.data())), 4016u);
    EXPECT_EQ(SeclayDecryptEBCD(s.h, fits.data(), 0), SECLAY_OK);
    EXPECT_EQ(fits, [] {
        Bytes b = sample(2008, 2 * 2008 + 1);
        std::fill(b.begin() + 2008, b.end(), 0);
        return b;
    }());

    // 2009 bytes pad to 2016, 4032 digits: refused, the data left as it was.
    const Bytes tooLong = sample(2009, 2 * 2016 + 1);
    Bytes data = tooLong;
    EXPECT_EQ(SeclayEncryptEBCD(s.h, data.data(), 2009), SECLAY_FAIL);
    EXPECT_EQ(SeclayQ(s.h, data.data(), 2009), SECLAY_FAIL);
    EXPECT_EQ(data, tooLong);
    // The table-driven form has no limit.
    EXPECT_EQ(SeclayEncryptEHex(s.h, data.data(), 2009), SECLAY_OK);
    EXPECT_EQ(std::strlen(reinterpret_cast<char*>(data.data())), 4032u);
    EXPECT_EQ(SeclayDecryptEBCD(s.h, data.data(), 0), SECLAY_FAIL); // over 4016 characters
    EXPECT_EQ(SeclayDecryptEHex(s.h, data.data(), 0), SECLAY_OK);
    EXPECT_EQ(0, std::memcmp(data.data(), tooLong.data(), 2009));
}

TEST_F(SeclayTextForms, UnusableTextIsRefusedAndKept) {
    struct Case {
        const char* text;
        int32_t hex, ebcd;
    } cases[] = {
        {"0123456789ABCDEF0123456789ABCDE", SECLAY_ODD_HEX, SECLAY_FAIL}, // 31 digits
        {"0123456789abcdef", SECLAY_ODD_HEX, SECLAY_OK},                  // lower case
        {"0123456789ABCDEG", SECLAY_ODD_HEX, SECLAY_FAIL},                // not a digit
        {"01234567 9ABCDEF", SECLAY_ODD_HEX, SECLAY_FAIL},
        {"0x23456789ABCDEF", SECLAY_ODD_HEX, SECLAY_FAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Bytes original = textBytes(c.text, 40);
        Bytes data = original;
        EXPECT_EQ(SeclayDecryptEHex(s.h, data.data(), 0), c.hex);
        EXPECT_EQ(data, original);
        EXPECT_EQ(SeclayDecryptEBCD(s.h, data.data(), 0), c.ebcd);
        if (c.ebcd != SECLAY_OK) {
            EXPECT_EQ(data, original);
        }
    }
}

// --- round trips -----------------------------------------------------------

struct CipherCase {
    int32_t algo;
    const char* key;
};

// Key lengths are whole blocks: the padding unit is the key length, and the
// block modes take whole blocks only.
const CipherCase kCiphers[] = {
    {2, "DESkey8b"},         {3, "two-key 3DES 16b"},
    {4, "0123456789abcdef"}, {5, "RC2 with a 24-byte key.."},
    {7, "SAFER-64"},         {7, "SAFER K-128 key!"},
    {8, "Blowfish sixteen"},
};

TEST(SeclayRoundTrip, KeyLengthOffTheBlockSizeWorksInFeedbackModesOnly) {
    for (int32_t mode = 1; mode <= 5; ++mode) {
        SCOPED_TRACE(mode);
        const bool feedback = mode == 3 || mode == 4;
        Session s;
        ASSERT_EQ(SeclayAlgoModeE(&s.h, 7, mode), SECLAY_OK);
        ASSERT_EQ(SeclayKeyIvE(s.h, "SAFER7b", mode == 1 ? "" : "IV-bytes"), SECLAY_OK);
        const Bytes original = sample(10, 16);
        Bytes data = original;
        ASSERT_EQ(SeclayEncryptE(s.h, data.data(), 10),
                  feedback ? SECLAY_OK : SECLAY_ENCRYPT_FAILED); // 14 bytes
        if (feedback) {
            ASSERT_EQ(SeclayDecryptE(s.h, data.data(), 14), SECLAY_OK);
            EXPECT_EQ(0, std::memcmp(data.data(), original.data(), 10));
        }
    }
}

TEST(SeclayRoundTrip, EveryCipherAndModeThroughBothFamilies) {
    for (const CipherCase& c : kCiphers) {
        for (int32_t mode = 1; mode <= 5; ++mode) {
            SCOPED_TRACE(std::to_string(c.algo) + "/" + std::to_string(mode) + " " + c.key);
            const char* iv = mode == 1 ? "" : "IV-bytes";
            const Bytes original = sample(40, 128);

            // Context family: one session enciphers, a second one deciphers.
            Session enc, dec;
            ASSERT_EQ(SeclayAlgoMode(&enc.h, c.algo, mode), SECLAY_OK);
            ASSERT_EQ(SeclayAlgoMode(&dec.h, c.algo, mode), SECLAY_OK);
            ASSERT_EQ(SeclayKeyIv(enc.h, c.key, iv), SECLAY_OK);
            ASSERT_EQ(SeclayKeyIv(dec.h, c.key, iv), SECLAY_OK);
            Bytes data = original;
            ASSERT_EQ(SeclayEncrypt(enc.h, data.data(), 40), SECLAY_OK);
            EXPECT_NE(data, original);
            ASSERT_EQ(SeclayDecrypt(dec.h, data.data(), 40), SECLAY_OK);
            EXPECT_EQ(data, original);

            // E family on one session, raw and as text.
            Session e;
            ASSERT_EQ(SeclayAlgoModeE(&e.h, c.algo, mode), SECLAY_OK);
            ASSERT_EQ(SeclayKeyIvE(e.h, c.key, iv), SECLAY_OK);
            uint32_t padded = 37;
            ASSERT_EQ(SeclaySetUpSize(e.h, &padded), SECLAY_OK);
            data = sample(37, 128);
            ASSERT_EQ(SeclayEncryptE(e.h, data.data(), 37), SECLAY_OK);
            ASSERT_EQ(SeclayDecryptE(e.h, data.data(), padded), SECLAY_OK);
            EXPECT_EQ(0, std::memcmp(data.data(), original.data(), 37));
            data = original;
            ASSERT_EQ(SeclayEncryptEHex(e.h, data.data(), 40), SECLAY_OK);
            ASSERT_EQ(SeclayDecryptEHex(e.h, data.data(), 0), SECLAY_OK);
            EXPECT_EQ(0, std::memcmp(data.data(), original.data(), 40));
            data = original;
            ASSERT_EQ(SeclayEncryptEBCD(e.h, data.data(), 40), SECLAY_OK);
            ASSERT_EQ(SeclayDecryptEBCD(e.h, data.data(), 0), SECLAY_OK);
            EXPECT_EQ(0, std::memcmp(data.data(), original.data(), 40));
        }
    }
}

// --- key hand-over ---------------------------------------------------------

#if !defined(_WIN32)
TEST(SeclayKeyPipe, ShortMessageFailsAndThePipeStaysOpen) {
    Session s;
    char text[12] = {};
    ASSERT_EQ(SeclayY(&s.h, 8, 1, text), SECLAY_OK);
    ASSERT_NE(s.h, 0u);
    const int writeEnd = std::atoi(text);
    ASSERT_GT(writeEnd, 0);
    for (const char* c = text; *c; ++c)
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(*c)));

    ASSERT_EQ(write(writeEnd, "only twenty bytes...", 20), 20);
    EXPECT_EQ(SeclayX(&s.h), SECLAY_FAIL);

    // Still open: a whole message now gets through. Key byte 10 is zero, so
    // the key is 10 bytes long (13 rounds up to 20).
    unsigned char message[24] = "0123456789";
    std::memcpy(message + 11, "ignored", 5);
    std::memcpy(message + 16, "\0\0\0\0\0\0\0\0", 8);
    ASSERT_EQ(write(writeEnd, message, 24), 24);
    EXPECT_EQ(SeclayX(&s.h), SECLAY_OK);
    uint32_t size = 13;
    ASSERT_EQ(SeclaySetUpSize(s.h, &size), SECLAY_OK);
    EXPECT_EQ(size, 20u);
    // Both ends are closed now.
    EXPECT_EQ(write(writeEnd, "x", 1), -1);
}

TEST(SeclayKeyPipe, KeyAndIvFromTheMessage) {
    Session y, direct;
    char text[12] = {};
    ASSERT_EQ(SeclayY(&y.h, 2, 2, text), SECLAY_OK);
    ASSERT_EQ(write(std::atoi(text), "8bytekey\0\0\0\0\0\0\0\0initvect", 24), 24);
    ASSERT_EQ(SeclayX(&y.h), SECLAY_OK);
    ASSERT_EQ(SeclayAlgoMode(&direct.h, 2, 2), SECLAY_OK);
    ASSERT_EQ(SeclayKeyIv(direct.h, "8bytekey", "initvect"), SECLAY_OK);
    Bytes a = sample(16, 16), b = a;
    ASSERT_EQ(SeclayEncrypt(y.h, a.data(), 16), SECLAY_OK);
    ASSERT_EQ(SeclayEncrypt(direct.h, b.data(), 16), SECLAY_OK);
    EXPECT_EQ(a, b);
}

TEST(SeclayKeyPipe, RefusedSessionGivesZero) {
    SeclayHandle h = 0;
    char text[12] = "unchanged";
    EXPECT_EQ(SeclayY(&h, 9, 1, text), SECLAY_FAIL);
    EXPECT_STREQ(text, "unchanged");
    ASSERT_NE(h, 0u);
    EXPECT_EQ(SeclayX(&h), SECLAY_FAIL); // no pipe
    EXPECT_EQ(SeclayDestroy(h), SECLAY_OK);
}
#endif

TEST(SeclayZ, HandsOutTheConstant) {
    unsigned char out[8] = {};
    EXPECT_EQ(SeclayZ(1, 2, 3, out), SECLAY_FAIL);
    EXPECT_EQ(0, std::memcmp(out, "SECLAY20", 8));
}

} // namespace
