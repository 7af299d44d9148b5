// SPDX-License-Identifier: MIT
// The city dictionary sl_miejscowosci.db (table sl_miejscowosci):
// NAZWA_MIASTA, KOD_GMINY, KOD_MIASTA, STATUS_AKT, with the indexes
// "NazwaMiasta" (on the name) and "GminaMiasto" (on the name and the commune
// code). Names compare case-insensitively with Polish letters through the
// column NAZWA_MIASTA_KEY (see CommuneDictionary.h for why).
#pragma once

#include "SqliteDatabase.h"
#include "common/ProgramLocations.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp::store {

struct CityRecord {
    std::string name;        // NAZWA_MIASTA
    std::string communeCode; // KOD_GMINY
    std::string cityCode;    // KOD_MIASTA
    std::string status;      // STATUS_AKT
};

class CityDictionary {
public:
    static constexpr const char* kFileName = kCityDictionaryFile;
    static constexpr const char* kTableName = "sl_miejscowosci";

    static void createTable(Database& db);
    static Statement prepareInsert(Database& db);
    static void insert(Statement& insertStatement, const CityRecord& record);

    // Opens the file for reading; it must hold every field and both indexes.
    void open(const std::filesystem::path& file);
    void close();
    bool isOpen() const { return db_.isOpen(); }
    // Lookups until close read one unchanging state of the file (see
    // Database::holdSnapshot); for a run of many lookups.
    void holdSnapshot() { db_.holdSnapshot(); }

    // Range of "NazwaMiasta" on the upper-cased name. Among equal names the
    // records come in commune-code order, so that the localities of one
    // commune that share a name are neighbours. Valid until the next call.
    const std::vector<CityRecord>& findByName(std::string_view name);
    // Range of "GminaMiasto" on the upper-cased name and commune code.
    const std::vector<CityRecord>& findByNameAndCommune(std::string_view name,
                                                        std::string_view communeCode);

private:
    void requireOpen() const;
    void readRange(Statement& statement);

    Database db_;
    Statement byName_;
    Statement byNameAndCommune_;
    std::vector<CityRecord> range_;
};

} // namespace xls2qdp::store
