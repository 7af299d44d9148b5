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
         "to jest katalog, a nie plik."},
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

// Workbooks as clinics keep them, saved by a spreadsheet program, one way of
// going wrong each: what the package holds, what stderr and the report say.
TEST_F(CliImportTest, ClinicWorkbooks) {
    REQUIRE_QDPDUMP();
    struct Value {
        const char* section;
        std::size_t record;
        const char* field;
        const char* value;
    };
    const struct {
        const char* workbook;
        int code;
        int declarations; // -1: no package
        std::vector<std::string> messages;
        std::vector<std::string> reportLines;
        std::vector<Value> values;
    } cases[] = {
        {"blank_row.ods",
         kExitSuccess,
         2,
         {"Zapisane deklaracje: 2\nOstatni wiersz danych: 8\n",
          "UWAGA: Wiersz 9 ma puste kolumny A–D, więc na nim kończą się dane; niżej jest jeszcze "
          "1 wypełniony wiersz (pierwszy: 10), którego nie zaimportowano."},
         {},
         {{"DEKLARACJE", 1, "NAZWISKO", "Nowak"}}},
        {"header_only.xls",
         kExitInputProblem,
         -1,
         {"BŁĄD: Arkusz nie zawiera żadnej deklaracji, więc plik QDP nie został zapisany.",
          "Zapisane deklaracje: 0\nOstatni wiersz danych: 6\n"},
         {},
         {}},
        {"polish_dates.csv",
         kExitSuccess,
         2,
         {"- daty urodzenia niezgodne z numerem PESEL: 1"},
         {"8;F;Data_urodzenia;Nowak;60030512342;06.03.1960;Data urodzenia 06-03-1960 (pole "
          "DATA_UR) różni się od daty z numeru PESEL 60030512342: 05-03-1960;"},
         {{"DEKLARACJE", 0, "DATA_UR", "1960.03.05"},
          {"DEKLARACJE", 0, "DATA_PODPISANIA", "2025.09.01"},
          {"DEKLARACJE", 1, "DATA_UR", "1960.03.06"},
          {"DEKLARACJE", 1, "DATA_PODPISANIA", "2025.09.02"},
          {"ZGLASZAJACY", 0, "DATA_UR", "1961.04.06"}}},
        {"numbers.xls",
         kExitSuccess,
         2,
         {"- błędne numery PESEL: 2"},
         {"8;B;PESEL;Nowak;6003051234;6003051234;\"Numer PESEL ma 10 cyfr zamiast 11; pole PESEL "
          "zapisano tak, jak w arkuszu\";",
          "8;AE;PESEL_lek;Nowak;6003051234;7001011234X;\"Numer PESEL zawiera znaki inne niż "
          "cyfry;"},
         {{"DEKLARACJE", 0, "PESEL", "02270803624"},
          {"DEKLARACJE", 0, "KOD_POCZT_MEL", "03-470"},
          {"DEKLARACJE", 0, "KOD_POCZT_MIE", "12-345"},
          {"DEKLARACJE", 1, "PESEL", "6003051234"}}},
        {"total_row.ods",
         kExitSuccess,
         1,
         {"Pominięte wiersze (bez nazwiska i imienia): 1"},
         {"8;C;Nazwisko;;1;;Wiersz bez nazwiska i imienia (A: „Razem:”, B: „1”) nie jest "
          "deklaracją i nie został zapisany;"},
         {{"DEKLARACJE", 0, "KOD_DEKLARACJI", "1"}}},
        {"pasted.ods",
         kExitSuccess,
         2,
         {"- znaki spoza kodowania Windows-1250 (zastąpione): 2"},
         {"8;D;Imię;Жуков;60030512342;Muñoz;\"Znaki spoza kodowania Windows-1250 zastąpione w "
          "polu IMIE: „ñ” (U+00F1) jako „n”; zapisano „Munoz”\";"},
         {{"DEKLARACJE", 0, "NAZWISKO", "Kowalski"},
          {"DEKLARACJE", 0, "IMIE", "Jan"},
          {"DEKLARACJE", 1, "NAZWISKO", "?????"},
          {"DEKLARACJE", 1, "IMIE", "Munoz"}}},
        {"shifted.xls",
         kExitInputProblem,
         -1,
         {"BŁĄD: Kolumny od L do AL nie leżą tam, gdzie we wzorze deklaracji",
          "\nKolumna M (wiersz 6) ma nagłówek „Uczeń_student”, który we wzorze należy do "
          "kolumny L.\n"},
         {},
         {}},
        {"odd_header.ods",
         kExitSuccess,
         1,
         {"UWAGA: Możliwe przesunięcie kolumn: Kolumna Q (wiersz 6) ma nagłówek "
          "„Kod_poczt_zam”, który we wzorze należy do kolumny P."},
         {},
         {}},
        {"second_sheet.xlsx",
         kExitSuccess,
         1,
         {"Arkusz: 2 („Deklaracje”)",
          "UWAGA: Pierwszy arkusz skoroszytu nie ma nagłówka deklaracji w wierszu 6; "
          "zaimportowano arkusz nr 2 „Deklaracje”."},
         {},
         {{"DEKLARACJE", 0, "NAZWISKO", "Kowalski"}}},
        {"second_sheet.ods", kExitSuccess, 1, {"zaimportowano arkusz nr 2 „Deklaracje”."}, {}, {}},
        {"second_sheet.xls", kExitSuccess, 1, {"zaimportowano arkusz nr 2 „Deklaracje”."}, {}, {}},
        {"wrong_header.xls",
         kExitInputProblem,
         -1,
         {"-niewłaściwe nazwy kolumn\nKolumna D (wiersz 6): oczekiwano „Imię”, jest „Imie”.\n"},
         {},
         {}},
        {"empty.ods",
         kExitInputProblem,
         -1,
         {"„Arkusz1” skoroszytu", "jest pusty.\nDeklaracje muszą mieć nagłówek w wierszu 6"},
         {},
         {}},
        {"formula.xlsx",
         kExitSuccess,
         1,
         {"- formuły bez zapisanej wartości (przyjęto puste): 1"},
         {"7;E;Nazwisko_rodowe;Kowalski;60030512342;;\"formuła bez zapisanej wartości"},
         {{"DEKLARACJE", 0, "NAZWISKO_RODOWE", ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.workbook);
        const fs::path report = install_.root / (std::string(c.workbook) + ".csv");
        const CliRun result = import(sourceDir() / "xls2qdp/cli/testdata" / c.workbook,
                                     {"--report", report.string()});
        EXPECT_EQ(result.code, c.code) << result.err;
        for (const std::string& message : c.messages)
            EXPECT_THAT(result.err, ::testing::HasSubstr(message));
        const std::string csv = bytesOf(report);
        for (const std::string& line : c.reportLines)
            EXPECT_THAT(csv, ::testing::HasSubstr("\r\n" + line));
        if (c.declarations < 0) {
            EXPECT_TRUE(fs::is_empty(install_.outDir));
            EXPECT_EQ(result.out, "");
            continue;
        }
        const fs::path package = result.out.substr(0, result.out.find('\n'));
        ASSERT_TRUE(fs::exists(package)) << result.err;
        EXPECT_EQ(readSection(package, "DEKLARACJE").records.size(),
                  static_cast<std::size_t>(c.declarations));
        for (const Value& v : c.values)
            EXPECT_EQ(readSection(package, v.section).value(v.record, v.field), v.value)
                << v.section << " " << v.record << " " << v.field;
        fs::remove(package);
    }
}

// Settings as the profile functions read them, and checked before any work.
TEST_F(CliImportTest, SettingsAreReadWithoutBlanksAndQuotesAndChecked) {
    REQUIRE_QDPDUMP();
    install_.writeIni("[SYSTEM]\r\nNrInstalacji = 123456789 \r\nKodSwiadcz=\"000000012345\"\r\n"
                      "KodOddzialuNFZ= 06\r\nKodWojew=12\r\n");
    const CliRun good = import(fixture("declarations.xlsx"));
    ASSERT_EQ(good.code, kExitSuccess) << good.err;
    const fs::path package = good.out.substr(0, good.out.find('\n'));
    EXPECT_EQ(readSection(package, "DEKLARACJE").value(0, "NR_INSTALACJI"), "123456789");
    EXPECT_EQ(readSection(package, "INSTALACJA").value(0, "KOD_SWIADCZ"), "000000012345");
    fs::remove(package);

    install_.writeIni("[SYSTEM]\r\nNrInstalacji=1\r\nKodSwiadcz=abc\r\nKodOddzialuNFZ=99\r\n"
                      "KodWojew=XX\r\n");
    const CliRun bad = import(fixture("declarations.xlsx"));
    EXPECT_EQ(bad.code, kExitBadArgumentsOrSettings);
    EXPECT_THAT(bad.err, ::testing::HasSubstr("klucz: KodOddzialuNFZ\nWartość „99” jest błędna"));
    EXPECT_THAT(bad.err, ::testing::HasSubstr("klucz: KodWojew\nWartość „XX” jest błędna"));
    EXPECT_THAT(bad.err, ::testing::HasSubstr("klucz: KodSwiadcz\nWartość „abc” jest błędna"));
    EXPECT_TRUE(fs::is_empty(install_.outDir));

    // The first start without settings names the file looked for and the sample.
    fs::copy_file(sourceDir() / "xls2qdp/xls2qdp.INI.sample",
                  install_.programDir / "xls2qdp.INI.sample");
    fs::remove(install_.iniFile());
    const CliRun none = import(fixture("declarations.xlsx"));
    EXPECT_EQ(none.code, kExitBadArgumentsOrSettings);
    EXPECT_THAT(none.err,
                ::testing::HasSubstr(
                    "BŁĄD: Brak pliku INI: \n" + install_.iniFile().string() +
                    "\nWzór ustawień: " + (install_.programDir / "xls2qdp.INI.sample").string()));
    EXPECT_EQ(std::count(none.err.begin(), none.err.end(), ':') > 0, true);
    EXPECT_THAT(none.err, ::testing::Not(::testing::HasSubstr("klucz:")));
}

// Whatever would fail after every row was read is found out before the first.
TEST_F(CliImportTest, FoldersAndFilesAreCheckedBeforeAnyRowIsRead) {
    const fs::path aFile = install_.root / "plik.txt";
    std::ofstream(aFile) << "x";
    const struct {
        const char* name;
        std::vector<std::string> more;
        int code;
        std::string message;
    } cases[] = {
        {"--target names a file",
         {"--target", aFile.string()},
         kExitInputProblem,
         "Wskazany katalog nieistnieje !\n„" + aFile.string() + "” to plik, a nie katalog."},
        {"--target takes no file",
         {"--target", "/proc/self"},
         kExitInputProblem,
         "Nie można zapisać pliku QDP w katalogu „/proc/self”"},
        {"--report into a missing folder",
         {"--report", (install_.root / "brak" / "raport.csv").string()},
         kExitInputProblem,
         "Nie można zapisać raportu importu w pliku: " +
             (install_.root / "brak" / "raport.csv").string() + "\nKatalog „" +
             (install_.root / "brak").string() + "”: katalog nie istnieje."},
        {"--report names a folder",
         {"--report", install_.root.string()},
         kExitInputProblem,
         "To jest katalog, a nie plik."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments{"import", fixture("declarations.xlsx").string()};
        arguments.insert(arguments.end(), c.more.begin(), c.more.end());
        if (std::find(c.more.begin(), c.more.end(), "--target") == c.more.end()) {
            arguments.push_back("--target");
            arguments.push_back(install_.outDir.string());
        }
        const CliRun result = run(arguments);
        EXPECT_EQ(result.code, c.code) << result.err;
        EXPECT_THAT(result.err, ::testing::HasSubstr(c.message));
        EXPECT_THAT(result.err, ::testing::Not(::testing::HasSubstr("2. Odczytanych")));
        EXPECT_TRUE(fs::is_empty(install_.outDir));
    }

    // A working table that cannot be used is named with its path and the reason.
    std::ofstream(install_.programDir / "xls_imp.db", std::ios::trunc) << "not a table";
    const CliRun table = import(fixture("declarations.xlsx"));
    EXPECT_EQ(table.code, kExitBadArgumentsOrSettings);
    EXPECT_THAT(table.err,
                ::testing::HasSubstr("Wystąpił błąd podczas dostepu do pliku: xls_imp.db\nPlik: " +
                                     (install_.programDir / "xls_imp.db").string() + "\nPowód: "));
    EXPECT_THAT(table.err, ::testing::Not(::testing::HasSubstr("2. Odczytanych")));
}

} // namespace
} // namespace xls2qdp::cli
