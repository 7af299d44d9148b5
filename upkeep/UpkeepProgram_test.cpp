// SPDX-License-Identifier: MIT
// Drives the real upkeep program: arguments in, standard output and error
// bytes and exit code out (see ProgramHarness.h).
#include "ProgramHarness.h"
#include "RegistryDocument.h"
#include "UpkeepRun.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

namespace upkeep {
namespace {

using namespace testing_harness;

const std::string kFirmTree =
    crlf(kHeader + "[HKEY_CURRENT_USER\\Software]\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Firm]\n\"Val\"=\"x\"\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Firm\\A]\n@=\"a\"\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Firm\\A\\B]\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Firm\\C]\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"me\"\n\n");

const std::string kFirmDeleted =
    crlf(kHeader + "[HKEY_CURRENT_USER\\Software]\n\n"
                   "[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"me\"\n\n");

std::string blad(std::string_view message) {
    return crlf("\nBlad: " + std::string(message) + "\n\n");
}

struct Case {
    const char* title;
    std::vector<std::string> arguments;
    std::string expectedOutput; // "{dir}" stands for the test's folder
    int expectedExit;
    std::string registryBefore; // empty: no registry file
    std::string registryAfter;  // empty: the registry file is as before
    std::function<void(const fs::path&)> prepare = {};
    std::function<void(const fs::path&)> check = {};
    std::string expectedErrors = {}; // standard error; "{dir}" as above
};

const std::vector<Case>& cases() {
    static const std::vector<Case> table = {
        {"no arguments", {}, blad("Nie podano zadnej operacji do wykonania."), 1, "", ""},
        {"/delkey deletes a key tree",
         {"/delkey", "KEY:HKCU\\Software\\Firm"},
         "",
         0,
         kFirmTree,
         kFirmDeleted},
        {"-DELKEY", {"-DELKEY", "KEY:HKCU\\Software\\Firm"}, "", 0, kFirmTree, kFirmDeleted},
        {"DELKEY without prefix, root and path in any case",
         {"DELKEY", "key:hkcu\\SOFTWARE\\firm\\"},
         "",
         0,
         kFirmTree,
         kFirmDeleted},
        {"two operations",
         {"/DELKEY", "/SETKEY"},
         blad("Mozna wywolac tylko jedna operacje na raz. Niedozwolona operacja: SETKEY"),
         1,
         "",
         ""},
        {"BACKUP: after an operation",
         {"/SETINI", "/BACKUP:x"},
         blad("Mozna wywolac tylko jedna operacje na raz. Niedozwolona operacja: BACKUP:"),
         1,
         "",
         ""},
        {"SETKEY takes the value name from KEY:",
         {"/SETKEY", "/KEY:HKLM\\Software\\Firm\\Val", "/VALUE:x"},
         "",
         0,
         "",
         crlf(kHeader + "[HKEY_LOCAL_MACHINE\\Software]\n\n"
                        "[HKEY_LOCAL_MACHINE\\Software\\Firm]\n\"Val\"=\"x\"\n\n")},
        {"SETKEY with a trailing \\ sets the default value",
         {"/SETKEY", "/KEY:HKLM\\Software\\Firm\\", "/VALUE:x"},
         "",
         0,
         "",
         crlf(kHeader + "[HKEY_LOCAL_MACHINE\\Software]\n\n"
                        "[HKEY_LOCAL_MACHINE\\Software\\Firm]\n@=\"x\"\n\n")},
        {"SETKEY with NAME: keeps the path whole and the values' case",
         {"/SETKEY", "/KEY:HKCU\\software\\FIRM", "/NAME:VAL", "/VALUE:New \"Value\" C:\\x"},
         "",
         0,
         kFirmTree,
         crlf(kHeader +
              "[HKEY_CURRENT_USER\\Software]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Firm]\n\"Val\"=\"New \\\"Value\\\" C:\\\\x\"\n\n"
              "[HKEY_CURRENT_USER\\Software\\Firm\\A]\n@=\"a\"\n\n"
              "[HKEY_CURRENT_USER\\Software\\Firm\\A\\B]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Firm\\C]\n\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"me\"\n\n")},
        {"SETKEY without VALUE: sets an empty string",
         {"/SETKEY", "/KEY:HKCU\\Software\\Other", "/NAME:Keep"},
         "",
         0,
         kFirmDeleted,
         crlf(kHeader + "[HKEY_CURRENT_USER\\Software]\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"\"\n\n")},
        {"SETKEY of a key that cannot be created",
         {"/SETKEY", "/KEY:HKCU\\Software\\\\Firm", "/NAME:x"},
         crlf("Error: 3\n"),
         3,
         "",
         ""},
        {"SETKEY of a value with a line break",
         {"/SETKEY", "/KEY:HKCU\\Software\\Other", "/NAME:Keep", "/VALUE:a\nb"},
         crlf("Blad: Failed to set data for 'Keep'\n"),
         1,
         kFirmDeleted,
         ""},
        {"DELKEY with NAME: deletes one value",
         {"/DELKEY", "/KEY:HKCU\\Software\\Firm", "/NAME:val"},
         "",
         0,
         kFirmTree,
         crlf(kHeader + "[HKEY_CURRENT_USER\\Software]\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Firm]\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Firm\\A]\n@=\"a\"\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Firm\\A\\B]\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Firm\\C]\n\n"
                        "[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"me\"\n\n")},
        {"DELKEY of a missing value",
         {"/DELKEY", "/KEY:HKCU\\Software\\Firm", "/NAME:None"},
         crlf("Error: 2\n"),
         2,
         kFirmTree,
         ""},
        {"DELKEY of a missing key",
         {"/DELKEY", "/KEY:HKCU\\Software\\None"},
         crlf("Error: 2\n"),
         2,
         kFirmTree,
         ""},
        {"DELKEY without a registry file",
         {"/DELKEY", "/KEY:HKCU\\Software\\None"},
         crlf("Error: 2\n"),
         2,
         "",
         ""},
        {"DELKEY of a whole root is refused",
         {"/DELKEY", "/KEY:HKCU\\"},
         blad("Nie mozna usunac calego klucza glownego podanego w parametrze KEY:"),
         1,
         kFirmTree,
         ""},
        {"DELKEY of a whole root written with two \\",
         {"/DELKEY", "/KEY:HKCU\\\\"},
         blad("Nie mozna usunac calego klucza glownego podanego w parametrze KEY:"),
         1,
         kFirmTree,
         ""},
        {"KEY: without a root",
         {"/DELKEY", "/KEY:Software\\Firm"},
         blad("Nieprawidlowa nazwa klucza glownego podanego w parametrze KEY:"),
         1,
         "",
         ""},
        {"KEY: with a root alone",
         {"/DELKEY", "/KEY:HKLM"},
         blad("Nieprawidlowa nazwa klucza glownego podanego w parametrze KEY:"),
         1,
         "",
         ""},
        {"KEY: with an unknown root",
         {"/SETKEY", "/KEY:HKXX\\Software"},
         blad("Nieprawidlowa nazwa klucza glownego podanego w parametrze KEY:"),
         1,
         "",
         ""},
        {"DELKEY without KEY:",
         {"/DELKEY", "/NAME:x"},
         blad("Nie podano parametru KEY: wymaganego dla operacji DELKEY"),
         1,
         "",
         ""},
        {"SETKEY without KEY:",
         {"/SETKEY"},
         blad("Nie podano parametru KEY: wymaganego dla operacji SETKEY"),
         1,
         "",
         ""},
        {"KEY: twice with an operation between",
         {"/KEY:HKCU\\a", "/DELKEY", "/KEY:HKCU\\b"},
         blad("Wielokrotne podanie parametru KEY:"),
         1,
         "",
         ""},
        {"empty KEY:",
         {"/SETKEY", "/KEY:"},
         blad("Nie podano wymaganej wartosci w parametrze KEY:"),
         1,
         "",
         ""},
        {"empty VALUE:",
         {"/SETINI", "/VALUE:"},
         blad("Nie podano wymaganej wartosci w parametrze VALUE:"),
         1,
         "",
         ""},
        {"a broken registry file is reported and kept: the key did not open",
         {"/SETKEY", "/KEY:HKCU\\a\\b"},
         crlf("Error: 3\n"),
         3,
         crlf(kHeader + "[HKEY_NOWHERE\\x]\n"),
         "",
         {},
         {},
         crlf("Blad: Nieprawidlowy plik rejestru {dir}/registry.reg, wiersz 3: nieznany klucz "
              "glowny (plik pozostawiono bez zmian)\n")},
        {"SETINI with only FILE:",
         {"/SETINI", "/FILE:x.ini"},
         blad("\nNie podano parametru SECTION: wymaganego dla operacji SETINI\n"
              "Nie podano parametru NAME: wymaganego dla operacji SETINI"),
         1,
         "",
         ""},
        {"SETINI with only SECTION:",
         {"/SETINI", "/SECTION:S"},
         blad("Nie podano parametru FILE: wymaganego dla operacji SETINI\n"
              "Nie podano parametru NAME: wymaganego dla operacji SETINI"),
         1,
         "",
         ""},
        {"DELINI without anything",
         {"/DELINI"},
         blad("Nie podano parametru FILE: wymaganego dla operacji DELINI\n"
              "Nie podano parametru SECTION: wymaganego dla operacji DELINI"),
         1,
         "",
         ""},
        {"SETINI creates the file",
         {"/SETINI", "/FILE:new.ini", "/SECTION:Main", "/NAME:Key", "/VALUE:Value"},
         "",
         0,
         "",
         "",
         {},
         [](const fs::path& dir) {
             EXPECT_EQ(readFile(dir / "new.ini"), "[Main]\r\nKey=Value\r\n");
         }},
        {"SETINI changes one entry and keeps the rest",
         {"/SETINI", "/FILE:app.ini", "/SECTION:system", "/NAME:kodwojew", "/VALUE:14"},
         "",
         0,
         "",
         "",
         [](const fs::path& dir) {
             writeFile(dir / "app.ini", "; settings\n[SYSTEM]\nKodWojew = 12\nNrInstalacji=7\n");
         },
         [](const fs::path& dir) {
             EXPECT_EQ(readFile(dir / "app.ini"),
                       "; settings\n[SYSTEM]\nKodWojew=14\nNrInstalacji=7\n");
         }},
        {"SETINI through a link keeps the link",
         {"/SETINI", "/FILE:link.ini", "/SECTION:S", "/NAME:k", "/VALUE:2"},
         "",
         0,
         "",
         "",
         [](const fs::path& dir) {
             writeFile(dir / "real.ini", "[S]\r\nk=1\r\n");
             fs::create_symlink("real.ini", dir / "link.ini");
         },
         [](const fs::path& dir) {
             EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
             EXPECT_EQ(readFile(dir / "real.ini"), "[S]\r\nk=2\r\n");
         }},
        {"SETINI on a folder",
         {"/SETINI", "/FILE:sub/../folder.ini", "/SECTION:S", "/NAME:k"},
         crlf("Error: 5\n"),
         5,
         "",
         "",
         [](const fs::path& dir) { fs::create_directory(dir / "folder.ini"); },
         {},
         crlf("Blad: {dir}/folder.ini nie jest zwyklym plikiem (katalog)\n")},
        {"SETINI refuses a line break in the value",
         {"/SETINI", "/FILE:a.ini", "/SECTION:S", "/NAME:k", "/VALUE:1\r\n[Other]"},
         crlf("Blad: Unable to write to {dir}/a.ini (znak konca wiersza w nazwie lub wartosci)\n"),
         1,
         "",
         "",
         {},
         [](const fs::path& dir) { EXPECT_FALSE(fs::exists(dir / "a.ini")); }},
        {"DELINI with NAME: deletes the entry",
         {"/DELINI", "/FILE:app.ini", "/SECTION:S", "/NAME:b"},
         "",
         0,
         "",
         "",
         [](const fs::path& dir) {
             writeFile(dir / "app.ini", "[S]\r\na=1\r\nb=2\r\n[T]\r\nb=3\r\n");
         },
         [](const fs::path& dir) {
             EXPECT_EQ(readFile(dir / "app.ini"), "[S]\r\na=1\r\n[T]\r\nb=3\r\n");
         }},
        {"DELINI without NAME: erases the section",
         {"/DELINI", "/FILE:app.ini", "/SECTION:s"},
         "",
         0,
         "",
         "",
         [](const fs::path& dir) {
             writeFile(dir / "app.ini", "[S]\r\na=1\r\nb=2\r\n[T]\r\nb=3\r\n");
         },
         [](const fs::path& dir) { EXPECT_EQ(readFile(dir / "app.ini"), "[T]\r\nb=3\r\n"); }},
        {"DELINI in a missing file creates nothing",
         {"/DELINI", "/FILE:none/missing.ini", "/SECTION:S", "/NAME:k"},
         "",
         0,
         "",
         "",
         {},
         [](const fs::path& dir) { EXPECT_FALSE(fs::exists(dir / "none")); }},
        {"BACKUP: takes the first free number",
         {"/BACKUP:data.db"},
         "",
         0,
         "",
         "",
         [](const fs::path& dir) {
             writeFile(dir / "data.db", "payload");
             writeFile(dir / "data.db.001", "one");
             writeFile(dir / "data.db.002", "two");
         },
         [](const fs::path& dir) {
             EXPECT_EQ(readFile(dir / "data.db.003"), "payload");
             EXPECT_EQ(readFile(dir / "data.db.001"), "one");
             EXPECT_EQ(readFile(dir / "data.db"), "payload");
         }},
        {"BACKUP: skips a taken name that is no file",
         {"-backup:data.db"},
         "",
         0,
         "",
         "",
         [](const fs::path& dir) {
             writeFile(dir / "data.db", "payload");
             fs::create_directory(dir / "data.db.001");
         },
         [](const fs::path& dir) { EXPECT_EQ(readFile(dir / "data.db.002"), "payload"); }},
        {"BACKUP: makes a read-only source writable by its owner",
         {"/BACKUP:ro.db"},
         "",
         0,
         "",
         "",
         [](const fs::path& dir) {
             writeFile(dir / "ro.db", "payload");
             fs::permissions(dir / "ro.db", fs::perms::owner_read | fs::perms::group_read);
         },
         [](const fs::path& dir) {
             EXPECT_EQ(fs::status(dir / "ro.db").permissions(),
                       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
             EXPECT_EQ(fs::status(dir / "ro.db.001").permissions(),
                       fs::perms::owner_read | fs::perms::group_read);
         }},
        {"BACKUP: with all 999 names taken leaves the source untouched",
         {"/BACKUP:full.db"},
         crlf("Error: 6\n"),
         6,
         "",
         "",
         [](const fs::path& dir) {
             writeFile(dir / "full.db", "x");
             fs::permissions(dir / "full.db", fs::perms::owner_read);
             for (int n = 1; n <= 999; ++n) {
                 char name[16];
                 std::snprintf(name, sizeof name, "full.db.%03d", n);
                 writeFile(dir / name, "");
             }
         },
         [](const fs::path& dir) {
             EXPECT_EQ(fs::status(dir / "full.db").permissions(), fs::perms::owner_read);
         }},
        {"BACKUP: of a missing file", {"/BACKUP:missing.db"}, crlf("Error: 6\n"), 6, "", ""},
        {"BACKUP: of a folder", {"/BACKUP:."}, crlf("Error: 6\n"), 6, "", ""},
        {"BACKUP: without a file",
         {"/BACKUP:"},
         blad("Nie podano nazwy pliku do zarchiwizowania."),
         1,
         "",
         ""},
        {"FILE: then BACKUP: backs up the BACKUP: file",
         {"/FILE:other.db", "/BACKUP:data.db"},
         "",
         0,
         "",
         "",
         [](const fs::path& dir) { writeFile(dir / "data.db", "payload"); },
         [](const fs::path& dir) {
             EXPECT_TRUE(fs::exists(dir / "data.db.001"));
             EXPECT_FALSE(fs::exists(dir / "other.db.001"));
         }},
        {"BACKUP: then FILE:",
         {"/BACKUP:data.db", "/FILE:other.db"},
         blad("Wielokrotne podanie parametru FILE:"),
         1,
         "",
         ""},
        {"RUNERR: 3", {"/RUNERR:3"}, "", 3, "", ""},
        {"RUNERR: -5 keeps the low 16 bits", {"/RUNERR:-5"}, "", 65531, "", ""},
        {"RUNERR: 70000", {"/RUNERR:70000"}, "", 4464, "", ""},
        {"RUNERR: $10", {"/RUNERR:$10"}, "", 16, "", ""},
        {"RUNERR: x1F", {"/runerr:x1F"}, "", 31, "", ""},
        {"RUNERR: 0x100", {"-RUNERR:0x100"}, "", 256, "", ""},
        {"RUNERR: blanks and sign", {"/RUNERR:  +7"}, "", 7, "", ""},
        {"RUNERR: $FFFFFFFF", {"/RUNERR:$FFFFFFFF"}, "", 65535, "", ""},
        {"RUNERR: lowest 32-bit number", {"/RUNERR:-2147483648"}, "", 0, "", ""},
        {"RUNERR: abc", {"/RUNERR:abc"}, blad("Podano zly kod errorlevel: abc"), 1, "", ""},
        {"RUNERR: overflow",
         {"/RUNERR:2147483648"},
         blad("Podano zly kod errorlevel: 2147483648"),
         1,
         "",
         ""},
        {"RUNERR: hexadecimal overflow",
         {"/RUNERR:$100000000"},
         blad("Podano zly kod errorlevel: $100000000"),
         1,
         "",
         ""},
        {"RUNERR: empty", {"/RUNERR:"}, blad("Podano zly kod errorlevel: "), 1, "", ""},
        {"RUNERR: trailing blank",
         {"/RUNERR:3 "},
         blad("Podano zly kod errorlevel: 3 "),
         1,
         "",
         ""},
        {"RUNERR: prefix alone", {"/RUNERR:0x"}, blad("Podano zly kod errorlevel: 0x"), 1, "", ""},
        {"unknown argument", {"/FOO"}, blad("Bledny parametr wywolania: /FOO"), 1, "", ""},
        {"unknown argument stops the reading",
         {"-Foo", "/FOO"},
         blad("Bledny parametr wywolania: -Foo"),
         1,
         "",
         ""},
        {"a lone slash", {"/VERSION", "/"}, blad("Bledny parametr wywolania: /"), 1, "", ""},
        {"parameters an operation does not use are ignored",
         {"/VERSION", "/FILE:x", "/NAME:y"},
         crlf("\nInformacje o wersji systemu i modulu:\n\n"
              "   System: OBSLUGA 2.00.0001, modul: UPKEEP 3.0700.\n\n"),
         0,
         "",
         ""},
        {"usage",
         {"/?"},
         "\r\n"
         "UPKEEP - Program narzedziowy do wykonywania operacji serwisowych:\r\n"
         "   Rejestr i pliki INI: kasowanie / ustawianie kluczy;\r\n"
         "   kopia zapasowa pliku; wywolanie kodu errorlevel.\r\n"
         "\r\n"
         "Dostepne wywolania:\r\n"
         "1: UPKEEP /DELKEY /KEY:<hkey_root_key>\\<klucz rejestru>[\\]\r\n"
         "     [/NAME:<nazwa wartosci w kluczu>]\r\n"
         "2: UPKEEP /SETKEY /KEY:<hkey_root_key>\\<klucz rejestru>[\\]\r\n"
         "     [/NAME:<nazwa wartosci w kluczu>] [/VALUE:<nowa wartosc>]\r\n"
         "3: UPKEEP /DELINI /FILE:<plik INI> /SECTION:<sekcja w pliku INI>\r\n"
         "     [/NAME:<klucz w pliku INI>]\r\n"
         "4: UPKEEP /SETINI /FILE:<plik INI> /SECTION:<sekcja w pliku INI>\r\n"
         "     /NAME:<klucz w pliku INI> [/VALUE:<nowa wartosc>]\r\n"
         "5: UPKEEP /BACKUP:<nazwa pliku>\r\n"
         "6: UPKEEP /RUNERR:<kod errorlevel>\r\n"
         "7: UPKEEP {/? | /VERSION}\r\n"
         "\r\n"
         "Dozwolone klucze glowne rejestru w parametrze <hkey_root_key>:\r\n"
         "   HKEY_CLASSES_ROOT (lub HKCR), HKEY_CURRENT_USER (lub HKCU), \r\n"
         "   HKEY_LOCAL_MACHINE (lub HKLM), HKEY_USERS (lub HKU), \r\n"
         "   HKEY_PERFORMANCE_DATA (lub HKPD), HKEY_CURRENT_CONFIG (lub HKCC), \r\n"
         "   HKEY_DYN_DATA (lub HKDD).\r\n"
         "\r\n",
         0,
         "",
         ""},
        {"version",
         {"version"},
         "\r\nInformacje o wersji systemu i modulu:\r\n\r\n"
         "   System: OBSLUGA 2.00.0001, modul: UPKEEP 3.0700.\r\n\r\n",
         0,
         "",
         ""},
    };
    return table;
}

TEST_F(UpkeepProgram, ArgumentsToOutputAndExitCode) {
    for (const auto& row : cases()) {
        SCOPED_TRACE(row.title);
        TearDown();
        fs::create_directories(folder);
        if (!row.registryBefore.empty()) writeFile(registry, row.registryBefore);
        if (row.prepare) row.prepare(folder);

        const auto result = runProgram(row.arguments, folder);

        expectPrinted(result, row.expectedOutput, row.expectedErrors, folder);
        // The system keeps only the low 8 bits of an exit status; the full
        // 16-bit code is checked in-process below.
        EXPECT_EQ(result.exitCode, row.expectedExit & 0xFF);
        if (row.expectedExit > 0xFF) {
            EXPECT_EQ(runUpkeep(row.arguments).exitCode, row.expectedExit);
        }

        const auto& registryAfter =
            row.registryAfter.empty() ? row.registryBefore : row.registryAfter;
        if (registryAfter.empty()) {
            EXPECT_FALSE(fs::exists(registry));
        } else {
            EXPECT_EQ(readFile(registry), registryAfter);
        }
        if (row.check) row.check(folder);
        expectNoTemporaryFiles(folder);
    }
}

// Twenty runs at once, each setting its own registry value and twenty more
// each setting its own INI entry, all in the same two files: every change must
// survive.
TEST_F(UpkeepProgram, ConcurrentRunsKeepEveryChange) {
    constexpr int kRuns = 20;
    writeFile(folder / "shared.ini", "; shared by every run\r\n[Other]\r\nx=1\r\n");
    const int devNull = open("/dev/null", O_WRONLY);
    std::vector<pid_t> pids;
    for (int i = 0; i < kRuns; ++i) {
        const auto n = std::to_string(i);
        pids.push_back(startProgram(
            {"/SETKEY", "/KEY:HKCU\\Software\\Shared", "/NAME:value" + n, "/VALUE:" + n}, folder,
            devNull));
        pids.push_back(startProgram(
            {"/SETINI", "/FILE:shared.ini", "/SECTION:Runs", "/NAME:entry" + n, "/VALUE:" + n},
            folder, devNull));
    }
    for (const pid_t pid : pids)
        EXPECT_EQ(waitForExit(pid), 0);
    close(devNull);

    auto parsed = RegistryDocument::parse(readFile(registry));
    ASSERT_TRUE(std::holds_alternative<RegistryDocument>(parsed));
    auto& document = std::get<RegistryDocument>(parsed);
    RegistryKeyNode* shared = document.find(RegistryRoot::CurrentUser, {"Software", "Shared"});
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->values().size(), static_cast<std::size_t>(kRuns));
    const auto ini = readFile(folder / "shared.ini");
    EXPECT_TRUE(ini.starts_with("; shared by every run\r\n[Other]\r\nx=1\r\n\r\n[Runs]\r\n"))
        << ini;
    for (int i = 0; i < kRuns; ++i) {
        const auto n = std::to_string(i);
        const RegistryValue* value = shared->findValue("value" + n);
        ASSERT_NE(value, nullptr) << n;
        EXPECT_EQ(value->data, n);
        EXPECT_NE(ini.find("\r\nentry" + n + "=" + n + "\r\n"), std::string::npos) << n;
    }
}

// A write that fails half-way (here: the file-size limit, as a full disk would)
// ends the run with the system's reason and leaves the old file whole.
TEST_F(UpkeepProgram, FailedWriteLeavesOldFileWhole) {
    const std::string ini = "[S]\r\nk=1\r\n";
    const std::string reg = crlf(kHeader + "[HKEY_CURRENT_USER\\Firm]\n\"v\"=\"1\"\n\n");
    writeFile(folder / "a.ini", ini);
    // A hard-linked file is written in place.
    writeFile(folder / "linked.ini", ini);
    fs::create_hard_link(folder / "linked.ini", folder / "other.ini");
    writeFile(registry, reg);
    const std::string big(64 * 1024, 'x');
    const auto iniPath = (folder / "a.ini").string();
    const auto linkedPath = (folder / "linked.ini").string();

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::vector<std::string> setIni = {"/SETINI", "/FILE:" + iniPath, "/SECTION:S", "/NAME:k",
                                             "/VALUE:" + big};
    const std::vector<std::string> setKey = {"/SETKEY", "/KEY:HKCU\\Firm", "/NAME:v",
                                             "/VALUE:" + big};
    const auto iniResult = runUpkeep(setIni);
    const std::vector<std::string> setLinked = {"/SETINI", "/FILE:" + linkedPath, "/SECTION:S",
                                                "/NAME:k", "/VALUE:" + big};
    const auto linkedResult = runUpkeep(setLinked);
    const auto keyResult = runUpkeep(setKey);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(iniResult.exitCode, 1);
    EXPECT_EQ(iniResult.output,
              "Blad: Unable to write to " + iniPath + " (" + iniPath + ": File too large)\r\n");
    // A registry file that cannot be written counts as a key that did not open.
    EXPECT_EQ(keyResult.exitCode, 3);
    EXPECT_EQ(keyResult.output, "Error: 3\r\n");
    EXPECT_EQ(keyResult.errors, "Blad: " + registry.string() + ": File too large\r\n");
    EXPECT_EQ(linkedResult.exitCode, 1);
    EXPECT_EQ(linkedResult.output, "Blad: Unable to write to " + linkedPath + " (" + linkedPath +
                                       ": File too large)\r\n");
    EXPECT_EQ(readFile(folder / "a.ini"), ini);
    EXPECT_EQ(readFile(folder / "linked.ini"), ini);
    EXPECT_EQ(readFile(folder / "other.ini"), ini);
    EXPECT_EQ(readFile(registry), reg);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
}

// A registry file written by the tool is registry-export text that reads back
// into the same keys and values and is written again byte for byte.
TEST_F(UpkeepProgram, RegistryFileRoundTrip) {
    const std::vector<std::vector<std::string>> runs = {
        {"/SETKEY", "/KEY:HKCU\\Software\\Firm\\Path", "/VALUE:C:\\Program Files\\Firm"},
        {"/SETKEY", "/KEY:HKLM\\Software\\Firm\\", "/VALUE:say \"hi\""},
        {"/SETKEY", "/KEY:HKCR\\.qdp", "/NAME:Content Type", "/VALUE:application/x-qdp"},
        {"/SETKEY", "/KEY:HKCU\\Software\\Firm\\Zażółć", "/NAME:Gęśla", "/VALUE:jaźń ]["},
        {"/SETKEY", "/KEY:HKU\\.DEFAULT\\Empty\\"},
        {"/SETKEY", "/KEY:HKCC\\a", "/NAME:@", "/VALUE:@"},
    };
    for (const auto& arguments : runs)
        ASSERT_EQ(runProgram(arguments, folder).exitCode, 0);

    const auto written = readFile(registry);
    ASSERT_TRUE(written.starts_with("Windows Registry Editor Version 5.00\r\n\r\n"));
    auto parsed = RegistryDocument::parse(written);
    ASSERT_TRUE(std::holds_alternative<RegistryDocument>(parsed))
        << std::get<RegistryParseError>(parsed).message;
    auto& document = std::get<RegistryDocument>(parsed);
    EXPECT_EQ(document.format(), written);

    const RegistryKeyNode* firm = document.find(RegistryRoot::CurrentUser, {"SOFTWARE", "firm"});
    ASSERT_NE(firm, nullptr);
    EXPECT_EQ(firm->values().at(0).name, "Path");
    EXPECT_EQ(firm->values().at(0).data, "C:\\Program Files\\Firm");
    RegistryKeyNode* polish =
        document.find(RegistryRoot::CurrentUser, {"Software", "Firm", "ZAŻÓŁĆ"});
    ASSERT_NE(polish, nullptr);
    ASSERT_NE(polish->findValue("GĘŚLA"), nullptr);
    EXPECT_EQ(polish->findValue("GĘŚLA")->data, "jaźń ][");
    RegistryKeyNode* machine = document.find(RegistryRoot::LocalMachine, {"Software", "Firm"});
    ASSERT_NE(machine, nullptr);
    ASSERT_NE(machine->findValue(""), nullptr);
    EXPECT_EQ(machine->findValue("")->data, "say \"hi\"");
    EXPECT_NE(document.find(RegistryRoot::Users, {".DEFAULT", "Empty"}), nullptr);
    ASSERT_NE(document.find(RegistryRoot::CurrentConfig, {"a"}), nullptr);
    EXPECT_NE(document.find(RegistryRoot::CurrentConfig, {"a"})->findValue("@"), nullptr);

    // A run that changes nothing but reads the file leaves it byte for byte.
    EXPECT_EQ(runProgram({"/DELKEY", "/KEY:HKCU\\Software\\None"}, folder).exitCode, 2);
    EXPECT_EQ(readFile(registry), written);
}

} // namespace
} // namespace upkeep
