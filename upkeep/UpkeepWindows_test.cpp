// SPDX-License-Identifier: MIT
// Windows: the real upkeep.exe against the system's own registry and profile
// functions, for the cases of UpkeepProgram_test: arguments in, standard
// output and error bytes and the whole 16-bit exit code out (the process
// exit code carries all of it there). Registry keys live under
// Software\UpkeepTest of HKCU and HKLM, removed after every case.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>
#include <windows.h>

namespace {

namespace fs = std::filesystem;

struct ProgramResult {
    std::string output;
    std::string errors;
    DWORD exitCode = 0xFFFFFFFF;
};

// One argument as the C runtime's command-line parser reads it back.
std::string quoted(const std::string& argument) {
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

std::string readAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    ::CloseHandle(pipe);
    return text;
}

fs::path programFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path();
}

ProgramResult runProgram(const std::vector<std::string>& arguments, const fs::path& folder) {
    const std::string program = (programFolder() / "upkeep.exe").string();
    std::string commandLine = quoted(program);
    for (const auto& argument : arguments) {
        commandLine += ' ';
        commandLine += quoted(argument);
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    ::CreatePipe(&outRead, &outWrite, &inherit, 0);
    ::CreatePipe(&errRead, &errWrite, &inherit, 0);
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    const std::string workingFolder = folder.string();
    const BOOL started =
        ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         workingFolder.c_str(), &startup, &process);
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    ProgramResult result;
    // The program's messages are short: each fits its pipe.
    result.output = readAll(outRead);
    result.errors = readAll(errRead);
    if (!started) return result;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &result.exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return result;
}

// --- The real registry -----------------------------------------------------

constexpr const char* kTestKey = "Software\\UpkeepTest";

bool keyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

std::optional<std::string> valueOf(HKEY root, const std::string& path, const std::string& name) {
    char data[1024];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (::RegGetValueA(root, path.c_str(), name.c_str(), RRF_RT_ANY, &type, data, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::string(data, size > 0 ? size - 1 : 0);
}

void setValue(HKEY root, const std::string& path, const std::string& name,
              const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(key);
}

void makeKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ::RegCloseKey(key);
}

const std::string kFirm = std::string(kTestKey) + "\\Firm";
const std::string kOther = std::string(kTestKey) + "\\Other";

// The tree of the POSIX table: Firm with a value and subkeys, Other beside it.
void makeFirmTree(const fs::path&) {
    setValue(HKEY_CURRENT_USER, kFirm, "Val", "x");
    setValue(HKEY_CURRENT_USER, kFirm + "\\A", "", "a");
    makeKey(HKEY_CURRENT_USER, kFirm + "\\A\\B");
    makeKey(HKEY_CURRENT_USER, kFirm + "\\C");
    setValue(HKEY_CURRENT_USER, kOther, "Keep", "me");
}

void expectFirmDeleted(const fs::path&) {
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kFirm));
    EXPECT_EQ(valueOf(HKEY_CURRENT_USER, kOther, "Keep"), "me");
}

// --- Files -------------------------------------------------------------------

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

DWORD attributesOf(const fs::path& path) {
    return ::GetFileAttributesA(path.string().c_str());
}

std::string crlf(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string blad(std::string_view message) {
    return crlf("\nBlad: " + std::string(message) + "\n\n");
}

const std::string kUsage =
    crlf("\n"
         "UPKEEP - Program narzedziowy do wykonywania operacji serwisowych:\n"
         "   Rejestr i pliki INI: kasowanie / ustawianie kluczy;\n"
         "   kopia zapasowa pliku; wywolanie kodu errorlevel.\n"
         "\n"
         "Dostepne wywolania:\n"
         "1: UPKEEP /DELKEY /KEY:<hkey_root_key>\\<klucz rejestru>[\\]\n"
         "     [/NAME:<nazwa wartosci w kluczu>]\n"
         "2: UPKEEP /SETKEY /KEY:<hkey_root_key>\\<klucz rejestru>[\\]\n"
         "     [/NAME:<nazwa wartosci w kluczu>] [/VALUE:<nowa wartosc>]\n"
         "3: UPKEEP /DELINI /FILE:<plik INI> /SECTION:<sekcja w pliku INI>\n"
         "     [/NAME:<klucz w pliku INI>]\n"
         "4: UPKEEP /SETINI /FILE:<plik INI> /SECTION:<sekcja w pliku INI>\n"
         "     /NAME:<klucz w pliku INI> [/VALUE:<nowa wartosc>]\n"
         "5: UPKEEP /BACKUP:<nazwa pliku>\n"
         "6: UPKEEP /RUNERR:<kod errorlevel>\n"
         "7: UPKEEP {/? | /VERSION}\n"
         "\n"
         "Dozwolone klucze glowne rejestru w parametrze <hkey_root_key>:\n"
         "   HKEY_CLASSES_ROOT (lub HKCR), HKEY_CURRENT_USER (lub HKCU), \n"
         "   HKEY_LOCAL_MACHINE (lub HKLM), HKEY_USERS (lub HKU), \n"
         "   HKEY_PERFORMANCE_DATA (lub HKPD), HKEY_CURRENT_CONFIG (lub HKCC), \n"
         "   HKEY_DYN_DATA (lub HKDD).\n"
         "\n");

struct Case {
    const char* title;
    std::vector<std::string> arguments;
    std::string expectedOutput; // "{dir}" stands for the test's folder
    DWORD expectedExit;
    std::function<void(const fs::path&)> prepare = {};
    std::function<void(const fs::path&)> check = {};
    std::string expectedErrors = {};
};

const std::vector<Case>& cases() {
    static const std::vector<Case> table = {
        {"no arguments", {}, blad("Nie podano zadnej operacji do wykonania."), 1},
        {"/delkey deletes a key tree",
         {"/delkey", "KEY:HKCU\\Software\\UpkeepTest\\Firm"},
         "",
         0,
         makeFirmTree,
         expectFirmDeleted},
        {"DELKEY without prefix, root and path in any case",
         {"DELKEY", "key:hkcu\\SOFTWARE\\upkeeptest\\firm\\"},
         "",
         0,
         makeFirmTree,
         expectFirmDeleted},
        {"two operations",
         {"/DELKEY", "-SETKEY"},
         blad("Mozna wywolac tylko jedna operacje na raz. Niedozwolona operacja: SETKEY"),
         1},
        {"-DELKEY",
         {"-DELKEY", "KEY:HKCU\\Software\\UpkeepTest\\Firm"},
         "",
         0,
         makeFirmTree,
         expectFirmDeleted},
        {"BACKUP: after an operation",
         {"/SETINI", "/BACKUP:x"},
         blad("Mozna wywolac tylko jedna operacje na raz. Niedozwolona operacja: BACKUP:"),
         1},
        {"SETKEY takes the value name from KEY:",
         {"/SETKEY", "/KEY:HKLM\\Software\\UpkeepTest\\Firm\\Val", "/VALUE:x"},
         "",
         0,
         {},
         [](const fs::path&) { EXPECT_EQ(valueOf(HKEY_LOCAL_MACHINE, kFirm, "Val"), "x"); }},
        {"SETKEY with a trailing \\ sets the default value",
         {"/SETKEY", "/KEY:HKLM\\Software\\UpkeepTest\\Firm\\", "/VALUE:x"},
         "",
         0,
         {},
         [](const fs::path&) { EXPECT_EQ(valueOf(HKEY_LOCAL_MACHINE, kFirm, ""), "x"); }},
        {"SETKEY with NAME: keeps the path whole and the value as written",
         {"/SETKEY", "/KEY:HKCU\\software\\UPKEEPTEST\\FIRM", "/NAME:VAL",
          "/VALUE:New \"Value\" C:\\x"},
         "",
         0,
         makeFirmTree,
         [](const fs::path&) {
             EXPECT_EQ(valueOf(HKEY_CURRENT_USER, kFirm, "Val"), "New \"Value\" C:\\x");
             EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kFirm + "\\A\\B"));
         }},
        {"SETKEY without VALUE: sets an empty string",
         {"/SETKEY", "/KEY:HKCU\\Software\\UpkeepTest\\Other", "/NAME:Keep"},
         "",
         0,
         makeFirmTree,
         [](const fs::path&) { EXPECT_EQ(valueOf(HKEY_CURRENT_USER, kOther, "Keep"), ""); }},
        // The registry file of other systems cannot hold a line break; the
        // registry itself stores the value whole.
        {"SETKEY of a value with a line break",
         {"/SETKEY", "/KEY:HKCU\\Software\\UpkeepTest\\Other", "/NAME:Keep", "/VALUE:a\nb"},
         "",
         0,
         makeFirmTree,
         [](const fs::path&) { EXPECT_EQ(valueOf(HKEY_CURRENT_USER, kOther, "Keep"), "a\nb"); }},
        {"DELKEY with NAME: deletes one value",
         {"/DELKEY", "/KEY:HKCU\\Software\\UpkeepTest\\Firm", "/NAME:val"},
         "",
         0,
         makeFirmTree,
         [](const fs::path&) {
             EXPECT_EQ(valueOf(HKEY_CURRENT_USER, kFirm, "Val"), std::nullopt);
             EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kFirm + "\\A\\B"));
         }},
        {"DELKEY of a missing value",
         {"/DELKEY", "/KEY:HKCU\\Software\\UpkeepTest\\Firm", "/NAME:None"},
         crlf("Error: 2\n"),
         2,
         makeFirmTree},
        {"DELKEY of a missing key",
         {"/DELKEY", "/KEY:HKCU\\Software\\UpkeepTest\\None"},
         crlf("Error: 2\n"),
         2,
         makeFirmTree,
         [](const fs::path&) { EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kFirm)); }},
        {"DELKEY of a whole root is refused",
         {"/DELKEY", "/KEY:HKCU\\"},
         blad("Nie mozna usunac calego klucza glownego podanego w parametrze KEY:"),
         1},
        {"DELKEY of a whole root written with two \\",
         {"/DELKEY", "/KEY:HKCU\\\\"},
         blad("Nie mozna usunac calego klucza glownego podanego w parametrze KEY:"),
         1,
         makeFirmTree,
         [](const fs::path&) { EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kFirm)); }},
        {"KEY: with an unknown root",
         {"/SETKEY", "/KEY:HKXX\\Software"},
         blad("Nieprawidlowa nazwa klucza glownego podanego w parametrze KEY:"),
         1},
        {"DELKEY without KEY:",
         {"/DELKEY", "/NAME:x"},
         blad("Nie podano parametru KEY: wymaganego dla operacji DELKEY"),
         1},
        {"SETKEY without KEY:",
         {"/SETKEY"},
         blad("Nie podano parametru KEY: wymaganego dla operacji SETKEY"),
         1},
        {"empty KEY:",
         {"/SETKEY", "/KEY:"},
         blad("Nie podano wymaganej wartosci w parametrze KEY:"),
         1},
        {"empty VALUE:",
         {"/SETINI", "/VALUE:"},
         blad("Nie podano wymaganej wartosci w parametrze VALUE:"),
         1},
        {"KEY: without a root",
         {"/DELKEY", "/KEY:Software\\Firm"},
         blad("Nieprawidlowa nazwa klucza glownego podanego w parametrze KEY:"),
         1},
        {"KEY: with a root alone",
         {"/DELKEY", "/KEY:HKLM"},
         blad("Nieprawidlowa nazwa klucza glownego podanego w parametrze KEY:"),
         1},
        {"KEY: twice with an operation between",
         {"/KEY:HKCU\\a", "/DELKEY", "/KEY:HKCU\\b"},
         blad("Wielokrotne podanie parametru KEY:"),
         1},
        {"SETINI with only FILE:",
         {"/SETINI", "/FILE:x.ini"},
         blad("\nNie podano parametru SECTION: wymaganego dla operacji SETINI\n"
              "Nie podano parametru NAME: wymaganego dla operacji SETINI"),
         1},
        {"SETINI with only SECTION:",
         {"/SETINI", "/SECTION:S"},
         blad("Nie podano parametru FILE: wymaganego dla operacji SETINI\n"
              "Nie podano parametru NAME: wymaganego dla operacji SETINI"),
         1},
        {"DELINI without anything",
         {"/DELINI"},
         blad("Nie podano parametru FILE: wymaganego dla operacji DELINI\n"
              "Nie podano parametru SECTION: wymaganego dla operacji DELINI"),
         1},
        {"SETINI creates the file",
         {"/SETINI", "/FILE:new.ini", "/SECTION:Main", "/NAME:Key", "/VALUE:Value"},
         "",
         0,
         {},
         [](const fs::path& dir) {
             EXPECT_EQ(readFile(dir / "new.ini"), "[Main]\r\nKey=Value\r\n");
         }},
        {"SETINI changes one entry and keeps the rest",
         {"/SETINI", "/FILE:app.ini", "/SECTION:system", "/NAME:kodwojew", "/VALUE:14"},
         "",
         0,
         [](const fs::path& dir) {
             writeFile(dir / "app.ini",
                       "; settings\r\n[SYSTEM]\r\nKodWojew=12\r\nNrInstalacji=7\r\n");
         },
         [](const fs::path& dir) {
             const auto text = readFile(dir / "app.ini");
             // The system's functions keep the entry's name as the file has it.
             EXPECT_NE(text.find("KodWojew=14\r\n"), std::string::npos) << text;
             EXPECT_NE(text.find("NrInstalacji=7\r\n"), std::string::npos) << text;
             EXPECT_EQ(text.find("=12"), std::string::npos) << text;
         }},
        {"SETINI on a folder",
         {"/SETINI", "/FILE:folder.ini", "/SECTION:S", "/NAME:k"},
         crlf("Error: 5\n"),
         5,
         [](const fs::path& dir) { fs::create_directory(dir / "folder.ini"); },
         {},
         crlf("Blad: {dir}\\folder.ini nie jest zwyklym plikiem (katalog)\n")},
        {"SETINI refuses a line break in the value",
         {"/SETINI", "/FILE:a.ini", "/SECTION:S", "/NAME:k", "/VALUE:1\r\n[Other]"},
         crlf("Blad: Unable to write to {dir}\\a.ini (znak konca wiersza w nazwie lub wartosci)\n"),
         1,
         {},
         [](const fs::path& dir) { EXPECT_FALSE(fs::exists(dir / "a.ini")); }},
        {"DELINI with NAME: deletes the entry",
         {"/DELINI", "/FILE:app.ini", "/SECTION:S", "/NAME:b"},
         "",
         0,
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
         [](const fs::path& dir) {
             writeFile(dir / "app.ini", "[S]\r\na=1\r\nb=2\r\n[T]\r\nb=3\r\n");
         },
         [](const fs::path& dir) { EXPECT_EQ(readFile(dir / "app.ini"), "[T]\r\nb=3\r\n"); }},
        {"DELINI in a missing file creates nothing",
         {"/DELINI", "/FILE:missing.ini", "/SECTION:S", "/NAME:k"},
         "",
         0,
         {},
         [](const fs::path& dir) { EXPECT_FALSE(fs::exists(dir / "missing.ini")); }},
        {"BACKUP: takes the first free number",
         {"/BACKUP:data.db"},
         "",
         0,
         [](const fs::path& dir) {
             writeFile(dir / "data.db", "payload");
             writeFile(dir / "data.db.001", "one");
             writeFile(dir / "data.db.002", "two");
         },
         [](const fs::path& dir) {
             EXPECT_EQ(readFile(dir / "data.db.003"), "payload");
             EXPECT_EQ(readFile(dir / "data.db.001"), "one");
         }},
        {"BACKUP: skips a taken name that is no file",
         {"-backup:data.db"},
         "",
         0,
         [](const fs::path& dir) {
             writeFile(dir / "data.db", "payload");
             fs::create_directory(dir / "data.db.001");
         },
         [](const fs::path& dir) { EXPECT_EQ(readFile(dir / "data.db.002"), "payload"); }},
        {"BACKUP: clears the source's read-only, hidden and archive attributes",
         {"/BACKUP:ro.db"},
         "",
         0,
         [](const fs::path& dir) {
             writeFile(dir / "ro.db", "payload");
             ::SetFileAttributesA((dir / "ro.db").string().c_str(), FILE_ATTRIBUTE_READONLY |
                                                                        FILE_ATTRIBUTE_HIDDEN |
                                                                        FILE_ATTRIBUTE_ARCHIVE);
         },
         [](const fs::path& dir) {
             // (wine reports every file with the archive attribute)
             constexpr DWORD kCleared = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
             EXPECT_EQ(attributesOf(dir / "ro.db") & kCleared, 0u);
             EXPECT_EQ(readFile(dir / "ro.db.001"), "payload");
         }},
        {"BACKUP: with all 999 names taken leaves the source untouched",
         {"/BACKUP:full.db"},
         crlf("Error: 6\n"),
         6,
         [](const fs::path& dir) {
             writeFile(dir / "full.db", "x");
             ::SetFileAttributesA((dir / "full.db").string().c_str(), FILE_ATTRIBUTE_READONLY);
             for (int n = 1; n <= 999; ++n) {
                 char name[16];
                 std::snprintf(name, sizeof name, "full.db.%03d", n);
                 writeFile(dir / name, "");
             }
         },
         [](const fs::path& dir) {
             EXPECT_NE(attributesOf(dir / "full.db") & FILE_ATTRIBUTE_READONLY, 0u);
             ::SetFileAttributesA((dir / "full.db").string().c_str(), FILE_ATTRIBUTE_NORMAL);
         }},
        {"BACKUP: without a file",
         {"/BACKUP:"},
         blad("Nie podano nazwy pliku do zarchiwizowania."),
         1},
        {"BACKUP: of a missing file", {"/BACKUP:missing.db"}, crlf("Error: 6\n"), 6},
        {"BACKUP: of a folder", {"/BACKUP:."}, crlf("Error: 6\n"), 6},
        {"FILE: then BACKUP: backs up the BACKUP: file",
         {"/FILE:other.db", "/BACKUP:data.db"},
         "",
         0,
         [](const fs::path& dir) { writeFile(dir / "data.db", "payload"); },
         [](const fs::path& dir) { EXPECT_TRUE(fs::exists(dir / "data.db.001")); }},
        {"BACKUP: then FILE:",
         {"/BACKUP:data.db", "/FILE:other.db"},
         blad("Wielokrotne podanie parametru FILE:"),
         1},
        {"RUNERR: 3", {"/RUNERR:3"}, "", 3},
        {"RUNERR: -5 keeps the low 16 bits", {"/RUNERR:-5"}, "", 65531},
        {"RUNERR: 70000", {"/RUNERR:70000"}, "", 4464},
        {"RUNERR: $10", {"/RUNERR:$10"}, "", 16},
        {"RUNERR: 0x100", {"-RUNERR:0x100"}, "", 256},
        {"RUNERR: $FFFFFFFF", {"/RUNERR:$FFFFFFFF"}, "", 65535},
        {"RUNERR: x1F", {"/runerr:x1F"}, "", 31},
        {"RUNERR: blanks and sign", {"/RUNERR:  +7"}, "", 7},
        {"RUNERR: lowest 32-bit number", {"/RUNERR:-2147483648"}, "", 0},
        {"RUNERR: hexadecimal overflow",
         {"/RUNERR:$100000000"},
         blad("Podano zly kod errorlevel: $100000000"),
         1},
        {"RUNERR: empty", {"/RUNERR:"}, blad("Podano zly kod errorlevel: "), 1},
        {"RUNERR: trailing blank", {"/RUNERR:3 "}, blad("Podano zly kod errorlevel: 3 "), 1},
        {"RUNERR: prefix alone", {"/RUNERR:0x"}, blad("Podano zly kod errorlevel: 0x"), 1},
        {"RUNERR: abc", {"/RUNERR:abc"}, blad("Podano zly kod errorlevel: abc"), 1},
        {"RUNERR: overflow",
         {"/RUNERR:2147483648"},
         blad("Podano zly kod errorlevel: 2147483648"),
         1},
        {"unknown argument", {"/FOO"}, blad("Bledny parametr wywolania: /FOO"), 1},
        {"usage", {"/?"}, kUsage, 0},
        {"unknown argument stops the reading",
         {"-Foo", "/FOO"},
         blad("Bledny parametr wywolania: -Foo"),
         1},
        {"a lone slash", {"/VERSION", "/"}, blad("Bledny parametr wywolania: /"), 1},
        {"parameters an operation does not use are ignored",
         {"/VERSION", "/FILE:x", "/NAME:y"},
         crlf("\nInformacje o wersji systemu i modulu:\n\n"
              "   System: OBSLUGA 2.00.0001, modul: UPKEEP 3.0700.\n\n"),
         0},
        {"version",
         {"version"},
         crlf("\nInformacje o wersji systemu i modulu:\n\n"
              "   System: OBSLUGA 2.00.0001, modul: UPKEEP 3.0700.\n\n"),
         0},
    };
    return table;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

fs::path freshFolder() {
    std::random_device random;
    for (;;) {
        const auto candidate = fs::temp_directory_path() / ("upkeep" + std::to_string(random()));
        if (fs::create_directory(candidate)) return fs::canonical(candidate);
    }
}

TEST(UpkeepWindows, ArgumentsToOutputAndExitCode) {
    for (const auto& row : cases()) {
        SCOPED_TRACE(row.title);
        const fs::path folder = freshFolder();
        if (row.prepare) row.prepare(folder);

        const auto result = runProgram(row.arguments, folder);

        std::string output = row.expectedOutput;
        std::string errors = row.expectedErrors;
        replaceAll(output, "{dir}", folder.string());
        replaceAll(errors, "{dir}", folder.string());
        EXPECT_EQ(result.output, output);
        EXPECT_EQ(result.errors, errors);
        EXPECT_EQ(result.exitCode, row.expectedExit);
        if (row.check) row.check(folder);

        ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
}

} // namespace
