// SPDX-License-Identifier: MIT
// teryt2db: builds the importer's dictionaries sl_gminy.db and
// sl_miejscowosci.db from the official TERC and SIMC lists, e.g. after the
// registry publishes a newer export:
//   teryt2db TERC_Urzedowy_2026-05-11.zip SIMC_Urzedowy_2026-05-11.zip <folder>
// Each list may be the published .zip, its .csv, or a .csv.gz.
// --working-table also writes an empty working table xls_imp.db.
// Exit code 0 on success, 1 on bad input, 2 on wrong usage.
#include "DictionaryBuilder.h"
#include "TerytFile.h"
#include "import/store/CityDictionary.h"
#include "import/store/CommuneDictionary.h"
#include "import/store/SqliteDatabase.h"
#include "import/store/WorkingTable.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<std::string> positional;
    bool workingTable = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--working-table")
            workingTable = true;
        else
            positional.push_back(arg);
    }
    if (positional.size() != 3) {
        std::fprintf(stderr, "Użycie: teryt2db [--working-table] <lista TERC> <lista SIMC> "
                             "<katalog docelowy>\n");
        return 2;
    }
    const fs::path folder = positional[2];
    try {
        if (!fs::is_directory(folder)) {
            std::fprintf(stderr, "teryt2db: brak katalogu %s\n", folder.string().c_str());
            return 1;
        }
        using xls2qdp::store::CityDictionary;
        using xls2qdp::store::CommuneDictionary;
        const auto communes = xls2qdp::teryt::buildCommuneDictionary(
            positional[0], folder / CommuneDictionary::kFileName);
        const auto cities =
            xls2qdp::teryt::buildCityDictionary(positional[1], folder / CityDictionary::kFileName);
        if (workingTable)
            xls2qdp::teryt::buildEmptyWorkingTable(folder /
                                                   xls2qdp::store::WorkingTable::kFileName);
        std::printf("teryt2db: %zu gmin, %zu miejscowości\n", communes, cities);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "teryt2db: %s\n", e.what());
        return 1;
    }
}
