// SPDX-License-Identifier: MIT
// Inside the engine: what the C interface cannot show.
#include "HexText.h"
#include "Padding.h"
#include "Session.h"
#include "SessionRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace seclay {
namespace {

TEST(SessionCodes, RefusedModeKeepsTheAlgorithm) {
    Session s;
    EXPECT_EQ(s.algoMode(3, 7), Result::BadMode);
    EXPECT_EQ(s.algoCode(), 3);
    EXPECT_EQ(s.libAlgo(), CRYPT_ALGO_3DES);
    EXPECT_EQ(s.modeCode(), 0);
    EXPECT_FALSE(s.hasMainContext());
}

TEST(SessionCodes, UnavailableModeKeepsBothCodes) {
    Session s;
    EXPECT_EQ(s.algoModeE(6, 2), Result::BadMode); // RC4 only runs as a stream
    EXPECT_EQ(s.libAlgo(), CRYPT_ALGO_RC4);
    EXPECT_EQ(s.libMode(), CRYPT_MODE_CBC);
    EXPECT_EQ(s.algoModeE(2, 6), Result::BadMode); // no public-key mode
    EXPECT_EQ(s.libMode(), CRYPT_MODE_PKC);
}

TEST(SessionCodes, AlgorithmZeroKeepsTheLibraryNumbers) {
    Session s;
    ASSERT_EQ(s.algoModeE(4, 3), Result::Ok);
    EXPECT_EQ(s.algoModeE(0, 5), Result::Ok);
    EXPECT_EQ(s.algoCode(), 0);
    EXPECT_EQ(s.modeCode(), 0);
    EXPECT_EQ(s.libAlgo(), CRYPT_ALGO_3DES);
    EXPECT_EQ(s.libMode(), CRYPT_MODE_CFB);
}

TEST(SessionCodes, MainContextOpensOnlyUnderACipher) {
    Session s;
    ASSERT_EQ(s.algoMode(0, 0), Result::Ok);
    EXPECT_FALSE(s.hasMainContext());
    ASSERT_EQ(s.algoMode(2, 1), Result::Ok);
    EXPECT_TRUE(s.hasMainContext());
    s.clear();
    EXPECT_FALSE(s.hasMainContext());
    EXPECT_EQ(s.algoCode(), 2); // codes survive a clear
}

TEST(SessionEFamily, WorkContextIsReleasedAfterEveryBuffer) {
    Session s;
    ASSERT_EQ(s.algoModeE(8, 2), Result::Ok);
    ASSERT_EQ(s.keyIvE("12345678", "abcdefgh"), Result::Ok);
    std::vector<std::uint8_t> data(16, 'x');
    ASSERT_EQ(s.encryptE(data.data(), 13), Result::Ok);
    EXPECT_FALSE(s.hasWorkContext());
    ASSERT_EQ(s.decryptE(data.data(), 16), Result::Ok);
    EXPECT_FALSE(s.hasWorkContext());
    // A failed cipher call releases it too (13 bytes are not whole blocks).
    EXPECT_EQ(s.decryptE(data.data(), 13), Result::DecryptFailed);
    EXPECT_FALSE(s.hasWorkContext());
}

TEST(Padding, Rule) {
    struct Case {
        std::uint32_t n, unit, p;
    } cases[] = {{13, 8, 3}, {16, 8, 0}, {0, 8, 0}, {30, 24, 18}, {1, 1, 0}, {7, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(paddingFor(c.n, c.unit), c.p) << c.n << "/" << c.unit;
    std::uint8_t data[8] = {1, 2, 3, 4, 5, 9, 9, 9};
    applyPadding(data, 5, 3);
    const std::uint8_t padded[8] = {1, 2, 3, 4, 5, 0x80, 0, 0};
    EXPECT_EQ(0, std::memcmp(data, padded, 8));
}

TEST(Padding, MarkerRemoval) {
    struct Case {
        std::string before, after;
    } cases[] = {
        {std::string("abc\x80\0\0", 6), std::string("abc\0\0\0", 6)},
        {std::string("\x80\0\0", 3), std::string("\0\0\0", 3)},
        {std::string("\0\x80\0", 3), std::string("\0\x80\0", 3)},       // nothing before the zero
        {std::string("abc\x7F\0\0", 6), std::string("abc\x7F\0\0", 6)}, // not the marker
        {std::string("ab\x80"
                     "c\0\x80",
                     6),
         std::string("ab\x80"
                     "c\0\x80",
                     6)},                                           // not before the zero
        {std::string("abc\x80xx", 6), std::string("abc\x80xx", 6)}, // no zero at all
    };
    for (const Case& c : cases) {
        std::string data = c.before;
        removeMarker(reinterpret_cast<std::uint8_t*>(data.data()),
                     static_cast<std::uint32_t>(data.size()));
        EXPECT_EQ(data, c.after);
    }
    // Looks only within the deciphered bytes.
    std::string data("abc\x80", 4);
    data.push_back('\0');
    removeMarker(reinterpret_cast<std::uint8_t*>(data.data()), 4);
    EXPECT_EQ(data[3], '\x80');
}

TEST(Padding, DecryptionOfAPartialUnitDropsTheMarker) {
    // CFB takes any length: deciphering 5 of 8 bytes is "not whole units",
    // and the text keeps no trailing marker.
    Session s;
    ASSERT_EQ(s.algoModeE(8, 3), Result::Ok);
    ASSERT_EQ(s.keyIvE("8bytekey", "abcdefgh"), Result::Ok);
    std::uint8_t data[16] = "abcd";
    ASSERT_EQ(s.encryptE(data, 4), Result::Ok); // "abcd" 0x80 0 0 0
    ASSERT_EQ(s.decryptE(data, 6), Result::Ok);
    EXPECT_STREQ(reinterpret_cast<char*>(data), "abcd");
    EXPECT_EQ(data[4], 0);
}

TEST(HexText, ScratchGrowsAndIsReused) {
    std::vector<std::uint8_t> big(200, 0xAB), small(20, 0x01);
    writeHexTable(big.data(), 50);
    const std::size_t capacity = scratchCapacity();
    EXPECT_GE(capacity, 101u);
    writeHexTable(small.data(), 5);
    EXPECT_EQ(scratchCapacity(), capacity);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(small.data())), "0101010101");
    std::span<char> area = scratchArea(8);
    for (char c : std::span<char>(area.data(), capacity))
        EXPECT_EQ(c, 0);
}

TEST(HexText, WritersAgree) {
    std::uint8_t table[9] = {0x00, 0x9F, 0xA0, 0xFF}, formatted[9] = {0x00, 0x9F, 0xA0, 0xFF};
    writeHexTable(table, 4);
    ASSERT_EQ(writeHexFormatted(formatted, 4), HexStatus::Ok);
    EXPECT_STREQ(reinterpret_cast<char*>(table), "009FA0FF");
    EXPECT_EQ(0, std::memcmp(table, formatted, 9));
}

TEST(Registry, HandlesAreUniqueAndNotReusedAtOnce) {
    SessionRegistry registry;
    Handle a = registry.create(), b = registry.create();
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_TRUE(registry.destroy(a));
    EXPECT_FALSE(registry.destroy(a));
    EXPECT_EQ(registry.find(a), nullptr);
    Handle c = registry.create();
    EXPECT_NE(c, a);
    EXPECT_NE(registry.find(b), nullptr);
}

#if !defined(_WIN32)
TEST(KeyPipe, NothingWrittenFailsWithoutWaitingForEver) {
    Session s;
    ASSERT_EQ(s.algoMode(8, 1), Result::Ok);
    ASSERT_GE(s.openPipe(), 0);
    EXPECT_EQ(s.receivePipedKey(0), Result::Fail);
    EXPECT_TRUE(s.pipe().isOpen());
}

TEST(KeyPipe, ClearClosesThePipe) {
    Session s;
    ASSERT_EQ(s.algoMode(8, 1), Result::Ok);
    const int writeEnd = s.openPipe();
    ASSERT_GE(writeEnd, 0);
    s.clear();
    EXPECT_FALSE(s.pipe().isOpen());
    EXPECT_EQ(s.pipe().writeDescriptor(), -1);
}
#endif

} // namespace
} // namespace seclay
