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

// A row of text cells; the columns in numberCells came from number cells.
DeclarationRow makeRow(int sheetRow, const std::map<std::string, std::string>& cells,
                       const std::vector<std::string>& numberCells = {}) {
    DeclarationRow row;
    row.sheetRow = sheetRow;
    for (const auto& [letters, text] : cells) {
        const std::size_t index = DeclarationRow::columnIndex(letters.c_str());
        row.cells.at(index) = text;
        row.kinds.at(index) = text.empty() ? CellKind::Empty : CellKind::Text;
    }
    for (const std::string& letters : numberCells)
        row.kinds.at(DeclarationRow::columnIndex(letters.c_str())) = CellKind::Number;
    return row;
}

// 60030512342 is a PESEL of someone born on 05-03-1960.
std::map<std::string, std::string> basicCells() {
    return {{"A", "LP"}, {"B", "60030512342"}, {"C", "Kowalska"}, {"D", "Żaneta"}};
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
                  {"V", "123456789"}, {"AD", "1234567"},   {"AE", "70010112341"},
                  {"AF", "Lekarz"},   {"AG", "Jan Maria"}, {"AL", "T"}});
    run({makeRow(7, cells)});

    const std::map<std::string, std::optional<std::string>> expected = {
        {"NR_INSTALACJI", "123456789"},
        {"LID_DEKL", "1"},
        {"RODZAJ_LISTY", "LP"},
        {"NAZWISKO", "Kowalska"},
        {"IMIE", "Żaneta"},
        {"PESEL", "60030512342"},
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
        {"PESEL_LEK", "70010112341"},
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
    constexpr auto None = std::nullopt;
    struct Case {
        const char* column;
        const char* cell;
        bool numberCell;
        const char* field;
        std::optional<std::string> stored;
        std::optional<ReportKind> reported;
    } cases[] = {
        // Dates: the program's form and the other full forms, with calendar checks.
        {"F", "05-03-1960", false, "DATA_UR", "05-03-1960", None},
        {"F", "05.03.1960", false, "DATA_UR", "05-03-1960", None},
        {"F", "5/3/1960", false, "DATA_UR", "05-03-1960", None},
        {"F", "1960-03-05", false, "DATA_UR", "05-03-1960", None},
        {"F", "1960.3.5", false, "DATA_UR", "05-03-1960", None},
        {"F", "06-03-1960", false, "DATA_UR", "06-03-1960", ReportKind::BirthDateMismatch},
        {"F", "05-03-60", false, "DATA_UR", None, ReportKind::DateNotConverted},
        {"F", "05.03-1960", false, "DATA_UR", None, ReportKind::DateNotConverted},
        {"F", "1960/03/05", false, "DATA_UR", None, ReportKind::DateNotConverted},
        {"F", "abc", false, "DATA_UR", None, ReportKind::DateNotConverted},
        {"I", "31.02.2026", false, "DATA_PODPISANIA", None, ReportKind::DateNotConverted},
        {"AK", "5-3-1960", false, "DATA_UR_ZGL", "05-03-1960", None},
        // Postal codes; a number cell lost the leading zero of 03-470.
        {"P", "12345", false, "KOD_POCZT_ST", "12-345", None},
        {"P", "12-345", false, "KOD_POCZT_ST", "12-345", None},
        {"P", "3470", true, "KOD_POCZT_ST", "03-470", None},
        {"P", "1234", false, "KOD_POCZT_ST", None, ReportKind::PostalCodeWrongLength},
        {"W", "98765", false, "KOD_POCZT_MIE", "98-765", None},
        // PESELs: zeros a number cell dropped come back when the check digit agrees.
        {"B", "2270803624", true, "PESEL", "02270803624", None},
        {"B", "2270803624", false, "PESEL", "2270803624", ReportKind::PeselInvalid},
        {"B", "2270803625", true, "PESEL", "2270803625", ReportKind::PeselInvalid},
        {"B", "60030512343", false, "PESEL", "60030512343", ReportKind::PeselInvalid},
        {"B", "6003051234X", false, "PESEL", "6003051234X", ReportKind::PeselInvalid},
        {"B", "00000000000", false, "PESEL", "00000000000", None}, // no PESEL at all
        {"AE", "7001011234", false, "PESEL_LEK", "7001011234", ReportKind::PeselInvalid},
        {"AJ", "5210500007", true, "PESEL_ZGL", "05210500007", None},
        // Other columns.
        {"H", "C", false, "ZGL_OSOBISTE", "N", None},
        {"H", "c", false, "ZGL_OSOBISTE", "T", None},
        {"H", "", false, "ZGL_OSOBISTE", "T", None},
        {"H", "c", false, "TYTUL_UBEZP", "c", None},
        {"AL", "", false, "FL_CUDZ_ZGL", None, None},
        {"AL", "N", false, "FL_CUDZ_ZGL", "N", None},
        {"C", longName.c_str(), false, "NAZWISKO", longName, ReportKind::TextTooLong},
        // Characters Windows-1250 lacks are replaced where they are found.
        {"C", "Muñoz", false, "NAZWISKO", "Munoz", ReportKind::CharacterNotInWindows1250},
        {"C", "Жуков", false, "NAZWISKO", "?????", ReportKind::CharacterNotInWindows1250},
        {"R", "Długa\u2009Wąska", false, "ULICA_ST", "Długa Wąska",
         ReportKind::CharacterNotInWindows1250},
    };
    int sheetRow = 7;
    for (const auto& c : cases) {
        auto cells = basicCells();
        cells[c.column] = c.cell;
        report.clear();
        table.deleteAll();
        run({makeRow(sheetRow, cells,
                     c.numberCell ? std::vector<std::string>{c.column}
                                  : std::vector<std::string>{})});
        const std::string what = std::string(c.column) + "=" + c.cell;
        EXPECT_EQ(field(c.field), c.stored) << what;
        const auto all = entries();
        ASSERT_EQ(all.size(), c.reported ? 1u : 0u) << what << "\n" << report.summary();
        if (c.reported) {
            EXPECT_EQ(all[0].kind, *c.reported) << what;
            EXPECT_EQ(all[0].sheetRow, sheetRow);
            EXPECT_EQ(all[0].column, c.column);
            EXPECT_EQ(all[0].surname, cells["C"]);
            EXPECT_FALSE(all[0].pesel.empty());
        }
        ++sheetRow;
    }
}

TEST_F(DeclarationWriterTest, ReplacedCharactersAreNamedInTheReport) {
    auto cells = basicCells();
    cells["C"] = "Muñoz Жук";
    run({makeRow(7, cells)});
    const auto all = entries();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].message,
              "Znaki spoza kodowania Windows-1250 zastąpione w polu NAZWISKO: „ñ” (U+00F1) jako "
              "„n”, „Ж” (U+0416) jako „?”, „у” (U+0443) jako „?”, „к” (U+043A) jako „?”; zapisano "
              "„Munoz ???”");
    EXPECT_EQ(all[0].value, "Muñoz Жук");
}

TEST_F(DeclarationWriterTest, ValuesReplacedInOneRowKeepTheirOwnTexts) {
    // Replacements are made in one buffer of the writer: each value stored
    // must stay its own, whatever field comes after it.
    auto cells = basicCells();
    cells["C"] = "Muñoz";
    cells["D"] = "Жанна";
    cells["Q"] = "Kraków";
    cells["R"] = "Długa\u2009Wąska";
    run({makeRow(7, cells)});
    EXPECT_EQ(field("NAZWISKO"), "Munoz");
    EXPECT_EQ(field("IMIE"), "?????");
    EXPECT_EQ(field("ULICA_ST"), "Długa Wąska");
    EXPECT_EQ(field("MIASTO_ST"), "Kraków");
}

TEST_F(DeclarationWriterTest, ARowWithoutSurnameAndFirstNameIsNoDeclaration) {
    auto total = std::map<std::string, std::string>{{"A", "Razem:"}, {"B", "3"}};
    run({makeRow(7, basicCells()), makeRow(8, total), makeRow(9, basicCells())});
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(field("LID_DEKL"), "1");
    table.next();
    EXPECT_EQ(field("LID_DEKL"), "2"); // no gap where the total was
    const auto all = entries();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].kind, ReportKind::RowSkipped);
    EXPECT_EQ(all[0].sheetRow, 8);
    EXPECT_EQ(all[0].pesel, "3");
    EXPECT_EQ(all[0].message, "Wiersz bez nazwiska i imienia (A: „Razem:”, B: „3”) nie jest "
                              "deklaracją i nie został zapisany");
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
    EXPECT_EQ(all[1].message, "Gmina „Trojak” (miejscowość „Nigdzie”) niejednoznaczna w "
                              "słowniku: pasuje kilka gmin w województwie 02; pole "
                              "KOD_GMINY_PAC_ST pozostaje puste");
    EXPECT_EQ(all[2].column, "X");
    EXPECT_EQ(all[2].kind, ReportKind::CityAmbiguous);

    // Names found only outside the installation's voivodeship say so.
    report.clear();
    table.deleteAll();
    auto elsewhere = basicCells();
    elsewhere.insert({{"Q", "Nigdzie"}, {"U", "Uśpiona"}});
    run({makeRow(9, elsewhere)});
    const auto notHere = entries();
    ASSERT_EQ(notHere.size(), 1u);
    EXPECT_EQ(notHere[0].kind, ReportKind::CommuneNotInVoivodeship);
    EXPECT_EQ(notHere[0].message,
              "Gmina „Uśpiona” (miejscowość „Nigdzie”) nie leży w województwie 02 (w słowniku "
              "są tylko gminy o tej nazwie w innych województwach lub nieaktualne); pole "
              "KOD_GMINY_PAC_ST pozostaje puste");
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
