// SPDX-License-Identifier: MIT
// qdpdump on packages made by the writer: the three output forms, ciphers,
// and what it says about bad files and bad arguments.
#include "Dump.h"
#include "PackageDump.h"
#include "PackageFixture.h"
#include "TempDir.h"
#include "Windows1250.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace qdptest;

namespace {

struct DumpRun {
    int code = -1;
    std::string out;
    std::string err;
};

DumpRun dump(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    DumpRun r;
    r.code = qdpdump::runDump(args, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// A path as a JSON string holds it: Windows paths carry backslashes.
std::string jsonPath(const std::string& path) {
    std::string quoted;
    for (const char c : path) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted;
}

// One document, one section of three fields, two records; the name holds a
// Polish letter in Windows-1250 and the blob a comma and quotes.
struct Small {
    TempDir dir;
    std::string file = dir.file("p.qdp");
    std::string bytes;
    Small() {
        PackageSpec spec;
        spec.documents = {
            {"DOK",
             "",
             {{"S1",
               "",
               {{"ID", "C", 4, ""}, {"NAZWA", "C", 12, "imi\xEA"}, {"BLOB", "B", 22, ""}},
               {{"1", "\xA3ukasz", "blob, \"cytat\""}, {"2", "Anna", ""}},
               {}}}}};
        EXPECT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);
        bytes = readFile(file);
    }
    std::string date() const { return bytes.substr(89, 10); }
};

TEST(Qdpdump, JsonHoldsTheWholePackage) {
    Small s;
    const DumpRun r = dump({"--json", s.file});
    EXPECT_EQ(r.code, qdpdump::kExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    const std::size_t size = s.bytes.size();
    const std::string expected =
        "{\"plik\":\"" + jsonPath(s.file) +
        "\",\"wersja\":1,\"typ\":\"PAKIET\",\"program\":\"PROGRAM\"," + "\"data\":\"" + s.date() +
        "\",\"opis\":\"\",\"rozmiar\":" + std::to_string(size) + ",\"rozmiarTekst\":\"" +
        std::to_string(size) + "\",\"dokumenty\":[\n" +
        " {\"typ\":\"DOK\",\"wersja\":4,\"wariant\":1,\"data\":\"" + s.date() +
        "\",\"opis\":\"\",\"polozenie\":157,\"dlugosc\":" + std::to_string(size - 157) +
        ",\"sekcje\":[\n" + "  {\"kod\":\"S1\",\"opis\":\"\",\"polozenie\":109,\"dlugosc\":" +
        std::to_string(size - 157 - 109) + ",\"liczbaRekordow\":2,\"pola\":[" +
        "{\"nazwa\":\"ID\",\"typ\":\"C\",\"rozmiar\":4,\"precyzja\":0,\"opis\":\"\"}," +
        "{\"nazwa\":\"NAZWA\",\"typ\":\"C\",\"rozmiar\":12,\"precyzja\":0,\"opis\":\"imię\"}," +
        "{\"nazwa\":\"BLOB\",\"typ\":\"B\",\"rozmiar\":22,\"precyzja\":0,\"opis\":\"\"}]," +
        "\"rekordy\":[\n" +
        "   {\"ID\":\"1\",\"NAZWA\":\"Łukasz\",\"BLOB\":\"blob, \\\"cytat\\\"\"},\n" +
        "   {\"ID\":\"2\",\"NAZWA\":\"Anna\",\"BLOB\":\"\"}]}]}]}\n";
    EXPECT_EQ(r.out, expected);
}

TEST(Qdpdump, CsvHoldsOneSectionWithAHeaderRow) {
    Small s;
    const DumpRun r = dump({s.file, "--csv", "S1"});
    EXPECT_EQ(r.code, qdpdump::kExitOk) << r.err;
    EXPECT_EQ(r.out, "ID,NAZWA,BLOB\r\n"
                     "1,Łukasz,\"blob, \"\"cytat\"\"\"\r\n"
                     "2,Anna,\r\n");
}

TEST(Qdpdump, TextShowsHeadersFieldsAndRecords) {
    Small s;
    const DumpRun r = dump({s.file});
    EXPECT_EQ(r.code, qdpdump::kExitOk) << r.err;
    for (const std::string& line : std::vector<std::string>{
             "Paczka " + s.file, "  typ: \"PAKIET\", program: \"PROGRAM\", wersja: 1",
             "Dokument 1/1", "  Sekcja 1/1: \"S1\"",
             "      2. NAZWA  typ C, rozmiar 12, precyzja 0, opis \"imię\"",
             "    Rekord 1:", "      NAZWA = \"Łukasz\"", "      BLOB = \"blob, \"cytat\"\"",
             "    Rekord 2:", "      ID = \"2\""}) {
        EXPECT_NE(r.out.find(line + "\n"), std::string::npos) << line;
    }
}

TEST(Qdpdump, DeciphersWithTheGivenCipher) {
    TempDir dir;
    const std::string file = dir.file("p.qdp");
    PackageSpec spec;
    spec.algorithm = kAlgorithm;
    spec.mode = kMode;
    spec.key = kKey;
    spec.iv = kIv;
    spec.documents = {
        {"DOK", "", {{"S", "", {{"B", "B", 24, ""}}, {{"tajne dane pacjenta"}}, {}}}}};
    ASSERT_EQ(buildPackage(spec, dir.prefix(), file), QDP_OK);

    const DumpRun plain = dump({"--csv", "S", "--algo", std::to_string(kAlgorithm), "--mode",
                                std::to_string(kMode), "--key", kKey, "--iv", kIv, file});
    EXPECT_EQ(plain.code, qdpdump::kExitOk) << plain.err;
    EXPECT_EQ(plain.out, "B\r\ntajne dane pacjenta\r\n");

    const DumpRun enciphered = dump({"--csv", "S", file});
    EXPECT_EQ(enciphered.code, qdpdump::kExitOk);
    EXPECT_EQ(enciphered.out.find("tajne"), std::string::npos);

    const DumpRun badAlgorithm = dump({"--algo", "1", "--key", kKey, file});
    EXPECT_EQ(badAlgorithm.code, qdpdump::kExitPackage);
    EXPECT_NE(badAlgorithm.err.find("szyfr: kod 60: "), std::string::npos) << badAlgorithm.err;
}

TEST(Qdpdump, BadFilesEndWithTheLibraryCodeAndItsMeaning) {
    Small s;
    writeFile(s.dir.file("short"), std::string(100, 'x'));
    writeFile(s.dir.file("long"), s.bytes + "!");
    const struct {
        std::string file;
        std::string line;
        bool showsPackage;
    } cases[] = {
        {s.dir.file("missing"), ": kod 21: nie ma takiego pliku", false},
        {s.dir.file("short"), ": kod 33: plik jest krótszy niż nagłówek paczki", false},
        {s.dir.file("long"), ": kod 50: długość pliku różni się", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const DumpRun r = dump({c.file});
        EXPECT_EQ(r.code, qdpdump::kExitPackage);
        EXPECT_EQ(r.err.rfind("qdpdump: " + c.file + c.line, 0), 0u) << r.err;
        EXPECT_EQ(r.out.find("Rekord 2:") != std::string::npos, c.showsPackage);
    }
}

TEST(Qdpdump, ArgumentsItCannotUse) {
    Small s;
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"--bogus", s.file},
                                               {"--csv"},
                                               {"--json", "--csv", "S1", s.file},
                                               {"--algo", "x", s.file},
                                               {"--key", "k", s.file},
                                               {s.file, s.file},
                                               {"--csv", "NIEMA", s.file}}) {
        const DumpRun r = dump(args);
        EXPECT_EQ(r.code, qdpdump::kExitUsage) << ::testing::PrintToString(args);
        EXPECT_FALSE(r.err.empty());
    }
    const DumpRun help = dump({"--help"});
    EXPECT_EQ(help.code, qdpdump::kExitOk);
    EXPECT_NE(help.out.find("Użycie: qdpdump"), std::string::npos);
}

TEST(Qdpdump, FieldValuesForShowing) {
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {std::string("abc\0\0", 5), "abc"},
        {"\xA5\xB9\xC6\xE6\xCA\xEA\xA3\xB3\xD1\xF1\xD3\xF3\x8C\x9C\x8F\x9F\xAF\xBF",
         "ĄąĆćĘęŁłŃńÓóŚśŹźŻż"},
        {"\x80\x81", "€\xEF\xBF\xBD"},
        {std::string("a\x01\0\0", 4), "0x6101"},
        {std::string("\0\0", 2), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qdpdump::displayValue(c.bytes), c.shown);
}

} // namespace
