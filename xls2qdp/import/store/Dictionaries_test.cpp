// SPDX-License-Identifier: MIT
#include "CityDictionary.h"
#include "CommuneDictionary.h"

#include "import/testing/ScratchFolder.h"

#include <gtest/gtest.h>

namespace xls2qdp::store {
namespace {

std::vector<std::string> codes(const std::vector<CommuneRecord>& range) {
    std::vector<std::string> result;
    for (const auto& r : range)
        result.push_back(r.code);
    return result;
}

std::vector<std::string> cityCodes(const std::vector<CityRecord>& range) {
    std::vector<std::string> result;
    for (const auto& r : range)
        result.push_back(r.cityCode);
    return result;
}

void writeCommunes(const std::filesystem::path& file, bool withSearchIndex) {
    Database db(file, Database::Mode::Create);
    CommuneDictionary::createTable(db, withSearchIndex);
    auto insert = CommuneDictionary::prepareInsert(db);
    CommuneDictionary::insert(insert, {"1061011", "Łódź", "M. Łódź", "10", "T"});
    CommuneDictionary::insert(insert, {"0201045", "Nowogrodziec", "Nowogrodziec", "02", "T"});
    CommuneDictionary::insert(insert,
                              {"0201044", "Nowogrodziec", "Nowogrodziec (MIASTO)", "02", "T"});
    CommuneDictionary::insert(insert, {"0401012", "Nowogrodziec", "Nowogrodziec", "04", "N"});
}

TEST(CommuneDictionary, FindsSearchNamesIgnoringCaseWithPolishLetters) {
    testing::ScratchFolder folder;
    writeCommunes(folder / "sl_gminy.db", true);
    CommuneDictionary communes;
    communes.open(folder / "sl_gminy.db");
    EXPECT_EQ(codes(communes.findBySearchName("m. łódź")), std::vector<std::string>{"1061011"});
    EXPECT_EQ(codes(communes.findBySearchName("M. ŁÓDŹ")), std::vector<std::string>{"1061011"});
    EXPECT_EQ(codes(communes.findBySearchName("NOWOGRODZIEC")),
              (std::vector<std::string>{"0201045", "0401012"}));
    EXPECT_TRUE(communes.findBySearchName("M. Lodz").empty());
    ASSERT_TRUE(communes.findByCode("0201044"));
    EXPECT_EQ(communes.findByCode("0201044")->searchName, "Nowogrodziec (MIASTO)");
    EXPECT_FALSE(communes.findByCode("9999999"));
}

TEST(CommuneDictionary, AddsTheSearchIndexWhenMissing) {
    testing::ScratchFolder folder;
    writeCommunes(folder / "sl_gminy.db", false);
    CommuneDictionary communes;
    communes.open(folder / "sl_gminy.db");
    EXPECT_FALSE(communes.hasSearchIndex());
    EXPECT_THROW(communes.findBySearchName("M. Łódź"), StoreError);

    EXPECT_TRUE(communes.ensureSearchIndex());
    EXPECT_TRUE(communes.hasSearchIndex());
    EXPECT_FALSE(communes.ensureSearchIndex());
    const auto names = communes.indexNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "SlNazwa"), names.end());
    EXPECT_EQ(codes(communes.findBySearchName("m. łódź")), std::vector<std::string>{"1061011"});
}

TEST(CommuneDictionary, AddsTheKeyColumnToATableThatNeverHadIt) {
    testing::ScratchFolder folder;
    {
        Database db(folder / "sl_gminy.db", Database::Mode::Create);
        db.exec("CREATE TABLE sl_gminy (KOD_GMINY TEXT PRIMARY KEY, NAZWA TEXT, SL_NAZWA TEXT, "
                "KOD_WOJ TEXT, STATUS_AKT TEXT);"
                "INSERT INTO sl_gminy VALUES ('1465011', 'Warszawa', 'M. Warszawa', '14', 'T');"
                "CREATE INDEX SlNazwa ON sl_gminy (SL_NAZWA COLLATE NOCASE)");
    }
    CommuneDictionary communes;
    communes.open(folder / "sl_gminy.db");
    EXPECT_FALSE(communes.hasSearchIndex()); // an index that misses Polish capitals
    EXPECT_TRUE(communes.ensureSearchIndex());
    EXPECT_EQ(codes(communes.findBySearchName("m. warszawa")), std::vector<std::string>{"1465011"});
}

TEST(CommuneDictionary, RefusesATableWithoutItsFields) {
    testing::ScratchFolder folder;
    {
        Database db(folder / "sl_gminy.db", Database::Mode::Create);
        db.exec("CREATE TABLE sl_gminy (KOD_GMINY TEXT, NAZWA TEXT)");
    }
    CommuneDictionary communes;
    EXPECT_THROW(communes.open(folder / "sl_gminy.db"), StoreError);
    EXPECT_THROW(communes.open(folder / "missing.db"), StoreError);
}

TEST(CityDictionary, WalksEqualNamesInCommuneOrder) {
    testing::ScratchFolder folder;
    {
        Database db(folder / "sl_miejscowosci.db", Database::Mode::Create);
        CityDictionary::createTable(db);
        auto insert = CityDictionary::prepareInsert(db);
        CityDictionary::insert(insert, {"Wólka", "0201062", "0000003", "T"});
        CityDictionary::insert(insert, {"Wólka", "0201055", "0000002", "T"});
        CityDictionary::insert(insert, {"WÓLKA", "0201062", "0000001", "T"});
        CityDictionary::insert(insert, {"Gierałtów", "0201045", "0191508", "T"});
    }
    CityDictionary cities;
    cities.open(folder / "sl_miejscowosci.db");
    EXPECT_EQ(cityCodes(cities.findByName("wólka")),
              (std::vector<std::string>{"0000002", "0000001", "0000003"}));
    EXPECT_EQ(cityCodes(cities.findByNameAndCommune("WÓLKA", "0201062")),
              (std::vector<std::string>{"0000001", "0000003"}));
    EXPECT_EQ(cityCodes(cities.findByNameAndCommune("gierałtów", "0201045")),
              std::vector<std::string>{"0191508"});
    EXPECT_TRUE(cities.findByNameAndCommune("Gierałtów", "0201044").empty());
}

TEST(CityDictionary, NeedsBothIndexes) {
    testing::ScratchFolder folder;
    {
        Database db(folder / "sl_miejscowosci.db", Database::Mode::Create);
        CityDictionary::createTable(db);
        db.exec("DROP INDEX GminaMiasto");
    }
    CityDictionary cities;
    EXPECT_THROW(cities.open(folder / "sl_miejscowosci.db"), StoreError);
}

} // namespace
} // namespace xls2qdp::store
