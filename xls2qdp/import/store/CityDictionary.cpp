// SPDX-License-Identifier: MIT
#include "CityDictionary.h"

#include "common/Text.h"

namespace xls2qdp::store {
namespace {

constexpr const char* kFields[] = {"NAZWA_MIASTA", "KOD_GMINY", "KOD_MIASTA", "STATUS_AKT",
                                   "NAZWA_MIASTA_KEY"};

} // namespace

void CityDictionary::createTable(Database& db) {
    db.exec("CREATE TABLE sl_miejscowosci (NAZWA_MIASTA VARCHAR(100), KOD_GMINY VARCHAR(7), "
            "KOD_MIASTA VARCHAR(7) NOT NULL PRIMARY KEY, STATUS_AKT VARCHAR(1), "
            "NAZWA_MIASTA_KEY VARCHAR(100))");
    db.exec("CREATE INDEX NazwaMiasta ON sl_miejscowosci (NAZWA_MIASTA_KEY)");
    db.exec("CREATE INDEX GminaMiasto ON sl_miejscowosci (NAZWA_MIASTA_KEY, KOD_GMINY)");
}

Statement CityDictionary::prepareInsert(Database& db) {
    return db.prepare("INSERT INTO sl_miejscowosci (NAZWA_MIASTA, KOD_GMINY, KOD_MIASTA, "
                      "STATUS_AKT, NAZWA_MIASTA_KEY) VALUES (?1, ?2, ?3, ?4, pl_upper(?1))");
}

void CityDictionary::insert(Statement& s, const CityRecord& r) {
    s.bind(1, r.name).bind(2, r.communeCode).bind(3, r.cityCode).bind(4, r.status);
    s.step();
    s.reset();
}

void CityDictionary::open(const std::filesystem::path& file) {
    close();
    Database db(file, Database::Mode::ReadOnly);
    db.requireTable(kTableName);
    for (const char* field : kFields)
        db.requireColumn(kTableName, field);
    for (const char* index : {"NazwaMiasta", "GminaMiasto"}) {
        if (!db.hasIndex(kTableName, index))
            throw StoreError("Tabela " + db.fileName() + " nie ma indeksu " + index);
    }
    db_ = std::move(db);
    byName_ = db_.prepare("SELECT NAZWA_MIASTA, KOD_GMINY, KOD_MIASTA, STATUS_AKT FROM "
                          "sl_miejscowosci INDEXED BY NazwaMiasta WHERE NAZWA_MIASTA_KEY = ?1 "
                          "ORDER BY KOD_GMINY, KOD_MIASTA");
    byNameAndCommune_ =
        db_.prepare("SELECT NAZWA_MIASTA, KOD_GMINY, KOD_MIASTA, STATUS_AKT FROM sl_miejscowosci "
                    "INDEXED BY GminaMiasto WHERE NAZWA_MIASTA_KEY = ?1 AND KOD_GMINY = ?2 "
                    "ORDER BY KOD_MIASTA");
}

void CityDictionary::close() {
    byName_ = Statement();
    byNameAndCommune_ = Statement();
    db_.close();
}

void CityDictionary::requireOpen() const {
    if (!db_.isOpen()) throw StoreError(std::string("Tabela ") + kFileName + " nie jest otwarta");
}

void CityDictionary::readRange(Statement& s) {
    range_.clear();
    while (s.step()) {
        range_.push_back({std::string(s.text(0)), std::string(s.text(1)), std::string(s.text(2)),
                          std::string(s.text(3))});
    }
    s.reset();
}

const std::vector<CityRecord>& CityDictionary::findByName(std::string_view name) {
    requireOpen();
    byName_.bind(1, upperPolish(name));
    readRange(byName_);
    return range_;
}

const std::vector<CityRecord>& CityDictionary::findByNameAndCommune(std::string_view name,
                                                                    std::string_view communeCode) {
    requireOpen();
    byNameAndCommune_.bind(1, upperPolish(name)).bind(2, upperPolish(communeCode));
    readRange(byNameAndCommune_);
    return range_;
}

} // namespace xls2qdp::store
