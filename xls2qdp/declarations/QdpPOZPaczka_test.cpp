// SPDX-License-Identifier: MIT
// The POZ package as the library receives it (through a stand-in library
// that keeps every definition and record).
#include "common/Windows1250.h"
#include "common/testing/RecordingSink.h"
#include "declarations/QdpPOZPaczka.h"
#include "declarations/testing/PozTestTable.h"
#include "package/testing/FakeQdpLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace xls2qdp {
namespace {

using testing::FakeQdpLibrary;
using testing::RecordingSink;
using Section = FakeQdpLibrary::Section;

std::string utf8(const std::string& cp1250) {
    return windows1250ToUtf8(cp1250).value_or("?");
}

// Record values by field name, in UTF-8.
std::map<std::string, std::string> record(const Section& section, std::size_t index) {
    std::map<std::string, std::string> values;
    const auto& r = section.records.at(index);
    for (std::size_t i = 0; i < section.fields.size(); ++i)
        values[section.fields[i].name] = utf8(r.at(i));
    return values;
}

class PozPackageTest : public ::testing::Test {
protected:
    std::int32_t build(InMemoryWorkingTable& table, bool show = true) {
        TQDPPOZPaczka package({&library, &sink});
        EXPECT_TRUE(package.fInitPOZ("000123", "KS-0001", 4, 1, &table));
        std::string tmp = std::filesystem::temp_directory_path().string() + "/";
        return package.fMakePaczka("/out/dtest.qdp", tmp, show);
    }
    const Section& section(std::size_t index) {
        return library.lastSaved.documents.at(0).sections.at(index);
    }
    FakeQdpLibrary library;
    RecordingSink sink;
};

TEST_F(PozPackageTest, PackageDocumentAndSectionHeaders) {
    InMemoryWorkingTable table = testing::smallPozTable();
    ASSERT_EQ(build(table), 1);
    EXPECT_TRUE(sink.texts.empty());
    const auto& p = library.lastSaved;
    EXPECT_EQ(p.version, 1);
    EXPECT_EQ(p.typeCode, "POZ_DEKLARACJE");
    EXPECT_EQ(p.programCode, "KW_XLSIMP");
    EXPECT_EQ(p.description, "Paczka zawiera deklaracje POZ");
    EXPECT_EQ(p.savedAs, "/out/dtest.qdp");
    ASSERT_EQ(p.documents.size(), 1u);
    EXPECT_EQ(p.documents[0].typeCode, "X_DATA_EXPORT");
    EXPECT_EQ(p.documents[0].version, 4);
    EXPECT_EQ(p.documents[0].variant, 1);
    EXPECT_EQ(p.documents[0].description, "Dokument zawiera informacje o deklaracjach POZ");

    struct Expected {
        const char* code;
        std::size_t fields, records;
    } expected[] = {{"INSTALACJA", 17, 1},
                    {"DEKLARACJE", 62, 4},
                    {"ZGLASZAJACY", 8, 2},
                    {"WYCOFUJACY", 8, 2},
                    {"CUDZOZIEMCY", 9, 3}};
    ASSERT_EQ(p.documents[0].sections.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(expected[i].code);
        EXPECT_EQ(section(i).code, expected[i].code);
        EXPECT_EQ(section(i).fields.size(), expected[i].fields);
        EXPECT_EQ(section(i).records.size(), expected[i].records);
        for (const auto& field : section(i).fields)
            EXPECT_EQ(field.precision, "0");
    }
    // Descriptions travel as Windows-1250 bytes.
    EXPECT_EQ(section(0).description,
              "Sekcja zawiera informacje o instytucjach, dla kt\xF3rych s\xB9 eksportowane "
              "deklaracje POZ");
    EXPECT_EQ(section(1).fields[5].description, "Imi\xEA podopiecznego");
    EXPECT_EQ(section(1).fields[13].name, "POPRZ_KCH_ KOD");
}

TEST_F(PozPackageTest, InstalacjaRecord) {
    InMemoryWorkingTable table = testing::smallPozTable();
    ASSERT_EQ(build(table), 1);
    auto r = record(section(0), 0);
    for (const auto& [name, value] : r) {
        SCOPED_TRACE(name);
        if (name == "KOD_SWIADCZ")
            EXPECT_EQ(value, "KS-0001");
        else if (name == "NR_INST_RUM")
            EXPECT_EQ(value, "000123");
        else if (name == "RODZAJ_APL")
            EXPECT_EQ(value, "WXLS");
        else if (name == "WERSJA_APL")
            EXPECT_EQ(value, "1.0101");
        else
            EXPECT_EQ(value, "");
    }
}

TEST_F(PozPackageTest, DeklaracjeRecords) {
    InMemoryWorkingTable table = testing::smallPozTable();
    ASSERT_EQ(build(table), 1);
    auto first = record(section(1), 0);
    std::map<std::string, std::string> expected = {
        {"KOD_SWIADCZ", "KS-0001"},
        {"NR_INSTALACJI", "000123"},
        {"KOD_DEKLARACJI", "1"},
        {"RODZAJ_LISTY", "L"},
        {"NAZWISKO", "Żółkiewska-Brzęczyszczykiewicz-Grzegorze"}, // cut to 40 characters
        {"IMIE", "Łucja"},
        {"PESEL", "04231512345"},
        {"DATA_UR", "2004.03.15"},
        {"PLEC", "K"},
        {"FL_CUDZOZIEMIEC", "T"},
        {"KCH_KOD", "07"},
        {"MIASTO_MEL", "Łódź"},
        {"KOD_MIASTA_MEL", "0959045"},
        {"KOD_GMINY_MEL", "1061011"},
        {"KOD_POCZT_MEL", "90-001"},
        {"ULICA_MEL", "Piotrkowska"},
        {"NR_DOMU_MEL", "12"},
        {"R_ZG_UB", "N"},
        {"RODZAJ_UB", "00"},
        {"DATA_PODPISANIA", "2005.02.01"},
        {"GODZ_PODPISANIA", "00"},
        {"LEK_NAZWISKO", "Nowak"},
        {"LEK_IMIE", "Jan"},
        {"FL_WYCOF", "0"},
        {"FL_MODYF", "1"},
        {"DATA_MODYF", "2005.02.03"},
        {"DATA_WPR", "2005.02.03"},
        {"NR_WERSJI", "1"},
        {"FL_BRAK_ADR", "N"},
        {"NAZWISKO_RODOWE", "Wiśniewska"},
        {"TYTUL_UBEZP", "C"},
        {"NR_WYBORU", "1"},
        {"WERSJA_DEKL", "1"},
    };
    for (const auto& [name, value] : first) {
        SCOPED_TRACE(name);
        auto it = expected.find(name);
        EXPECT_EQ(value, it == expected.end() ? "" : it->second);
    }
    // The surname as bytes: 40 Windows-1250 characters, never a cut letter.
    EXPECT_EQ(section(1).records[0][4].size(), 40u);

    auto second = record(section(1), 1);
    EXPECT_EQ(second["KOD_DEKLARACJI"], "2");
    EXPECT_EQ(second["DATA_UR"], ""); // null date
    EXPECT_EQ(second["FL_MODYF"], "1");
    EXPECT_EQ(second["NR_WERSJI"], "1");
    EXPECT_EQ(second["FL_WYCOF"], "1");
    EXPECT_EQ(record(section(1), 2)["FL_WYCOF"], "");
}

TEST_F(PozPackageTest, DeclarantWithdrawerAndForeignerRecords) {
    InMemoryWorkingTable table = testing::smallPozTable();
    ASSERT_EQ(build(table), 1);
    // ZGLASZAJACY: rows 1 and 4 (ZGL_OSOBISTE "N"), row 4 with empty fields.
    auto z1 = record(section(2), 0);
    EXPECT_EQ(z1["KOD_DEKLARACJI"], "1");
    EXPECT_EQ(z1["NAZWISKO"], "Żółkiewski");
    EXPECT_EQ(z1["IMIE"], "Paweł");
    EXPECT_EQ(z1["PESEL"], "70010112345");
    EXPECT_EQ(z1["FL_CUDZOZIEMIEC"], "N");
    EXPECT_EQ(z1["DATA_UR"], "1970.01.01");
    auto z4 = record(section(2), 1);
    EXPECT_EQ(z4["KOD_DEKLARACJI"], "4");
    EXPECT_EQ(z4["KOD_SWIADCZ"], "KS-0001");
    EXPECT_EQ(z4["NAZWISKO"], "");
    EXPECT_EQ(z4["DATA_UR"], "");

    // WYCOFUJACY: rows 2 ("1") and 3 (empty), never the rows holding "0".
    auto w2 = record(section(3), 0);
    EXPECT_EQ(w2["KOD_DEKLARACJI"], "2");
    EXPECT_EQ(w2["NAZWISKO"], "Wycofujący");
    EXPECT_EQ(w2["FL_CUDZOZIEMIEC"], "N");
    EXPECT_EQ(w2["DATA_UR"], "");
    EXPECT_EQ(record(section(3), 1)["KOD_DEKLARACJI"], "3");

    // CUDZOZIEMCY: one record per row with a foreigner flag "T"; only the
    // numbers of the flagged person are taken.
    struct Expected {
        const char* id;
        const char* numbers[6];
    } expected[] = {
        {"1", {"PA123", "KA456", "", "", "", ""}},
        {"2", {"", "", "PZ1", "KZ2", "", ""}},
        {"3", {"", "", "", "", "PW1", "KW2"}},
    };
    const char* names[] = {"NR_PASZPORTU", "NR_KARTY",       "NR_PASZP_ZGL",
                           "NR_KARTY_ZGL", "NR_PASZP_WYCOF", "NR_KARTY_WYCOF"};
    ASSERT_EQ(section(4).records.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        auto r = record(section(4), i);
        EXPECT_EQ(r["KOD_DEKLARACJI"], expected[i].id);
        for (int n = 0; n < 6; ++n)
            EXPECT_EQ(r[names[n]], expected[i].numbers[n]) << names[n];
    }
}

TEST_F(PozPackageTest, EmptyTableGivesOnlyTheInstalacjaRecord) {
    InMemoryWorkingTable table = testing::emptyPozTable();
    ASSERT_EQ(build(table), 1);
    EXPECT_EQ(section(0).records.size(), 1u);
    for (std::size_t i = 1; i < 5; ++i) {
        EXPECT_TRUE(section(i).records.empty());
        EXPECT_FALSE(section(i).fields.empty()); // declared all the same
    }
}

TEST_F(PozPackageTest, ValueOutsideWindows1250StopsThePackage) {
    InMemoryWorkingTable table = testing::smallPozTable();
    table.addRow(
        {{"LID_DEKL", "5"}, {"NAZWISKO", "Muñoz"}, {"ZGL_OSOBISTE", "T"}, {"FL_WYCOF", "0"}});
    EXPECT_EQ(build(table), 505);
    EXPECT_EQ(sink.texts,
              (std::vector<std::string>{
                  "Wartość pola NAZWISKO w rekordzie nr 5 sekcji DEKLARACJE „Muñoz” zawiera znak "
                  "„ñ” (U+00F1), którego nie można zapisać w stronie kodowej Windows-1250!"}));
    EXPECT_EQ(std::count(library.calls.begin(), library.calls.end(), "SaveC"), 0);
    EXPECT_TRUE(library.packages.empty());

    sink.texts.clear();
    EXPECT_EQ(build(table, false), 505);
    EXPECT_TRUE(sink.texts.empty());
}

TEST_F(PozPackageTest, RebuildingTheSameObjectGivesTheSameDefinitions) {
    InMemoryWorkingTable table = testing::smallPozTable();
    TQDPPOZPaczka package({&library, &sink});
    package.fInitPOZ("1", "2", 4, 1, &table);
    ASSERT_EQ(package.fMakePaczka("/out/a.qdp", "", false), 1);
    ASSERT_EQ(package.fMakePaczka("/out/b.qdp", "", false), 1);
    EXPECT_EQ(library.lastSaved.savedAs, "/out/b.qdp");
    EXPECT_EQ(library.lastSaved.documents[0].sections[1].fields.size(), 62u);
    EXPECT_EQ(library.lastSaved.documents[0].sections[1].records.size(), 4u);
}

} // namespace
} // namespace xls2qdp
