// SPDX-License-Identifier: MIT
// Small commune and city dictionaries that show each tie rule of the lookups.
// The installation's voivodeship is "02".
#pragma once

#include "import/store/CityDictionary.h"
#include "import/store/CommuneDictionary.h"

#include <filesystem>

namespace xls2qdp::testing {

inline constexpr const char* kFixtureVoivodeship = "02";

inline void writeFixtureCommunes(const std::filesystem::path& file) {
    using store::CommuneDictionary;
    store::Database db(file, store::Database::Mode::Create);
    db.exec("BEGIN");
    CommuneDictionary::createTable(db);
    auto in = CommuneDictionary::prepareInsert(db);
    // code, name, search name, voivodeship, status
    CommuneDictionary::insert(
        in, {"0401001", "Unikat", "Unikat", "04", "N"}); // once, elsewhere, inactive
    CommuneDictionary::insert(in, {"0201012", "Dwojak", "Dwojak", "02", "T"}); // twice: one here
    CommuneDictionary::insert(in, {"0401012", "Dwojak", "Dwojak", "04", "T"});
    CommuneDictionary::insert(in, {"0201022", "Trojak", "Trojak", "02", "T"}); // twice here
    CommuneDictionary::insert(in, {"0201032", "Trojak", "Trojak", "02", "A"});
    CommuneDictionary::insert(
        in, {"0201042", "Uśpiona", "Uśpiona", "02", "X"}); // twice, none active here
    CommuneDictionary::insert(in, {"0401042", "Uśpiona", "Uśpiona", "04", "T"});
    CommuneDictionary::insert(in, {"0201051", "Miasto", "M. Miasto", "02", "T"}); // urban commune
    CommuneDictionary::insert(in,
                              {"0201063", "Gródek", "Gródek (GMINA MIEJSKO-WIEJSKA)", "02", "T"});
    CommuneDictionary::insert(in, {"0201064", "Gródek", "Gródek (MIASTO)", "02", "T"});
    CommuneDictionary::insert(in, {"0201065", "Gródek", "Gródek", "02", "T"});
    // Named differently in the search name: found only through the cities.
    CommuneDictionary::insert(in, {"0201072", "Inna", "Inna", "02", "T"});
    CommuneDictionary::insert(in, {"0201082", "Zakole", "Zakole (nowa)", "02", "T"});
    CommuneDictionary::insert(in, {"0201092", "Zakole", "Zakole (dawna)", "02", "N"});
    in = store::Statement();
    db.exec("COMMIT");
}

inline void writeFixtureCities(const std::filesystem::path& file) {
    using store::CityDictionary;
    store::Database db(file, store::Database::Mode::Create);
    db.exec("BEGIN");
    CityDictionary::createTable(db);
    auto in = CityDictionary::prepareInsert(db);
    // name, commune code, city code, status
    CityDictionary::insert(in, {"Miasto", "0201051", "0000101", "T"});
    CityDictionary::insert(in, {"Gródek", "0201064", "0000201", "T"});
    CityDictionary::insert(in, {"Wólka", "0201065", "0000202", "T"}); // in two communes here
    CityDictionary::insert(in, {"Wólka", "0201012", "0000203", "T"});
    CityDictionary::insert(in, {"Wólka", "0401012", "0000204", "T"});
    CityDictionary::insert(in, {"Jedynka", "0401012", "0000301", "T"}); // once, elsewhere
    CityDictionary::insert(in, {"Dublet", "0201012", "0000402", "T"});  // twice in one commune
    CityDictionary::insert(in, {"Dublet", "0401012", "0000401", "T"});
    CityDictionary::insert(in, {"Dublet", "0201012", "0000403", "T"});
    CityDictionary::insert(in, {"Zgaszona", "0201022", "0000501", "N"}); // inactive here
    CityDictionary::insert(in, {"Zgaszona", "0201012", "0000502", "T"});
    CityDictionary::insert(in, {"Osada", "0201082", "0000601", "T"}); // communes named Zakole
    CityDictionary::insert(in, {"Osada", "0201072", "0000602", "T"});
    CityDictionary::insert(in, {"Osada", "0201092", "0000603", "T"});
    CityDictionary::insert(in,
                           {"Przysiółek", "0201092", "0000701", "T"}); // only an inactive Zakole
    CityDictionary::insert(in, {"Przysiółek", "0201072", "0000702", "T"});
    CityDictionary::insert(in, {"Gierałtów", "0201065", "0000801", "T"});
    CityDictionary::insert(in, {"Daleka", "0401012", "0000901", "T"}); // twice, both elsewhere
    CityDictionary::insert(in, {"Daleka", "0401042", "0000902", "T"});
    in = store::Statement();
    db.exec("COMMIT");
}

} // namespace xls2qdp::testing
