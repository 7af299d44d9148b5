// SPDX-License-Identifier: MIT
#include "DictionaryBuilder.h"

#include "TerytFile.h"
#include "import/store/CityDictionary.h"
#include "import/store/CommuneDictionary.h"
#include "import/store/WorkingTable.h"

#include <algorithm>
#include <string>
#include <system_error>

namespace xls2qdp::teryt {
namespace {

bool isDigits(std::string_view text, std::size_t length) {
    return text.size() == length &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A database under "<target>.tmp" that replaces target on commit() and is
// removed otherwise.
class FileUnderConstruction {
public:
    explicit FileUnderConstruction(std::filesystem::path target)
        : target_(std::move(target)), temporary_(target_) {
        temporary_ += ".tmp";
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        db_ = store::Database(temporary_, store::Database::Mode::Create);
        db_.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN");
    }
    ~FileUnderConstruction() {
        if (!committed_) {
            db_.close();
            std::error_code ignored;
            std::filesystem::remove(temporary_, ignored);
        }
    }
    store::Database& db() { return db_; }
    void commit() {
        db_.exec("COMMIT; VACUUM");
        db_.close();
        std::filesystem::rename(temporary_, target_);
        committed_ = true;
    }

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    store::Database db_;
    bool committed_ = false;
};

[[noreturn]] void badRow(const TerytFile& file, int line, const std::string& why) {
    throw TerytError(file.name() + ", wiersz " + std::to_string(line) + ": " + why);
}

} // namespace

std::string communeSearchName(std::string_view name, char kind) {
    switch (kind) {
    case '1':
        return "M. " + std::string(name);
    case '3':
        return std::string(name) + " (GMINA MIEJSKO-WIEJSKA)";
    case '4':
        return std::string(name) + " (MIASTO)";
    default:
        return std::string(name);
    }
}

std::size_t buildCommuneDictionary(const std::filesystem::path& tercFile,
                                   const std::filesystem::path& target) {
    const TerytFile terc(tercFile, {"WOJ", "POW", "GMI", "RODZ", "NAZWA"});
    FileUnderConstruction out(target);
    store::CommuneDictionary::createTable(out.db());
    auto insert = store::CommuneDictionary::prepareInsert(out.db());
    std::size_t count = 0;
    terc.forEachRow([&](const std::vector<std::string_view>& f, int line) {
        const auto woj = f[0], pow = f[1], gmi = f[2], rodz = f[3], name = f[4];
        if (gmi.empty()) return; // a voivodeship or a powiat
        if (!isDigits(woj, 2) || !isDigits(pow, 2) || !isDigits(gmi, 2) || !isDigits(rodz, 1))
            badRow(terc, line, "niepoprawny kod jednostki");
        if (name.empty()) badRow(terc, line, "brak nazwy");
        const std::string code =
            std::string(woj) + std::string(pow) + std::string(gmi) + std::string(rodz);
        store::CommuneDictionary::insert(
            insert,
            {code, std::string(name), communeSearchName(name, rodz[0]), std::string(woj), "T"});
        ++count;
    });
    insert = store::Statement();
    out.commit();
    return count;
}

std::size_t buildCityDictionary(const std::filesystem::path& simcFile,
                                const std::filesystem::path& target) {
    const TerytFile simc(simcFile, {"WOJ", "POW", "GMI", "RODZ_GMI", "NAZWA", "SYM", "SYMPOD"});
    FileUnderConstruction out(target);
    store::CityDictionary::createTable(out.db());
    auto insert = store::CityDictionary::prepareInsert(out.db());
    std::size_t count = 0;
    simc.forEachRow([&](const std::vector<std::string_view>& f, int line) {
        const auto woj = f[0], pow = f[1], gmi = f[2], rodz = f[3], name = f[4], sym = f[5],
                   sympod = f[6];
        if (!isDigits(woj, 2) || !isDigits(pow, 2) || !isDigits(gmi, 2) || !isDigits(rodz, 1) ||
            !isDigits(sym, 7) || !isDigits(sympod, 7))
            badRow(simc, line, "niepoprawny kod");
        if (name.empty()) badRow(simc, line, "brak nazwy");
        if (sym != sympod) return; // a part of another locality
        store::CityDictionary::insert(
            insert, {std::string(name),
                     std::string(woj) + std::string(pow) + std::string(gmi) + std::string(rodz),
                     std::string(sym), "T"});
        ++count;
    });
    insert = store::Statement();
    out.commit();
    return count;
}

void buildEmptyWorkingTable(const std::filesystem::path& target) {
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    try {
        store::WorkingTable::create(temporary);
        std::filesystem::rename(temporary, target);
    } catch (...) {
        std::filesystem::remove(temporary, ignored);
        throw;
    }
}

} // namespace xls2qdp::teryt
