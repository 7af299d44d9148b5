// SPDX-License-Identifier: MIT
#include "CommuneDictionary.h"

#include "common/Text.h"

namespace xls2qdp::store {
namespace {

constexpr const char* kFields[] = {"KOD_GMINY", "NAZWA", "SL_NAZWA", "KOD_WOJ", "STATUS_AKT"};
constexpr const char* kSearchKey = "SL_NAZWA_KEY";

CommuneRecord readRecord(const Statement& s) {
    return {std::string(s.text(0)), std::string(s.text(1)), std::string(s.text(2)),
            std::string(s.text(3)), std::string(s.text(4))};
}

} // namespace

void CommuneDictionary::createTable(Database& db, bool withSearchIndex) {
    db.exec("CREATE TABLE sl_gminy (KOD_GMINY VARCHAR(7) NOT NULL PRIMARY KEY, "
            "NAZWA VARCHAR(100), SL_NAZWA VARCHAR(130), KOD_WOJ VARCHAR(2), "
            "STATUS_AKT VARCHAR(1), SL_NAZWA_KEY VARCHAR(130))");
    if (withSearchIndex) db.exec("CREATE INDEX SlNazwa ON sl_gminy (SL_NAZWA_KEY)");
}

Statement CommuneDictionary::prepareInsert(Database& db) {
    return db.prepare("INSERT INTO sl_gminy (KOD_GMINY, NAZWA, SL_NAZWA, KOD_WOJ, STATUS_AKT, "
                      "SL_NAZWA_KEY) VALUES (?1, ?2, ?3, ?4, ?5, pl_upper(?3))");
}

void CommuneDictionary::insert(Statement& s, const CommuneRecord& r) {
    s.bind(1, r.code)
        .bind(2, r.name)
        .bind(3, r.searchName)
        .bind(4, r.voivodeship)
        .bind(5, r.status);
    s.step();
    s.reset();
}

void CommuneDictionary::open(const std::filesystem::path& file) {
    close();
    Database db(file, Database::Mode::ReadOnly);
    db.requireTable(kTableName);
    for (const char* field : kFields)
        db.requireColumn(kTableName, field);
    file_ = file;
    db_ = std::move(db);
    prepareStatements();
}

void CommuneDictionary::prepareStatements() {
    byCode_ = db_.prepare("SELECT KOD_GMINY, NAZWA, SL_NAZWA, KOD_WOJ, STATUS_AKT FROM sl_gminy "
                          "WHERE KOD_GMINY = ?1");
    bySearchName_ = Statement();
    if (hasSearchIndex()) {
        bySearchName_ =
            db_.prepare("SELECT KOD_GMINY, NAZWA, SL_NAZWA, KOD_WOJ, STATUS_AKT FROM sl_gminy "
                        "INDEXED BY SlNazwa WHERE SL_NAZWA_KEY = ?1 ORDER BY KOD_GMINY");
    }
}

void CommuneDictionary::close() {
    bySearchName_ = Statement();
    byCode_ = Statement();
    db_.close();
}

void CommuneDictionary::requireOpen() const {
    if (!db_.isOpen()) throw StoreError(std::string("Tabela ") + kFileName + " nie jest otwarta");
}

std::vector<std::string> CommuneDictionary::indexNames() {
    requireOpen();
    std::vector<std::string> names;
    auto s = db_.prepare("SELECT name FROM pragma_index_list('sl_gminy') ORDER BY name");
    while (s.step())
        names.emplace_back(s.text(0));
    return names;
}

bool CommuneDictionary::hasSearchIndex() {
    requireOpen();
    // Only an index over the key column is case-insensitive the way lookups need.
    auto s = db_.prepare("SELECT 1 FROM pragma_index_info('SlNazwa') WHERE name = ?1");
    s.bind(1, kSearchKey);
    return s.step();
}

bool CommuneDictionary::ensureSearchIndex() {
    requireOpen();
    if (hasSearchIndex()) return false;
    close();
    {
        Database writer(file_, Database::Mode::ReadWrite);
        writer.exec("BEGIN IMMEDIATE");
        try {
            if (writer.hasIndex(kTableName, kSearchIndex)) writer.exec("DROP INDEX SlNazwa");
            if (!writer.hasColumn(kTableName, kSearchKey))
                writer.exec("ALTER TABLE sl_gminy ADD COLUMN SL_NAZWA_KEY VARCHAR(130)");
            writer.exec("UPDATE sl_gminy SET SL_NAZWA_KEY = pl_upper(SL_NAZWA)");
            writer.exec("CREATE INDEX SlNazwa ON sl_gminy (SL_NAZWA_KEY)");
            writer.exec("COMMIT");
        } catch (...) {
            try {
                writer.exec("ROLLBACK");
            } catch (const StoreError&) {
            }
            open(file_);
            throw;
        }
    }
    open(file_);
    return true;
}

const std::vector<CommuneRecord>& CommuneDictionary::findBySearchName(std::string_view name) {
    requireOpen();
    if (!bySearchName_)
        throw StoreError("Tabela " + db_.fileName() + " nie ma indeksu " + kSearchIndex);
    range_.clear();
    bySearchName_.bind(1, upperPolish(name));
    while (bySearchName_.step())
        range_.push_back(readRecord(bySearchName_));
    bySearchName_.reset();
    return range_;
}

std::optional<CommuneRecord> CommuneDictionary::findByCode(std::string_view code) {
    requireOpen();
    byCode_.bind(1, code);
    std::optional<CommuneRecord> found;
    if (byCode_.step()) found = readRecord(byCode_);
    byCode_.reset();
    return found;
}

} // namespace xls2qdp::store
