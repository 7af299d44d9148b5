// SPDX-License-Identifier: MIT
#include "package/FormatDate.h"
#include "package/ValueChecks.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

struct CheckCase {
    const char* type;
    const char* value;
    std::uint32_t size;
    std::int32_t precision;
    std::int32_t expected;
};

const CheckCase kCheckCases[] = {
    // Dates: the shape of 2004.03.15, blanks around allowed, digits not checked.
    {"D", "2004.03.15", 12, 0, 1},
    {"D", " 2004.03.15 ", 12, 0, 1},
    {"D", "", 12, 0, 1},
    {"D", "   ", 12, 0, 1},
    {"D", "abcd.ef.gh", 12, 0, 1},
    {"D", "2004-03-15", 12, 0, 501},
    {"D", "2004.3.15", 12, 0, 501},
    {"D", "2004.03.5", 12, 0, 501},
    {"D", "2004.03.155", 12, 0, 501},
    {"D", "04.03.2004", 12, 0, 501},
    {"D", "2004.03", 12, 0, 501},
    {"D", "2004.", 12, 0, 501},
    // Times: the shape of 12:30:00.
    {"T", "12:30:00", 8, 0, 1},
    {"T", "", 8, 0, 1},
    {"T", "12.30.00", 8, 0, 502},
    {"T", "1:30:00", 8, 0, 502},
    {"T", "12:30", 8, 0, 502},
    // Date and time: date in 1..10, time in 12..19.
    {"DT", "2004.03.15 12:30:00", 19, 0, 1},
    {"DT", "2004.03.15T12:30:00", 19, 0, 1},
    {"DT", "2004.03.15", 19, 0, 1}, // no time part: an empty time passes
    {"DT", "2004-03-15 12:30:00", 19, 0, 503},
    {"DT", "2004.03.15 12-30-00", 19, 0, 503},
    {"DT", "2004.03.1512:30:00", 19, 0, 503},
    // Numbers: length against the size, decimals against the precision.
    {"N", "12", 5, 0, 1},
    {"N", "", 5, 0, 1},
    {"N", "  ", 5, 0, 1},
    {"N", "12.5", 5, 0, 504},
    {"N", "12.5", 5, 1, 1},
    {"N", "12.55", 5, 1, 504},
    {"N", "12.5 ", 5, 1, 504}, // trailing blank counts as a decimal
    {"N", "12345", 5, 0, 1},
    {"N", "123456", 5, 0, 504},
    {"N", " 12345 ", 5, 0, 1}, // the length is taken trimmed
    // Types without a check.
    {"C", "anything at all, longer than the field", 3, 0, 1},
    {"V", "2004-03-15", 30, 0, 1},
    {"L", "x", 1, 0, 1},
    {"X", "2004-03-15", 30, 0, 1},
    {"NX", "12.55", 3, 0, 1},
    {"", "12.55", 3, 0, 1},
};

TEST(ValueChecks, ShapesByFieldType) {
    for (const CheckCase& c : kCheckCases) {
        SCOPED_TRACE(std::string(c.type) + " '" + c.value + "'");
        EXPECT_EQ(checkValue(c.type, c.value, c.size, c.precision), c.expected);
        // Records skip the types said to have no check: none of those may fail.
        if (c.expected != 1) {
            EXPECT_TRUE(hasValueCheck(c.type));
        }
    }
    for (const char* type : {"C", "V", "L", "B", "X", "NX", "", "d"})
        EXPECT_FALSE(hasValueCheck(type)) << type;
    for (const char* type : {"N", "D", "DT", "T"})
        EXPECT_TRUE(hasValueCheck(type)) << type;
}

TEST(ValueChecks, FormatDateUsesFixedFullStops) {
    EXPECT_EQ(fFormatDate(2004, 3, 15), "2004.03.15");
    EXPECT_EQ(fFormatDate(1960, 12, 1), "1960.12.01");
    EXPECT_EQ(fFormatDate(5, 1, 2), "0005.01.02");
    EXPECT_EQ(fCheckDate(fFormatDate(1999, 1, 31)), 1);
    // Outside four-digit years the form is still that of "%.4d.%.2d.%.2d".
    EXPECT_EQ(fFormatDate(9999, 12, 31), "9999.12.31");
    EXPECT_EQ(fFormatDate(10000, 1, 1), "10000.01.01");
    EXPECT_EQ(fFormatDate(-1, 1, 1), "-0001.01.01");
    std::string reused = "a much longer text than any date";
    fFormatDateInto(2024, 2, 29, reused);
    EXPECT_EQ(reused, "2024.02.29");
}

} // namespace
} // namespace xls2qdp
