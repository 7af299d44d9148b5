// SPDX-License-Identifier: MIT
#include "import/sheets/CellText.h"
#include "import/sheets/IsoDateTime.h"
#include "import/sheets/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace xls2qdp {
namespace {

TEST(CellTextTest, NumbersUseFifteenDigitsAndADecimalComma) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {1234, "1234"},
        {-5, "-5"},
        {100, "100"},
        {12345678901, "12345678901"}, // a PESEL typed as a number
        {0.25, "0,25"},
        {-0.5, "-0,5"},
        {1.0 / 3, "0,333333333333333"},
        {0.1 + 0.2, "0,3"},
        {1e20, "1E20"},
        {1e15, "1E15"},
        {123456789012345, "123456789012345"},
        {1234567890123456, "1,23456789012346E15"},
        {1e-7, "1E-7"},
        {2.5e-5, "2,5E-5"},
        {0.0001, "0,0001"},
        {0.00001, "1E-5"},
        {std::nan(""), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.value), c.text) << c.value;
}

TEST(CellTextTest, DatesAndTimesAsDayMonthYear) {
    const struct {
        double days;
        const char* text;
    } cases[] = {
        {21980, "05-03-1960"},
        {38061.4309027778, "15-03-2004 10:20:30"},
        {0.521006944444445, "12:30:15"},
        {0, "00:00:00"},
        {43831.99999999, "01-01-2020 23:59:59"}, // never rounds into the next day
        {2958465, "31-12-9999"},
        {-1, "29-12-1899"},
        {3e6, "3000000"}, // past 9999: shown as the number it is
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatDateTime(c.days), c.text) << c.days;
}

TEST(CellTextTest, BooleansAndErrorValues) {
    CellValue cell;
    cell.setNumber(1, CellKind::Boolean);
    EXPECT_EQ(cellText(cell), "PRAWDA");
    cell.setNumber(0, CellKind::Boolean);
    EXPECT_EQ(cellText(cell), "FAŁSZ");
    cell.kind = CellKind::Error;
    cell.text = "#DIV/0!";
    EXPECT_EQ(cellText(cell), "");
    EXPECT_EQ(errorValueName("#DIV/0!"), "#DZIEL/0!");
    EXPECT_EQ(errorValueName("#N/A"), "#N/D!");
    EXPECT_EQ(errorValueName("Err:502"), "Err:502");
}

TEST(CellTextTest, NormalizeTrimsJoinsLinesAndHalvesBlankPairsOnce) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"  Ala  ", "Ala"},
        {"\t x \r\n", "x"},
        {"Jan\nKowalski", "Jan Kowalski"},
        {"a  b", "a b"},
        {"a   b", "a  b"},
        {"a    b", "a  b"}, // one pass: four blanks become two
        {"a \n b", "a  b"},
        {"a\r\nb", "a\r b"}, // only LF is a line break here
        {"", ""},
        {" 0 ", "0"},
        {"Zażółć gęślą jaźń", "Zażółć gęślą jaźń"},
        {"\u00A0Kowalski\u00A0", "Kowalski"}, // pasted from a web page
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeCellText(c.in), c.out) << c.in;
}

// The read loop takes each cell's text in one step; it must give what
// normalizing cellText gives, for every kind of cell.
TEST(CellTextTest, NormalizedCellTextIsTheNormalizedCellText) {
    std::vector<CellValue> cells;
    for (const char* text : {"Ala", " Ala", "Ala\n", "a  b", "Żółw", "\u00A0Nowak\u00A0", "x\u2003",
                             "", " ", "\u00A0"}) {
        cells.emplace_back();
        cells.back().setText(text);
    }
    for (double number : {0.0, -0.0, 7.0, -12.0, 99999999999999.0, 1e15, 0.25, -1.5, 1e-7,
                          std::nan(""), HUGE_VAL}) {
        cells.emplace_back();
        cells.back().setNumber(number);
    }
    cells.emplace_back();
    cells.back().setNumber(45000.5, CellKind::DateTime);
    cells.emplace_back();
    cells.back().setNumber(1, CellKind::Boolean);
    cells.emplace_back(); // empty
    std::string out = "left from the last cell";
    for (const CellValue& cell : cells) {
        normalizedCellTextInto(out, cell);
        EXPECT_EQ(out, NormalizeCellText(cellText(cell)))
            << static_cast<int>(cell.kind) << " " << cell.text << " " << cell.number;
    }
}

TEST(CellTextTest, ColumnLetters) {
    EXPECT_EQ(columnLetters(0), "A");
    EXPECT_EQ(columnLetters(25), "Z");
    EXPECT_EQ(columnLetters(26), "AA");
    EXPECT_EQ(columnLetters(37), "AL");
    EXPECT_EQ(columnLetters(701), "ZZ");
    EXPECT_EQ(columnLetters(702), "AAA");
}

TEST(NumberFormatTest, DateFormatsAreRecognised) {
    const struct {
        const char* code;
        NumberFormatKind kind;
    } cases[] = {
        {"dd\\-mm\\-yyyy", NumberFormatKind::DateTime},
        {"yyyy\\-mm\\-dd\\ hh:mm:ss", NumberFormatKind::DateTime},
        {"[$-415]d mmmm yyyy", NumberFormatKind::DateTime},
        {"[h]:mm", NumberFormatKind::DateTime},
        {"General", NumberFormatKind::Number},
        {"0.00E+00", NumberFormatKind::Number},
        {"0.00\\ [$zł]", NumberFormatKind::Number},
        {"#,##0\\ \"szt. dni\"", NumberFormatKind::Number},
        {"[Red]0;[Blue]-0", NumberFormatKind::Number},
        {"@", NumberFormatKind::Number},
        {"\"TRUE\";\"TRUE\";\"FALSE\"", NumberFormatKind::Boolean},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberFormatCodeKind(c.code), c.kind) << c.code;
    EXPECT_EQ(BuiltInNumberFormatKind(14), NumberFormatKind::DateTime);
    EXPECT_EQ(BuiltInNumberFormatKind(22), NumberFormatKind::DateTime);
    EXPECT_EQ(BuiltInNumberFormatKind(45), NumberFormatKind::DateTime);
    EXPECT_EQ(BuiltInNumberFormatKind(0), NumberFormatKind::Number);
    EXPECT_EQ(BuiltInNumberFormatKind(49), NumberFormatKind::Number);
}

TEST(IsoDateTimeTest, DatesAndDurations) {
    EXPECT_EQ(ParseIsoDateTime("1960-03-05"), 21980);
    EXPECT_NEAR(*ParseIsoDateTime("2004-03-15T10:20:30"), 38061.4309027778, 1e-9);
    EXPECT_NEAR(*ParseIsoDuration("PT12H30M15S"), 0.521006944444445, 1e-12);
    EXPECT_NEAR(*ParseIsoDuration("P1DT2H"), 1 + 2.0 / 24, 1e-12);
    EXPECT_FALSE(ParseIsoDateTime("1960-13-01"));
    EXPECT_FALSE(ParseIsoDateTime("1960-02-30"));
    EXPECT_FALSE(ParseIsoDateTime("05-03-1960"));
    EXPECT_FALSE(ParseIsoDuration("P1Y"));
    EXPECT_FALSE(ParseIsoDuration("12:30"));
}

} // namespace
} // namespace xls2qdp
