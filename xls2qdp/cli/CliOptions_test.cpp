// SPDX-License-Identifier: MIT
#include "CliFrontEnd.h"
#include "CliOptions.h"

#include <gtest/gtest.h>

namespace xls2qdp::cli {
namespace {

TEST(CliOptions, ParsesTheImportCommand) {
    std::string error;
    const auto options = parseCliOptions(
        {"import", "a.xlsx", "--target", "/out", "--ini", "x.ini", "--report", "r.csv", "--yes"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->command, CliOptions::Command::Import);
    EXPECT_EQ(options->workbook, "a.xlsx");
    EXPECT_EQ(options->target, "/out");
    EXPECT_EQ(options->ini, "x.ini");
    EXPECT_EQ(options->report, "r.csv");
    EXPECT_TRUE(options->yes);

    EXPECT_EQ(parseCliOptions({"--help"}, error)->command, CliOptions::Command::Help);
    EXPECT_EQ(parseCliOptions({"--version"}, error)->command, CliOptions::Command::Version);
}

TEST(CliOptions, RefusesWhatItDoesNotKnow) {
    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } cases[] = {
        {{}, "Brak polecenia."},
        {{"export", "a.xls"}, "Nieznane polecenie: export"},
        {{"import"}, "Nie wskazano skoroszytu."},
        {{"import", "a.xls", "--target"}, "Opcja --target wymaga wartości."},
        {{"import", "a.xls", "--fast"}, "Nieznana opcja: --fast"},
        {{"import", "a.xls", "b.xls"}, "Podano więcej niż jeden skoroszyt: b.xls"},
        {{"--help", "import"}, "Nieznane polecenie: --help"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parseCliOptions(c.arguments, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(CliMessages, LineBreaksBecomeOneNewline) {
    EXPECT_EQ(plainLines("a\r\nb\n\rc\rd\ne"), "a\nb\nc\nd\ne");
}

} // namespace
} // namespace xls2qdp::cli
