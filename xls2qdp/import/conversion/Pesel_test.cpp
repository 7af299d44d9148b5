// SPDX-License-Identifier: MIT
#include "Pesel.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

TEST(Pesel, ChecksTheDigitsTheCheckDigitAndTheDateOfBirth) {
    const struct {
        const char* pesel;
        const char* problem; // "" when it is a PESEL
        std::optional<CalendarDate> born;
    } cases[] = {
        {"60030512342", "", CalendarDate{1960, 3, 5}},
        {"02270803624", "", CalendarDate{2002, 7, 8}}, // month + 20: the 2000s
        {"80810100004", "", CalendarDate{1880, 1, 1}}, // month + 80: the 1800s
        {"25410100003", "", CalendarDate{2125, 1, 1}}, // month + 40: the 2100s
        {"60030512343", "ma błędną cyfrę kontrolną", CalendarDate{1960, 3, 5}},
        {"6003051234", "ma 10 cyfr zamiast 11", std::nullopt},
        {"600305123422", "ma 12 cyfr zamiast 11", std::nullopt},
        {"1", "ma 1 cyfrę zamiast 11", std::nullopt},
        {"6003051234X", "zawiera znaki inne niż cyfry", std::nullopt},
        {"60 030512342", "zawiera znaki inne niż cyfry", std::nullopt},
        {"60023012343", "zawiera nieistniejącą datę urodzenia", std::nullopt}, // 30 February
    };
    for (const auto& c : cases) {
        EXPECT_EQ(peselProblem(c.pesel), c.problem) << c.pesel;
        EXPECT_EQ(peselBirthDate(c.pesel), c.born) << c.pesel;
    }
}

TEST(Pesel, ZerosANumberCellDroppedComeBackOnlyWhenTheCheckDigitAgrees) {
    EXPECT_EQ(restoredPesel("2270803624", CellKind::Number), "02270803624");
    EXPECT_EQ(restoredPesel("210500002", CellKind::Number), "00210500002");
    EXPECT_EQ(restoredPesel("2270803625", CellKind::Number), std::nullopt);  // no PESEL either way
    EXPECT_EQ(restoredPesel("2270803624", CellKind::Text), std::nullopt);    // typed as it is
    EXPECT_EQ(restoredPesel("60030512342", CellKind::Number), std::nullopt); // nothing dropped
    EXPECT_EQ(restoredPesel("", CellKind::Number), std::nullopt);
}

} // namespace
} // namespace xls2qdp
