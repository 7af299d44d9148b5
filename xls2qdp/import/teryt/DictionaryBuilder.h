// SPDX-License-Identifier: MIT
// Builds the commune and city dictionaries from the official TERYT lists.
//
// sl_gminy.db: one record per TERC unit at commune level (GMI not empty),
// KOD_GMINY = WOJ+POW+GMI+RODZ, NAZWA, KOD_WOJ = WOJ, STATUS_AKT "T" and the
// search name SL_NAZWA that lets a lookup land on the unit under which SIMC
// files its localities: "M. " + NAZWA for an urban commune (RODZ 1),
// NAZWA + " (MIASTO)" for the town of an urban-rural commune (4),
// NAZWA + " (GMINA MIEJSKO-WIEJSKA)" for the urban-rural commune itself (3),
// the plain NAZWA otherwise (rural communes and parts, districts).
//
// sl_miejscowosci.db: one record per SIMC locality in its own right
// (SYM = SYMPOD): NAZWA_MIASTA = NAZWA, KOD_GMINY = WOJ+POW+GMI+RODZ_GMI,
// KOD_MIASTA = SYM, STATUS_AKT "T".
//
// Each file is written under a temporary name and renamed when complete, so
// a failed build never leaves a half-filled dictionary behind.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace xls2qdp::teryt {

struct BuildCounts {
    std::size_t communes = 0;
    std::size_t cities = 0;
};

// The SL_NAZWA of a TERC unit, from its name and its RODZ digit.
std::string communeSearchName(std::string_view name, char kind);

std::size_t buildCommuneDictionary(const std::filesystem::path& tercFile,
                                   const std::filesystem::path& target);
std::size_t buildCityDictionary(const std::filesystem::path& simcFile,
                                const std::filesystem::path& target);

// Writes an empty working table (the file the importer fills during a run).
void buildEmptyWorkingTable(const std::filesystem::path& target);

} // namespace xls2qdp::teryt
