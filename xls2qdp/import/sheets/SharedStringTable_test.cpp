// SPDX-License-Identifier: MIT
#include "SharedStringTable.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

// Lengths around the one-byte limit, empty strings, and long strings at the
// start, inside and at the end of groups of sixteen, over several groups.
TEST(SharedStringTable, GivesBackEveryStringWhateverItsLength) {
    const std::size_t lengths[] = {0,   1,     254, 255, 256, 0,    70000, 3,   11,  254,
                                   255, 32767, 0,   5,   9,   1000, 400,   2,   0,   255,
                                   11,  11,    11,  11,  11,  11,   11,    11,  256, 0,
                                   1,   600,   12,  13,  14,  15,   16,    255, 254, 0};
    std::vector<std::string> texts;
    SharedStringTable table;
    table.reserve(4, 16); // reserved too little: the table grows
    for (std::size_t i = 0; i < std::size(lengths); ++i) {
        std::string text(lengths[i], static_cast<char>('a' + i % 26));
        if (!text.empty()) text.back() = '#'; // a string cut one short shows
        texts.push_back(text);
        table.add(text, i % 7 == 3);
    }
    ASSERT_EQ(table.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(table[i], texts[i]) << "string " << i;
        EXPECT_EQ(table.wasCut(i), i % 7 == 3) << "string " << i;
    }
}

} // namespace
} // namespace xls2qdp
