// SPDX-License-Identifier: MIT
#include "DictionaryBuilder.h"

#include "TerytFile.h"
#include "import/conversion/DictionaryLookups.h"
#include "import/testing/ScratchFolder.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <zip.h>

namespace xls2qdp::teryt {
namespace {

std::filesystem::path shippedList(const char* name) {
    const char* source = std::getenv("QDP_SOURCE_DIR");
    return std::filesystem::path(source ? source : ".") / "data" / "teryt" / name;
}

// The dictionaries built once from the shipped registry lists.
class ShippedDictionaries : public ::testing::Test {
protected:
    // The build puts the dictionaries beside the programs (this test among
    // them) with this same builder; the test reads those rather than spend
    // the time again, and builds its own only when they are not there.
    static void SetUpTestSuite() {
        folder_ = new testing::ScratchFolder;
        std::error_code error;
        const auto built = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
        if (!error && std::filesystem::exists(built / "sl_gminy.db") &&
            std::filesystem::exists(built / "sl_miejscowosci.db")) {
            dictionaryDir_ = built;
        } else {
            buildCommuneDictionary(shippedList("terc.csv.gz"), *folder_ / "sl_gminy.db");
            buildCityDictionary(shippedList("simc.csv.gz"), *folder_ / "sl_miejscowosci.db");
            dictionaryDir_ = folder_->path();
        }
        communeCount_ = countRows(dictionaryDir_ / "sl_gminy.db", "sl_gminy");
        cityCount_ = countRows(dictionaryDir_ / "sl_miejscowosci.db", "sl_miejscowosci");
    }
    static std::size_t countRows(const std::filesystem::path& file, const std::string& table) {
        store::Database db(file, store::Database::Mode::ReadOnly);
        auto count = db.prepare("SELECT count(*) FROM " + table);
        count.step();
        return static_cast<std::size_t>(count.integer(0));
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    void SetUp() override {
        communes.open(dictionaryDir_ / "sl_gminy.db");
        cities.open(dictionaryDir_ / "sl_miejscowosci.db");
    }

    static inline testing::ScratchFolder* folder_ = nullptr;
    static inline std::filesystem::path dictionaryDir_;
    static inline std::size_t communeCount_ = 0;
    static inline std::size_t cityCount_ = 0;
    store::CommuneDictionary communes;
    store::CityDictionary cities;
};

TEST_F(ShippedDictionaries, HoldEveryUnitAndPlaceTheExampleAddresses) {
    // 302 urban, 1453 rural, 724 urban-rural communes with their 724 towns and
    // 724 rural parts, 18 districts of the capital and 19 delegations.
    EXPECT_EQ(communeCount_, 3964u);
    EXPECT_GT(cityCount_, 50000u);
    EXPECT_LT(cityCount_, 101865u); // parts of localities are left out
    EXPECT_TRUE(communes.hasSearchIndex());

    struct Case {
        const char* voivodeship;
        const char* commune;
        const char* city;
        const char* communeCode;
        const char* cityCode;
    } cases[] = {
        {"02", "Nowogrodziec", "Nowogrodziec", "0201044", "0936262"}, // the town
        {"02", "Nowogrodziec", "Gierałtów", "0201045", "0191508"},    // a village of the commune
        {"12", "Kraków", "Kraków", "1261011", "0950463"},
        {"14", "Warszawa", "Warszawa", "1465011", "0918123"},
        {"14", "WARSZAWA", "warszawa", "1465011", "0918123"},
    };
    for (const auto& c : cases) {
        DictionaryLookups lookups(communes, &cities, c.voivodeship);
        const auto commune = lookups.FindCommuneCode(c.commune, c.city);
        EXPECT_EQ(commune.code, c.communeCode) << c.commune << "/" << c.city;
        EXPECT_EQ(lookups.FindCityCode(commune.code, c.city).code, c.cityCode)
            << c.commune << "/" << c.city;
    }
}

TEST(CommuneSearchName, FollowsTheKindOfUnit) {
    EXPECT_EQ(communeSearchName("Bolesławiec", '1'), "M. Bolesławiec");
    EXPECT_EQ(communeSearchName("Bolesławiec", '2'), "Bolesławiec");
    EXPECT_EQ(communeSearchName("Nowogrodziec", '3'), "Nowogrodziec (GMINA MIEJSKO-WIEJSKA)");
    EXPECT_EQ(communeSearchName("Nowogrodziec", '4'), "Nowogrodziec (MIASTO)");
    EXPECT_EQ(communeSearchName("Nowogrodziec", '5'), "Nowogrodziec");
    EXPECT_EQ(communeSearchName("Mokotów", '8'), "Mokotów");
    EXPECT_EQ(communeSearchName("Kraków-Podgórze", '9'), "Kraków-Podgórze");
}

constexpr const char* kSmallTerc = "\xEF\xBB\xBFWOJ;POW;GMI;RODZ;NAZWA;NAZWA_DOD;STAN_NA\r\n"
                                   "02;;;;DOLNOŚLĄSKIE;województwo;2026-01-01\r\n"
                                   "02;01;;;bolesławiecki;powiat;2026-01-01\r\n"
                                   "02;01;01;1;Bolesławiec;gmina miejska;2026-01-01\r\n"
                                   "\r\n";

TEST(TerytLists, ReadsThePublishedZipAndCsvAlike) {
    testing::ScratchFolder folder;
    std::ofstream(folder / "terc.csv", std::ios::binary) << kSmallTerc;
    {
        int error = 0;
        zip_t* archive = zip_open((folder / "terc.zip").c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_NE(archive, nullptr);
        zip_source_t* source = zip_source_buffer(archive, kSmallTerc, std::strlen(kSmallTerc), 0);
        zip_file_add(archive, "TERC_Urzedowy_2026-05-11.csv", source, ZIP_FL_ENC_UTF_8);
        ASSERT_EQ(zip_close(archive), 0);
    }
    for (const char* name : {"terc.csv", "terc.zip"}) {
        const auto target = folder / (std::string(name) + ".db");
        EXPECT_EQ(buildCommuneDictionary(folder / name, target), 1u) << name;
        store::CommuneDictionary communes;
        communes.open(target);
        ASSERT_TRUE(communes.findByCode("0201011")) << name;
        EXPECT_EQ(communes.findByCode("0201011")->searchName, "M. Bolesławiec");
        EXPECT_EQ(communes.findByCode("0201011")->voivodeship, "02");
        EXPECT_EQ(communes.findByCode("0201011")->status, "T");
    }
}

TEST(TerytLists, BadInputFailsWithoutLeavingADictionary) {
    testing::ScratchFolder folder;
    struct Case {
        const char* content;
        const char* expectedText;
    } cases[] = {
        {"WOJ;POW;GMI;NAZWA\n02;01;01;X\n", "RODZ"},                   // not a TERC list
        {"WOJ;POW;GMI;RODZ;NAZWA\n02;01;01;1\n", "wiersz 2"},          // a short line
        {"WOJ;POW;GMI;RODZ;NAZWA\n02;01;0x;1;X\n", "niepoprawny kod"}, // a broken code
        {"PK\x03\x04garbage", "ZIP"},                                  // a damaged archive
    };
    for (const auto& c : cases) {
        std::ofstream(folder / "terc.csv", std::ios::binary) << c.content;
        try {
            buildCommuneDictionary(folder / "terc.csv", folder / "sl_gminy.db");
            ADD_FAILURE() << "accepted: " << c.content;
        } catch (const TerytError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expectedText), std::string::npos) << e.what();
        }
        EXPECT_FALSE(std::filesystem::exists(folder / "sl_gminy.db")) << c.content;
        EXPECT_FALSE(std::filesystem::exists(folder / "sl_gminy.db.tmp")) << c.content;
    }
    EXPECT_THROW(buildCommuneDictionary(folder / "missing.csv", folder / "sl_gminy.db"),
                 TerytError);
}

} // namespace
} // namespace xls2qdp::teryt
