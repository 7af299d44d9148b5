// SPDX-License-Identifier: MIT
#include "DeclarationWriter.h"

#include "import/testing/DictionaryFixture.h"
#include "import/testing/ScratchFolder.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace xls2qdp {
namespace {

using store::WorkingField;

DeclarationRow makeRow(int sheetRow, const std::map<std::string, std::string>& cells) {
    DeclarationRow row;
    row.sheetRow = sheetRow;
    row.column("A"); // letters are checked by column()
    for (const auto& [letters, text] : cells) {
        std::size_t index = 0;
        for (char c : letters)
            index = index * 26 + static_cast<std::size_t>(c - 'A' + 1);
        row.cells.at(index - 1) = text;
    }
    return row;
}

std::map<std::string, std::string> basicCells() {
    return {{"A", "LP"}, {"B", "60030512345"}, {"C", "Kowalska"}, {"D", "Żaneta"}};
}

class DeclarationWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::writeFixtureCommunes(folder / "sl_gminy.db");
        testing::writeFixtureCities(folder / "sl_miejscowosci.db");
        communes.open(folder / "sl_gminy.db");
        cities.open(folder / "sl_miejscowosci.db");
        store::WorkingTable::create(folder / "xls_imp.db");
        table.open(folder / "xls_imp.db");
    }

    // Converts the rows as one committed run and leaves the table at its first row.
    void run(const std::vector<DeclarationRow>& rows, bool withCities = true) {
        DictionaryLookups lookups(communes, withCities ? &cities : nullptr,
                                  testing::kFixtureVoivodeship);
        DeclarationWriter writer(table, lookups, {"123456789", "07"}, report, clock);
        writer.startRun();
        store::AppendTransaction transaction(table);
        for (const auto& row : rows)
            EXPECT_EQ(writer.WriteDeclarationRow(row), 0);
        transaction.commit();
        ASSERT_TRUE(table.first());
    }

    std::optional<std::string> field(const char* name) { return table.text(name); }

    std::vector<ReportEntry> entries() {
        std::vector<ReportEntry> all;
        report.forEach([&](const ReportEntry& e) { all.push_back(e); });
        return all;
    }

    testing::ScratchFolder folder;
    store::CommuneDictionary communes;
    store::CityDictionary cities;
    store::WorkingTable table;
    ImportReport report;
    int tick = 0;
    DeclarationWriter::Clock clock = [this] {
        ++tick;
        return store::LocalDateTime{{2026, 12, 10}, 9, 30, tick};
    };
};

TEST_F(DeclarationWriterTest, FillsTheFieldsOfOneRow) {
    auto cells = basicCells();
    cells.insert({{"E", "Nowak"},     {"F", "05-03-1960"}, {"G", "K"},
                  {"H", "A"},         {"I", "01-02-2026"}, {"J", "1"},
                  {"K", "D"},         {"N", "N"},          {"O", "N"},
                  {"P", "12345"},     {"Q", "Gierałtów"},  {"R", "Polna"},
                  {"S", "3a"},        {"T", "7"},          {"U", "Gródek"},
                  {"V", "123456789"}, {"AD", "1234567"},   {"AE", "70010112345"},
                  {"AF", "Lekarz"},   {"AG", "Jan Maria"}, {"AL", "T"}});
    run({makeRow(7, cells)});

    const std::map<std::string, std::optional<std::string>> expected = {
        {"NR_INSTALACJI", "123456789"},
        {"LID_DEKL", "1"},
        {"RODZAJ_LISTY", "LP"},
        {"NAZWISKO", "Kowalska"},
        {"IMIE", "Żaneta"},
        {"PESEL", "60030512345"},
        {"DATA_UR", "05-03-1960"},
        {"PLEC", "K"},
        {"NR_KARTY_CUDZ", std::nullopt},
        {"NR_PASZP_CUDZ", std::nullopt},
        {"FL_CUDZ", "N"},
        {"KOD_PLATNIKA", "07"},
        {"MIASTO_ST", "Gierałtów"},
        {"KOD_GMINY_PAC_ST", "0201065"},
        {"KOD_MIASTA_PAC_ST", "0000801"},
        {"KOD_POCZT_ST", "12-345"},
        {"POCZTA_ST", std::nullopt},
        {"ULICA_ST", "Polna"},
        {"NR_DOMU_ST", "3a"},
        {"NR_LOK_ST", "7"},
        {"NR_TELEF_ST", "123456789"},
        {"MIASTO_MIE", std::nullopt},
        {"KOD_GMINY_PAC_MIE", std::nullopt},
        {"KOD_MIASTA_PAC_MIE", std::nullopt},
        {"KOD_POCZT_MIE", std::nullopt},
        {"PESEL_OPIEKUNA", std::nullopt},
        {"ZGL_OSOBISTE", "T"},
        {"RODZAJ_UB", "00"},
        {"DATA_PODPISANIA", "01-02-2026"},
        {"GODZ_PODPISANIA", "00"},
        {"NR_PRAWA_LEK", "1234567"},
        {"PESEL_LEK", "70010112345"},
        {"NAZWISKO_LEK", "Lekarz"},
        {"IMIONA_LEK", "Jan Maria"},
        {"FLAGA_TYPU_PODOP", "D"},
        {"FL_WYCOF", "0"},
        {"PRZYCZYNA_WYCOF", std::nullopt},
        {"DATA_WYCOF", std::nullopt},
        {"DATA_MOD", "10-12-2026 09:30:01"},
        {"DATA_WPROW", "10-12-2026 09:30:02"},
        {"DATA_EXP", std::nullopt},
        {"NR_PLAC", std::nullopt},
        {"FL_BEZDOMNY", "N"},
        {"FL_CUDZ_ZGL", "T"},
        {"DATA_UR_ZGL", std::nullopt},
        {"DATA_WAZN_OD", std::nullopt},
        {"FL_STUDENT", std::nullopt},
        {"NAZWISKO_RODOWE", "Nowak"},
        {"TYTUL_UBEZP", "A"},
        {"NR_WYBORU", "1"},
        {"WERSJA_DEKL", "1"},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(field(name.c_str()), value) << name;
    EXPECT_TRUE(report.empty()) << report.summary();
}

TEST_F(DeclarationWriterTest, NumbersDeclarationsFromOneInEveryRun) {
    run({makeRow(7, basicCells()), makeRow(8, basicCells())});
    EXPECT_EQ(field("LID_DEKL"), "1");
    table.next();
    EXPECT_EQ(field("LID_DEKL"), "2");
    table.deleteAll();
    run({makeRow(7, basicCells())});
    EXPECT_EQ(field("LID_DEKL"), "1");
}

TEST_F(DeclarationWriterTest, ColumnRules) {
    const std::string longName(41, 'x'); // NAZWISKO feeds a package field of 40
    struct Case {
        const char* column;
        const char* cell;
        const char* field;
        std::optional<std::string> stored;
        bool reported;
    } cases[] = {
        {"F", "05-03-1960", "DATA_UR", "05-03-1960", false},
        {"F", "1960-03-05", "DATA_UR", std::nullopt, true},
        {"F", "abc", "DATA_UR", std::nullopt, true},
        {"I", "31-02-2026", "DATA_PODPISANIA", std::nullopt, true},
        {"AK", "5-3-1960", "DATA_UR_ZGL", "05-03-1960", false},
        {"P", "12345", "KOD_POCZT_ST", "12-345", false},
        {"P", "12-345", "KOD_POCZT_ST", "12-345", false},
        {"P", "1234", "KOD_POCZT_ST", std::nullopt, true},
        {"W", "98765", "KOD_POCZT_MIE", "98-765", false},
        {"H", "C", "ZGL_OSOBISTE", "N", false},
        {"H", "c", "ZGL_OSOBISTE", "T", false},
        {"H", "", "ZGL_OSOBISTE", "T", false},
        {"H", "c", "TYTUL_UBEZP", "c", false},
        {"AL", "", "FL_CUDZ_ZGL", std::nullopt, false},
        {"AL", "N", "FL_CUDZ_ZGL", "N", false},
        {"C", longName.c_str(), "NAZWISKO", longName, true},
        {"C", "Жуков", "NAZWISKO", "Жуков", true},
    };
    int sheetRow = 7;
    for (const auto& c : cases) {
        auto cells = basicCells();
        cells[c.column] = c.cell;
        report.clear();
        table.deleteAll();
        run({makeRow(sheetRow, cells)});
        const std::string what = std::string(c.column) + "=" + c.cell;
        EXPECT_EQ(field(c.field), c.stored) << what;
        const auto all = entries();
        ASSERT_EQ(all.size(), c.reported ? 1u : 0u) << what << "\n" << report.summary();
        if (c.reported) {
            EXPECT_EQ(all[0].sheetRow, sheetRow);
            EXPECT_EQ(all[0].column, c.column);
            EXPECT_EQ(all[0].value, c.cell);
        }
        ++sheetRow;
    }
}

TEST_F(DeclarationWriterTest, SchoolYear) {
    struct Case {
        const char* l;
        const char* m;
        std::optional<std::string> from, until;
        bool reported;
    } cases[] = {
        {"S", "2004", "01-10-2004", "30-06-2005", false},
        {"s", "2004", std::nullopt, std::nullopt, false},
        {"S", "2004/05", std::nullopt, std::nullopt, true},
        {"N", "", std::nullopt, std::nullopt, false},
    };
    for (const auto& c : cases) {
        auto cells = basicCells();
        cells["L"] = c.l;
        cells["M"] = c.m;
        report.clear();
        table.deleteAll();
        run({makeRow(7, cells)});
        const std::string what = std::string(c.l) + "/" + c.m;
        EXPECT_EQ(field("DATA_WAZN_OD"), c.from) << what;
        EXPECT_EQ(field("DATA_WAZN_DO"), c.until) << what;
        EXPECT_EQ(field("FL_STUDENT"), std::optional<std::string>(c.l)) << what;
        EXPECT_EQ(report.count(ReportKind::SchoolYearNotConverted), c.reported ? 1u : 0u) << what;
    }
}

TEST_F(DeclarationWriterTest, AddressesThatCannotBePlacedAreReported) {
    auto townRow = basicCells();
    townRow.insert({{"Q", "GRÓDEK"}, {"U", "gródek"}, {"X", "Wólka"}});
    auto unknown = basicCells();
    unknown.insert({{"Q", "Nigdzie"}, {"U", "Trojak"}, {"X", "Dublet"}, {"AB", "Dwojak"}});
    run({makeRow(7, townRow), makeRow(8, unknown)});

    EXPECT_EQ(field("KOD_GMINY_PAC_ST"), "0201064");
    EXPECT_EQ(field("KOD_MIASTA_PAC_ST"), "0000201");
    EXPECT_EQ(field("KOD_GMINY_PAC_MIE"), std::nullopt); // Wólka lies in two communes here
    table.next();
    EXPECT_EQ(field("KOD_GMINY_PAC_ST"), std::nullopt);
    EXPECT_EQ(field("KOD_GMINY_PAC_MIE"), "0201012");
    EXPECT_EQ(field("KOD_MIASTA_PAC_MIE"), std::nullopt); // two Dublets in that commune

    const auto all = entries();
    ASSERT_EQ(all.size(), 3u) << report.summary();
    EXPECT_EQ(all[0].sheetRow, 7);
    EXPECT_EQ(all[0].column, "X");
    EXPECT_EQ(all[0].kind, ReportKind::CommuneAmbiguous);
    EXPECT_EQ(all[1].sheetRow, 8);
    EXPECT_EQ(all[1].column, "U");
    EXPECT_EQ(all[1].value, "Trojak");
    EXPECT_EQ(all[1].kind, ReportKind::CommuneAmbiguous);
    EXPECT_EQ(all[2].column, "X");
    EXPECT_EQ(all[2].kind, ReportKind::CityAmbiguous);
}

TEST_F(DeclarationWriterTest, MissingCityDictionaryLeavesCityCodesEmpty) {
    auto cells = basicCells();
    cells.insert({{"Q", "Gierałtów"}, {"U", "Gródek"}, {"X", "Jedynka"}});
    run({makeRow(7, cells), makeRow(8, cells)}, /*withCities=*/false);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(field("KOD_GMINY_PAC_ST"), "0201065"); // by the commune's name alone
        EXPECT_EQ(field("KOD_MIASTA_PAC_ST"), std::nullopt);
        EXPECT_EQ(field("KOD_GMINY_PAC_MIE"), std::nullopt);
        EXPECT_EQ(field("KOD_MIASTA_PAC_MIE"), std::nullopt);
        table.next();
    }
    EXPECT_EQ(table.rowCount(), 2);
    // One note for the run instead of one per row.
    EXPECT_EQ(report.size(), 1u) << report.summary();
    EXPECT_EQ(report.count(ReportKind::CityDictionaryMissing), 1u);
}

TEST_F(DeclarationWriterTest, AnAbandonedRunWritesNothing) {
    DictionaryLookups lookups(communes, &cities, testing::kFixtureVoivodeship);
    DeclarationWriter writer(table, lookups, {"123456789", "07"}, report, clock);
    writer.startRun();
    {
        store::AppendTransaction transaction(table);
        writer.WriteDeclarationRow(makeRow(7, basicCells()));
        writer.WriteDeclarationRow(makeRow(8, basicCells()));
    }
    EXPECT_EQ(writer.declarationCount(), 2);
    EXPECT_EQ(table.rowCount(), 0);
}

} // namespace
} // namespace xls2qdp
