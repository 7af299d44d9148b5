// SPDX-License-Identifier: MIT
// The commune dictionary sl_gminy.db (table sl_gminy): KOD_GMINY (primary
// key), NAZWA, SL_NAZWA (search name), KOD_WOJ, STATUS_AKT.
//
// The index "SlNazwa" makes SL_NAZWA case-insensitive with Polish letters. It
// is built over the column SL_NAZWA_KEY, which holds SL_NAZWA upper-cased by
// upperPolish(); a plain index over it is ordered and exact, and the file
// stays readable by any SQLite tool (a collation of our own would not be).
#pragma once

#include "SqliteDatabase.h"
#include "common/ProgramLocations.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xls2qdp::store {

struct CommuneRecord {
    std::string code;        // KOD_GMINY
    std::string name;        // NAZWA
    std::string searchName;  // SL_NAZWA
    std::string voivodeship; // KOD_WOJ
    std::string status;      // STATUS_AKT
};

// "T" and "A" count as active, every other status as inactive.
inline bool isActiveStatus(std::string_view status) {
    return status == "T" || status == "A";
}

class CommuneDictionary {
public:
    static constexpr const char* kFileName = kCommuneDictionaryFile;
    static constexpr const char* kTableName = "sl_gminy";
    static constexpr const char* kSearchIndex = "SlNazwa";

    // Creates the table (with or without the search index) in an empty database.
    static void createTable(Database& db, bool withSearchIndex = true);
    // Appends one commune; the search key is derived from the search name.
    static void insert(Statement& insertStatement, const CommuneRecord& record);
    static Statement prepareInsert(Database& db);

    // Opens the file for reading; it must hold every field named above.
    void open(const std::filesystem::path& file);
    void close();
    bool isOpen() const { return db_.isOpen(); }
    // Lookups until close read one unchanging state of the file (see
    // Database::holdSnapshot); for a run of many lookups.
    void holdSnapshot() { db_.holdSnapshot(); }

    std::vector<std::string> indexNames();
    bool hasSearchIndex();
    // Adds the case-insensitive index "SlNazwa" on SL_NAZWA when the table
    // lacks it (opening the file for writing meanwhile); true when it was added.
    bool ensureSearchIndex();

    // Range of "SlNazwa" on the upper-cased name, in index order (by code
    // among equal names). The reference stays valid until the next call.
    const std::vector<CommuneRecord>& findBySearchName(std::string_view name);
    // Primary-key lookup.
    std::optional<CommuneRecord> findByCode(std::string_view code);

private:
    void requireOpen() const;
    void prepareStatements();

    std::filesystem::path file_;
    Database db_;
    Statement bySearchName_;
    Statement byCode_;
    std::vector<CommuneRecord> range_;
};

} // namespace xls2qdp::store
