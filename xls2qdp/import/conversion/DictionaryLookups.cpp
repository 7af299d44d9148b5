// SPDX-License-Identifier: MIT
#include "DictionaryLookups.h"

#include "common/Text.h"

namespace xls2qdp {
namespace {

// Remembered results are dropped wholesale past this many, which keeps memory
// bounded on a sheet naming every place of the country.
constexpr std::size_t kMaxRemembered = 100000;

LookupResult found(std::string code) {
    return {std::move(code), LookupOutcome::Found};
}
LookupResult notFound() {
    return {{}, LookupOutcome::NotFound};
}
LookupResult ambiguous() {
    return {{}, LookupOutcome::Ambiguous};
}
LookupResult notInVoivodeship() {
    return {{}, LookupOutcome::NotInVoivodeship};
}
// Several records of a name: one counted is the answer, none counted means
// none lies in the voivodeship, more than one leaves the name ambiguous.
LookupResult fromCounted(int counted, std::string code) {
    if (counted == 1) return found(std::move(code));
    return counted == 0 ? notInVoivodeship() : ambiguous();
}

} // namespace

DictionaryLookups::DictionaryLookups(store::CommuneDictionary& communes,
                                     store::CityDictionary* cities, std::string voivodeship)
    : communes_(communes), cities_(cities), voivodeship_(std::move(voivodeship)) {}

void DictionaryLookups::forgetResults() {
    communeResults_.clear();
    cityResults_.clear();
}

bool DictionaryLookups::inVoivodeship(std::string_view communeCode) const {
    return communeCode.starts_with(voivodeship_);
}

LookupResult DictionaryLookups::FindCommuneCode(std::string_view commune, std::string_view city) {
    key_.assign(commune).append(1, '\x1f').append(city);
    if (auto it = communeResults_.find(key_); it != communeResults_.end()) return it->second;
    LookupResult result = findCommuneCodeUncached(commune, city);
    if (communeResults_.size() >= kMaxRemembered) communeResults_.clear();
    key_.assign(commune).append(1, '\x1f').append(city);
    communeResults_.emplace(key_, result);
    return result;
}

LookupResult DictionaryLookups::findCommuneCodeUncached(std::string_view commune,
                                                        std::string_view city) {
    if (commune.empty()) {
        if (!city.empty() && cities_) return FindCommuneByCity(city);
        return notFound();
    }
    bool sawAmbiguity = false;
    bool sawElsewhere = false;
    auto attempt = [&](LookupResult r) {
        if (r.outcome == LookupOutcome::Ambiguous) sawAmbiguity = true;
        if (r.outcome == LookupOutcome::NotInVoivodeship) sawElsewhere = true;
        return r;
    };
    const std::string communeText(commune);
    if (upperPolish(city) == upperPolish(commune)) {
        if (auto r = attempt(FindCommuneByName("M. " + communeText)); r.found()) return r;
        if (auto r = attempt(FindCommuneByName(communeText + " (MIASTO)")); r.found()) return r;
    }
    if (auto r = attempt(FindCommuneByName(communeText)); r.found()) return r;
    if (auto r = attempt(FindCommuneByCityAndName(commune, city)); r.found()) return r;
    if (sawAmbiguity) return ambiguous();
    return sawElsewhere ? notInVoivodeship() : notFound();
}

LookupResult DictionaryLookups::FindCommuneByName(std::string_view name) {
    const auto& range = communes_.findBySearchName(name);
    if (range.empty()) return notFound();
    if (range.size() == 1) return found(range.front().code);
    const store::CommuneRecord* chosen = nullptr;
    int counted = 0;
    for (const auto& record : range) {
        if (record.voivodeship == voivodeship_ && store::isActiveStatus(record.status)) {
            chosen = &record;
            ++counted;
        }
    }
    return fromCounted(counted, counted == 1 ? chosen->code : std::string());
}

LookupResult DictionaryLookups::FindCommuneByCity(std::string_view city) {
    if (!cities_) return notFound();
    const auto& range = cities_->findByName(city);
    if (range.empty()) return notFound();
    if (range.size() == 1) return found(range.front().communeCode);
    std::string code;
    int counted = 0;
    for (const auto& record : range) {
        if (!inVoivodeship(record.communeCode)) continue;
        if (!store::isActiveStatus(record.status)) continue;
        if (counted > 0 && record.communeCode == code) continue; // same commune again
        code = record.communeCode;
        ++counted;
    }
    return fromCounted(counted, std::move(code));
}

LookupResult DictionaryLookups::FindCommuneByCityAndName(std::string_view commune,
                                                         std::string_view city) {
    if (trimBlanksAndControls(commune).empty() || trimBlanksAndControls(city).empty() || !cities_)
        return notFound();
    const auto& range = cities_->findByName(city);
    if (range.empty()) return notFound();
    if (range.size() == 1) return found(range.front().communeCode);
    const std::string wanted = upperPolish(commune);
    std::string activeMatch;
    std::string anyMatch;
    for (const auto& record : range) {
        if (!inVoivodeship(record.communeCode) || !store::isActiveStatus(record.status)) continue;
        const auto unit = communes_.findByCode(record.communeCode);
        if (!unit) continue;
        if (upperPolish(unit->name) != wanted) continue;
        if (store::isActiveStatus(unit->status)) activeMatch = record.communeCode;
        anyMatch = record.communeCode;
    }
    if (!activeMatch.empty()) return found(activeMatch);
    if (!anyMatch.empty()) return found(anyMatch);
    return notFound();
}

LookupResult DictionaryLookups::FindCityCode(std::string_view communeCode, std::string_view city) {
    if (!cities_) return notFound();
    key_.assign(communeCode).append(1, '\x1f').append(city);
    if (auto it = cityResults_.find(key_); it != cityResults_.end()) return it->second;
    LookupResult result = findCityCodeUncached(communeCode, city);
    if (cityResults_.size() >= kMaxRemembered) cityResults_.clear();
    key_.assign(communeCode).append(1, '\x1f').append(city);
    cityResults_.emplace(key_, result);
    return result;
}

LookupResult DictionaryLookups::findCityCodeUncached(std::string_view communeCode,
                                                     std::string_view city) {
    const auto& range = cities_->findByNameAndCommune(city, communeCode);
    if (range.empty()) return notFound();
    if (range.size() == 1) return found(range.front().cityCode);
    return ambiguous();
}

} // namespace xls2qdp
