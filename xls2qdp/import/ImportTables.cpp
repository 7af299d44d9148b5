// SPDX-License-Identifier: MIT
#include "ImportTables.h"

namespace xls2qdp {

ImportTables::ImportTables(std::filesystem::path workingTableDir,
                           std::filesystem::path dictionaryDir)
    : workingTableDir_(std::move(workingTableDir)), dictionaryDir_(std::move(dictionaryDir)) {}

ImportTables::~ImportTables() {
    closeTables();
}

std::filesystem::path ImportTables::workingTableFile() const {
    return workingTableDir_ / store::WorkingTable::kFileName;
}
std::filesystem::path ImportTables::communeDictionaryFile() const {
    return dictionaryDir_ / store::CommuneDictionary::kFileName;
}
std::filesystem::path ImportTables::cityDictionaryFile() const {
    return dictionaryDir_ / store::CityDictionary::kFileName;
}

bool ImportTables::emptyWorkTable() noexcept {
    try {
        const bool wasOpen = table_.isOpen();
        if (wasOpen) {
            transaction_.reset();
            table_.close();
        }
        store::WorkingTable exclusive;
        exclusive.open(workingTableFile(), store::WorkingTable::Access::Exclusive);
        exclusive.deleteAll();
        exclusive.close();
        if (wasOpen) table_.open(workingTableFile());
        return true;
    } catch (const std::exception& e) {
        lastError_ = e.what();
        return false;
    }
}

void ImportTables::openWorkTable() {
    table_.open(workingTableFile());
}

DictionariesOpened ImportTables::openDictionaries(bool withoutCities) noexcept {
    const std::string communeName = store::CommuneDictionary::kFileName;
    try {
        communes_.open(communeDictionaryFile());
    } catch (const std::exception& e) {
        return {DictionaryStatus::AccessError, communeName, e.what()};
    }
    withCities_ = !withoutCities;
    if (withCities_) {
        try {
            cities_.open(cityDictionaryFile());
        } catch (const std::exception& e) {
            return {DictionaryStatus::AccessError, store::CityDictionary::kFileName, e.what()};
        }
    }
    try {
        communes_.ensureSearchIndex();
    } catch (const std::exception& e) {
        return {DictionaryStatus::IndexError, communeName, e.what()};
    }
    return {};
}

void ImportTables::startRows(const ConversionSettings& settings, const std::string& voivodeship,
                             DeclarationWriter::Clock clock) {
    transaction_.reset();
    writer_.reset();
    report_.clear();
    lookups_ = std::make_unique<DictionaryLookups>(communes_, withCities_ ? &cities_ : nullptr,
                                                   voivodeship);
    writer_ =
        std::make_unique<DeclarationWriter>(table_, *lookups_, settings, report_, std::move(clock));
    writer_->startRun();
    transaction_ = std::make_unique<store::AppendTransaction>(table_);
}

int ImportTables::WriteDeclarationRow(const DeclarationRow& row) {
    if (!writer_ || !transaction_) throw std::logic_error("ImportTables: startRows() not called");
    return writer_->WriteDeclarationRow(row);
}

void ImportTables::finishRows() {
    if (transaction_) transaction_->commit();
    transaction_.reset();
}

void ImportTables::closeTables() noexcept {
    transaction_.reset(); // rolls back unfinished rows
    writer_.reset();
    lookups_.reset();
    table_.close();
    communes_.close();
    cities_.close();
}

} // namespace xls2qdp
