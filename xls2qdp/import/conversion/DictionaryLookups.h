// SPDX-License-Identifier: MIT
// The commune and city code lookups of a declaration row: which dictionary
// record a commune or city name stands for, with the tie rules that settle
// names occurring more than once. A result carries the code (empty when
// none) and why there is none: nothing matched, several records still fit
// after the tie rules, or the records that matched all lie outside the
// installation's voivodeship (or are not active).
//
// Results are remembered for the run (the dictionaries do not change while
// rows are read), so a sheet naming the same places again and again costs
// one dictionary search per place.
#pragma once

#include "import/store/CityDictionary.h"
#include "import/store/CommuneDictionary.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace xls2qdp {

enum class LookupOutcome { Found, NotFound, Ambiguous, NotInVoivodeship };

struct LookupResult {
    std::string code;
    LookupOutcome outcome = LookupOutcome::NotFound;
    bool found() const { return outcome == LookupOutcome::Found; }
};

class DictionaryLookups {
public:
    // `cities` is null when the city dictionary is missing: then no lookup
    // touches it. `voivodeship` is the installation's KodWojew. Both
    // dictionaries must stay open and alive while this object is used.
    DictionaryLookups(store::CommuneDictionary& communes, store::CityDictionary* cities,
                      std::string voivodeship);

    bool hasCityDictionary() const { return cities_ != nullptr; }
    const std::string& voivodeship() const { return voivodeship_; }

    LookupResult FindCommuneCode(std::string_view commune, std::string_view city);
    LookupResult FindCommuneByName(std::string_view name);
    LookupResult FindCommuneByCity(std::string_view city);
    LookupResult FindCommuneByCityAndName(std::string_view commune, std::string_view city);
    LookupResult FindCityCode(std::string_view communeCode, std::string_view city);

    // Forgets the remembered results (for a dictionary that was changed).
    void forgetResults();

private:
    LookupResult findCommuneCodeUncached(std::string_view commune, std::string_view city);
    LookupResult findCityCodeUncached(std::string_view communeCode, std::string_view city);
    bool inVoivodeship(std::string_view communeCode) const;

    store::CommuneDictionary& communes_;
    store::CityDictionary* cities_;
    std::string voivodeship_;
    std::unordered_map<std::string, LookupResult> communeResults_;
    std::unordered_map<std::string, LookupResult> cityResults_;
    std::string key_;
};

} // namespace xls2qdp
