// SPDX-License-Identifier: MIT
// xls2qdp-cli end to end: real workbooks of every format through the readers,
// the table store and the package layer into a package file, checked with the
// package reader (qdpdump).
#include "CliApp.h"
#include "engine/testing/PackageSections.h"
#include "engine/testing/TestInstall.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace xls2qdp::cli {
namespace {

namespace fs = std::filesystem;
using xls2qdp::testing::buildBinDir;
using xls2qdp::testing::quoted;
using xls2qdp::testing::readSection;
using xls2qdp::testing::runCommand;
using xls2qdp::testing::sourceDir;
using xls2qdp::testing::TestInstall;

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

class CliImportTest : public ::testing::Test {
protected:
    CliRun run(std::vector<std::string> arguments, const std::string& input = {}) {
        std::ostringstream out, err;
        std::istringstream in(input);
        const CliEnvironment environment{install_.programDir, out, err, in, false, false, nullptr};
        CliRun result;
        result.code = runCli(arguments, environment);
        result.out = out.str();
        result.err = err.str();
        return result;
    }
    CliRun import(const fs::path& workbook, std::vector<std::string> more = {}) {
        std::vector<std::string> arguments{"import", workbook.string(), "--target",
                                           install_.outDir.string()};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return run(arguments);
    }
    static fs::path fixture(const char* name) {
        return sourceDir() / "xls2qdp/import/sheets/testdata" / name;
    }
    fs::path generated(const std::string& name, int rows) {
        const fs::path file = install_.root / name;
        const auto result = runCommand(quoted(buildBinDir() / "gen_declarations") + " --rows " +
                                       std::to_string(rows) + " --seed 11 " + quoted(file));
        EXPECT_EQ(result.status, 0);
        return file;
    }
    static std::string bytesOf(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TestInstall install_{"cli"};
};

// "d", the time stamp in base 40, ".qdp".
const std::regex kPackageName(R"(d[0-9a-z_#$Q]{1,8}\.qdp)");

// The package checks read packages back with the package reader's dump tool.
#define REQUIRE_QDPDUMP()                                                                          \
    if (!fs::exists(buildBinDir() / "qdpdump")) GTEST_SKIP() << "qdpdump not built"

TEST_F(CliImportTest, ImportsEveryWorkbookFormat) {
    REQUIRE_QDPDUMP();
    const struct {
        fs::path workbook;
        std::size_t declarations;
    } cases[] = {
        {fixture("declarations.xlsx"), 5},    {fixture("declarations.ods"), 5},
        {fixture("declarations.xls"), 5},     {generated("generated.xlsx", 40), 40},
        {generated("generated.csv", 40), 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.workbook.string());
        const CliRun result = import(c.workbook);
        ASSERT_EQ(result.code, kExitSuccess) << result.err;
        const fs::path package = result.out.substr(0, result.out.find('\n'));
        EXPECT_EQ(package.parent_path(), install_.outDir);
        EXPECT_TRUE(std::regex_match(package.filename().string(), kPackageName)) << package;
        ASSERT_TRUE(fs::exists(package));
        EXPECT_THAT(result.err, ::testing::HasSubstr("1. Struktura arkusza MS Excel - prawidłowa"));
        EXPECT_THAT(result.err, ::testing::HasSubstr("Import zakończony, deklaracje zotsły "
                                                     "zapisane w pliku:\n" +
                                                     package.string()));

        const auto instalacja = readSection(package, "INSTALACJA");
        ASSERT_EQ(instalacja.records.size(), 1u);
        EXPECT_EQ(instalacja.value(0, "KOD_SWIADCZ"), "000000012345");
        const auto deklaracje = readSection(package, "DEKLARACJE");
        ASSERT_EQ(deklaracje.records.size(), c.declarations);
        EXPECT_EQ(deklaracje.value(0, "NR_INSTALACJI"), "77");
        EXPECT_EQ(deklaracje.value(0, "KOD_DEKLARACJI"), "1");
        EXPECT_EQ(deklaracje.value(c.declarations - 1, "KOD_DEKLARACJI"),
                  std::to_string(c.declarations));
    }
}

TEST_F(CliImportTest, TheFixtureSheetArrivesWithItsValuesInWindows1250) {
    REQUIRE_QDPDUMP();
    const CliRun result = import(fixture("declarations.xlsx"));
    ASSERT_EQ(result.code, kExitSuccess) << result.err;
    const fs::path package = result.out.substr(0, result.out.find('\n'));

    const auto deklaracje = readSection(package, "DEKLARACJE");
    ASSERT_EQ(deklaracje.records.size(), 5u);
    EXPECT_EQ(deklaracje.value(0, "PESEL"), "85010112345");
    EXPECT_EQ(deklaracje.value(0, "NAZWISKO"), "Kowalski");
    EXPECT_EQ(deklaracje.value(0, "DATA_UR"), "1960.03.05");
    EXPECT_EQ(deklaracje.value(1, "PESEL"), "00000000000"); // " 0 " in the sheet
    EXPECT_EQ(deklaracje.value(1, "NAZWISKO"), "Nowak Kowalska");
    EXPECT_EQ(deklaracje.value(2, "NAZWISKO"), "Żółkiewska");
    EXPECT_EQ(readSection(package, "ZGLASZAJACY").records.size(), 1u);
    EXPECT_EQ(readSection(package, "CUDZOZIEMCY").records.size(), 1u);
    EXPECT_EQ(readSection(package, "WYCOFUJACY").records.size(), 0u);

    // Texts in the file are Windows-1250 bytes: "Żółkiewska" and "Łukasz".
    const std::string bytes = bytesOf(package);
    EXPECT_NE(bytes.find("\xAF\xF3\xB3kiewska"), std::string::npos);
    EXPECT_NE(bytes.find("\xA3ukasz"), std::string::npos);
    EXPECT_EQ(bytes.find("Żółkiewska"), std::string::npos);
}

TEST_F(CliImportTest, ExitCodesNameWhatWentWrong) {
    const fs::path damaged = install_.root / "damaged.xlsx";
    std::ofstream(damaged) << "not a workbook";
    const fs::path noKey = install_.root / "nokey.ini";
    std::ofstream(noKey) << "[SYSTEM]\nNrInstalacji=1\nKodOddzialuNFZ=06\nKodWojew=12\n";
    const fs::path fifo = install_.root / "potok.xlsx"; // would block a reader that waits
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    const struct {
        const char* name;
        std::vector<std::string> arguments;
        int code;
        const char* message;
    } cases[] = {
        {"bad workbook", {"import", damaged.string()}, kExitInputProblem, "Nie można odczytać"},
        {"missing workbook",
         {"import", (install_.root / "none.xlsx").string()},
         kExitInputProblem,
         "Wskazany plik XLS nieistnieje !"},
        {"folder as workbook",
         {"import", install_.outDir.string()},
         kExitInputProblem,
         "to jest folder, a nie plik."},
        {"FIFO as workbook", {"import", fifo.string()}, kExitInputProblem, "to potok (FIFO)"},
        {"missing folder",
         {"import", fixture("declarations.xlsx").string(), "--target",
          (install_.root / "none").string()},
         kExitInputProblem,
         "Wskazany katalog nieistnieje !"},
        {"wrong header",
         {"import", fixture("header_swapped.ods").string(), "--target", install_.outDir.string()},
         kExitInputProblem,
         "Format pliku MS Excel jest nieprawidłowy.\nMożliwe przyczyny to:"},
        {"missing INI key",
         {"import", fixture("declarations.xlsx").string(), "--ini", noKey.string()},
         kExitBadArgumentsOrSettings,
         "Sekcja: [SYSTEM] klucz: KodSwiadcz"},
        {"missing INI file",
         {"import", fixture("declarations.xlsx").string(), "--ini",
          (install_.root / "none.ini").string()},
         kExitBadArgumentsOrSettings,
         "Brak pliku INI: "},
        {"bad arguments", {"import"}, kExitBadArgumentsOrSettings, "Nie wskazano skoroszytu."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun result = run(c.arguments);
        EXPECT_EQ(result.code, c.code) << result.err;
        EXPECT_THAT(result.err, ::testing::HasSubstr(c.message));
        EXPECT_EQ(result.out, "");
    }
    EXPECT_TRUE(fs::is_empty(install_.outDir));
}

TEST_F(CliImportTest, AMissingCityDictionaryIsAnsweredByYes) {
    fs::remove(install_.programDir / "sl_miejscowosci.db");
    const CliRun refused = import(fixture("declarations.xlsx"));
    EXPECT_EQ(refused.code, kExitBadArgumentsOrSettings);
    EXPECT_THAT(refused.err, ::testing::HasSubstr("Brak pliku:sl_miejscowosci.db"));
    EXPECT_THAT(refused.err, ::testing::HasSubstr("Kontynuować? Nie"));

    const CliRun accepted = import(fixture("declarations.xlsx"), {"--yes"});
    EXPECT_EQ(accepted.code, kExitSuccess) << accepted.err;
}

TEST_F(CliImportTest, TheReportListsTheValuesStoredDifferently) {
    const fs::path report = install_.root / "raport.csv";
    const CliRun result = import(fixture("declarations.xlsx"), {"--report", report.string()});
    ASSERT_EQ(result.code, kExitSuccess) << result.err;
    const std::string csv = bytesOf(report);
    EXPECT_THAT(csv, ::testing::StartsWith("\xEF\xBB\xBFWiersz;Kolumna;"));
    EXPECT_THAT(csv, ::testing::HasSubstr("2004/05")); // row 11's school year
}

TEST_F(CliImportTest, HelpAndVersion) {
    const CliRun help = run({"--help"});
    EXPECT_EQ(help.code, kExitSuccess);
    EXPECT_THAT(help.out, ::testing::HasSubstr("xls2qdp-cli import SKOROSZYT"));
    const CliRun version = run({"--version"});
    EXPECT_EQ(version.code, kExitSuccess);
    EXPECT_THAT(version.out, ::testing::HasSubstr("v.2.02.1.0101"));
    EXPECT_THAT(version.out, ::testing::HasSubstr("Moduł: KW_XLSIMP wersja: 1.0101"));
}

} // namespace
} // namespace xls2qdp::cli
