// SPDX-License-Identifier: MIT
#include "DictionaryLookups.h"

#include "import/testing/DictionaryFixture.h"
#include "import/testing/ScratchFolder.h"

#include <gtest/gtest.h>

namespace xls2qdp {
namespace {

class DictionaryLookupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::writeFixtureCommunes(folder / "sl_gminy.db");
        testing::writeFixtureCities(folder / "sl_miejscowosci.db");
        communes.open(folder / "sl_gminy.db");
        cities.open(folder / "sl_miejscowosci.db");
    }

    testing::ScratchFolder folder;
    store::CommuneDictionary communes;
    store::CityDictionary cities;
    DictionaryLookups lookups{communes, &cities, testing::kFixtureVoivodeship};
};

struct Expected {
    const char* code;
    LookupOutcome outcome;
};

void expectResult(const LookupResult& r, Expected e, const std::string& what) {
    EXPECT_EQ(r.code, e.code) << what;
    EXPECT_EQ(r.outcome, e.outcome) << what;
}

constexpr auto Found = LookupOutcome::Found;
constexpr auto NotFound = LookupOutcome::NotFound;
constexpr auto Ambiguous = LookupOutcome::Ambiguous;
constexpr auto Elsewhere = LookupOutcome::NotInVoivodeship;

TEST_F(DictionaryLookupsTest, CommuneByName) {
    struct Case {
        const char* name;
        Expected expected;
    } cases[] = {
        {"unikat", {"0401001", Found}}, // one record: taken whatever its voivodeship or status
        {"DWOJAK", {"0201012", Found}}, // several: the one active in the voivodeship
        {"Trojak", {"", Ambiguous}},    // several active in the voivodeship ("A" counts)
        {"Uśpiona", {"", Elsewhere}},   // several, none active in the voivodeship
        {"M. miasto", {"0201051", Found}}, {"Nigdzie", {"", NotFound}},
    };
    for (const auto& c : cases)
        expectResult(lookups.FindCommuneByName(c.name), c.expected, c.name);
}

TEST_F(DictionaryLookupsTest, CommuneByCity) {
    struct Case {
        const char* city;
        Expected expected;
    } cases[] = {
        {"Jedynka", {"0401012", Found}},  // one record: no further check
        {"wólka", {"", Ambiguous}},       // two communes of the voivodeship
        {"Dublet", {"0201012", Found}},   // one commune here, named twice in it
        {"Zgaszona", {"0201012", Found}}, // the inactive record does not count
        {"Daleka", {"", Elsewhere}},      // two communes, none in the voivodeship
        {"Nigdzie", {"", NotFound}},
    };
    for (const auto& c : cases)
        expectResult(lookups.FindCommuneByCity(c.city), c.expected, c.city);
}

TEST_F(DictionaryLookupsTest, CommuneByCityAndName) {
    struct Case {
        const char* commune;
        const char* city;
        Expected expected;
    } cases[] = {
        {"zakole", "Osada", {"0201082", Found}}, // the active commune wins over the later inactive
        {"Zakole",
         "Przysiółek",
         {"0201092", Found}},                      // only an inactive commune: taken all the same
        {"Zakole", "Jedynka", {"0401012", Found}}, // one record: no check of the commune name
        {"Dwojak", "Osada", {"", NotFound}},
        {" ", "Osada", {"", NotFound}},
        {"Zakole", "  ", {"", NotFound}},
    };
    for (const auto& c : cases)
        expectResult(lookups.FindCommuneByCityAndName(c.commune, c.city), c.expected,
                     std::string(c.commune) + "/" + c.city);
}

TEST_F(DictionaryLookupsTest, CommuneCode) {
    struct Case {
        const char* commune;
        const char* city;
        Expected expected;
    } cases[] = {
        {"Miasto", "MIASTO", {"0201051", Found}},    // city named like the commune: "M. " first
        {"Gródek", "gródek", {"0201064", Found}},    // then "(MIASTO)"
        {"Gródek", "Gierałtów", {"0201065", Found}}, // a village: the plain commune name
        {"Zakole", "Osada", {"0201082", Found}},     // not by name: through the city
        {"", "Jedynka", {"0401012", Found}},         // no commune: by the city alone
        {"", "Wólka", {"", Ambiguous}},
        {"Trojak", "Nigdzie", {"", Ambiguous}},
        {"Uśpiona", "Nigdzie", {"", Elsewhere}}, // "niejednoznaczna" only with candidates left
        {"", "Daleka", {"", Elsewhere}},
        {"Nigdzie", "Nigdzie", {"", NotFound}},
        {"", "", {"", NotFound}},
    };
    for (int round = 0; round < 2; ++round) { // the second round answers from memory
        for (const auto& c : cases)
            expectResult(lookups.FindCommuneCode(c.commune, c.city), c.expected,
                         std::string(c.commune) + "/" + c.city);
    }
}

TEST_F(DictionaryLookupsTest, CityCode) {
    struct Case {
        const char* commune;
        const char* city;
        Expected expected;
    } cases[] = {
        {"0201065", "GIERAŁTÓW", {"0000801", Found}},
        {"0201012", "Dublet", {"", Ambiguous}}, // two localities of that name in the commune
        {"0201064", "Gierałtów", {"", NotFound}},
    };
    for (const auto& c : cases)
        expectResult(lookups.FindCityCode(c.commune, c.city), c.expected,
                     std::string(c.commune) + "/" + c.city);
}

TEST_F(DictionaryLookupsTest, WithoutCityDictionaryOnlyCommuneNamesCount) {
    DictionaryLookups withoutCities(communes, nullptr, testing::kFixtureVoivodeship);
    EXPECT_FALSE(withoutCities.hasCityDictionary());
    expectResult(withoutCities.FindCommuneCode("Gródek", "Gierałtów"), {"0201065", Found},
                 "by name");
    expectResult(withoutCities.FindCommuneCode("", "Jedynka"), {"", NotFound}, "by city");
    expectResult(withoutCities.FindCommuneCode("Zakole", "Osada"), {"", NotFound}, "city and name");
    expectResult(withoutCities.FindCityCode("0201065", "Gierałtów"), {"", NotFound}, "city code");
}

} // namespace
} // namespace xls2qdp
