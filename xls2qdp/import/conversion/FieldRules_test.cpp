// SPDX-License-Identifier: MIT
#include "FieldRules.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

TEST(FieldRules, DatesInTheFullFormsClinicsType) {
    struct Case {
        const char* text;
        std::optional<CalendarDate> date;
    } cases[] = {
        {"05-03-1960", CalendarDate{1960, 3, 5}},
        {"5-3-1960", CalendarDate{1960, 3, 5}},
        {" 29-02-2004 ", CalendarDate{2004, 2, 29}},
        {"05.03.1960", CalendarDate{1960, 3, 5}},
        {"05/03/1960", CalendarDate{1960, 3, 5}}, // the day first, as in Poland
        {"1960-03-05", CalendarDate{1960, 3, 5}},
        {"1960.3.5", CalendarDate{1960, 3, 5}},
        {"1960/03/05", std::nullopt},
        {"05.03-1960", std::nullopt}, // two different separators
        {"1960-03.05", std::nullopt},
        {"13/25/1960", std::nullopt},
        {"2004-02-30", std::nullopt},
        {"196-03-05", std::nullopt},
        {"05-03-60", std::nullopt},
        {"29-02-2005", std::nullopt},
        {"31-04-2000", std::nullopt},
        {"00-01-2000", std::nullopt},
        {"05-03-1960 10:15:00", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseSheetDate(c.text), c.date) << c.text;
}

TEST(FieldRules, PostalCodesByLength) {
    struct Case {
        const char* text;
        std::optional<std::string> code;
    } cases[] = {
        {"12345", "12-345"},  {"12-345", "12-345"},      {"1234", std::nullopt},
        {"123456", "123456"}, // six characters are not checked further
        {"ab-cdę", "ab-cdę"}, // lengths count characters, not bytes
        {"ąbcde", "ąb-cde"},  {"12-3456", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convertPostalCode(c.text), c.code) << c.text;
    // Only a number cell's four digits lost a leading zero.
    EXPECT_EQ(convertPostalCode("3470", CellKind::Number), "03-470");
    EXPECT_EQ(convertPostalCode("347", CellKind::Number), std::nullopt);
}

TEST(FieldRules, SchoolYear) {
    struct Case {
        const char* l;
        const char* m;
        bool applies;
        std::optional<CalendarDate> from, until;
    } cases[] = {
        {"S", "2004", true, CalendarDate{2004, 10, 1}, CalendarDate{2005, 6, 30}},
        {"U", " 2010 ", true, CalendarDate{2010, 10, 1}, CalendarDate{2011, 6, 30}},
        {"s", "2004", false, std::nullopt, std::nullopt},
        {"S", "", false, std::nullopt, std::nullopt},
        {"", "2004", false, std::nullopt, std::nullopt},
        {"S", "2004/05", true, std::nullopt, std::nullopt},
        {"S", "2004,5", true, std::nullopt, std::nullopt},
        {"S", "0", true, std::nullopt, std::nullopt},
        {"S", "9999", true, CalendarDate{9999, 10, 1}, std::nullopt},
        {"S", "99999999999999", true, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto r = schoolYearDates(c.l, c.m);
        EXPECT_EQ(r.applies, c.applies) << c.l << "/" << c.m;
        EXPECT_EQ(r.from, c.from) << c.l << "/" << c.m;
        EXPECT_EQ(r.until, c.until) << c.l << "/" << c.m;
    }
}

} // namespace
} // namespace xls2qdp
