// SPDX-License-Identifier: MIT
#include "FieldCoding.h"

#include <gtest/gtest.h>

#include <string>

namespace fmt = qdp::format;

namespace {

std::string put(std::size_t width, std::uint64_t value) {
    std::string field(width, 'x');
    fmt::putNumber(std::span<char>(field), value);
    return field;
}

TEST(FieldCoding, NumbersAreLeftAlignedZeroPaddedAndZeroAtTheLimit) {
    struct Case {
        std::size_t width;
        std::uint64_t value;
        std::string bytes;
    } cases[] = {
        {5, 0, std::string("0\0\0\0\0", 5)},
        {5, 12345, "12345"}, // five digits fill a 5-byte field, no zero
        {5, 99998, "99998"},
        {5, 99999, std::string(5, '\0')}, // the limit itself cannot be written
        {7, 999998, std::string("999998\0", 7)},
        {7, 999999, std::string(7, '\0')},
        {11, 361, std::string("361\0\0\0\0\0\0\0\0", 11)},
        {11, 4294967295u, std::string("4294967295\0", 11)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(put(c.width, c.value), c.bytes) << c.width << " " << c.value;
    }
    std::string count(11, 'x');
    fmt::putNumber(std::span<char>(count), 999999, fmt::kRecordCountLimit);
    EXPECT_EQ(count, std::string(11, '\0')) << "record counts stop at 999999";
}

TEST(FieldCoding, TextsArePaddedAndKeepOneZero) {
    std::string field(9, 'x');
    fmt::putText(std::span<char>(field), "SEKCJA");
    EXPECT_EQ(field, std::string("SEKCJA\0\0\0", 9));
    fmt::putText(std::span<char>(field), "ABCDEFGHIJKL");
    EXPECT_EQ(field, std::string("ABCDEFGH\0", 9));
    EXPECT_EQ(fmt::parseText(std::span<const char>(field)), "ABCDEFGH");
}

TEST(FieldCoding, ParsingStaysInsideTheField) {
    struct Case {
        std::string bytes;
        std::int64_t value;
    } cases[] = {
        {"12345678", 12345}, // a full 5-byte field is read only to its width
        {std::string("42\0\0\0", 5), 42},
        {std::string(5, '\0'), 0},
        {"  +7x", 7},
        {" -3\0\0", -3},
        {"12abc", 12},
        {"abc\0\0", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fmt::parseNumber(std::span<const char>(c.bytes.data(), 5)), c.value) << c.bytes;
    }
}

} // namespace
