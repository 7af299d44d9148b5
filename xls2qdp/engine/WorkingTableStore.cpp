// SPDX-License-Identifier: MIT
#include "WorkingTableStore.h"

#include "common/ProgramLocations.h"
#include "import/conversion/DeclarationWriter.h"
#include "import/conversion/DictionaryLookups.h"
#include "import/conversion/ImportReport.h"
#include "import/store/CityDictionary.h"
#include "import/store/CommuneDictionary.h"
#include "import/store/WorkingTable.h"

namespace xls2qdp {

namespace fs = std::filesystem;

class WorkingTableStore::Run : public DeclarationRun {
public:
    Run(const WorkingTableStore& store, const fs::path& tableFile) : store_(store) {
        table_.open(tableFile, store::WorkingTable::Access::Exclusive);
    }

    ~Run() override {
        try {
            transaction_.reset(); // rows not committed are rolled back
            writer_.reset();
            lookups_.reset();
            table_.deleteAll(); // the table never keeps declarations between runs
        } catch (...) {
            // Emptying at the end is quiet; the next run empties the table first.
        }
        try {
            if (table_.isOpen()) table_.close();
            if (communes_.isOpen()) communes_.close();
            if (cities_.isOpen()) cities_.close();
        } catch (...) {
            // Closing only releases files; nothing is left to report.
        }
    }

    DictionaryProblem openDictionaries(bool withoutCities) override {
        const fs::path folder = store_.locations_.dictionaryDir;
        try {
            communes_.open(folder / kCommuneDictionaryFile);
        } catch (const std::exception&) {
            return {DictionaryOpenResult::AccessError, kCommuneDictionaryFile};
        }
        if (!withoutCities) {
            try {
                cities_.open(folder / kCityDictionaryFile);
            } catch (const std::exception&) {
                return {DictionaryOpenResult::AccessError, kCityDictionaryFile};
            }
        }
        try {
            communes_.ensureSearchIndex();
        } catch (const std::exception&) {
            return {DictionaryOpenResult::IndexError, kCommuneDictionaryFile};
        }

        const GlobalVar& settings = store_.settings_;
        lookups_ = std::make_unique<DictionaryLookups>(
            communes_, withoutCities ? nullptr : &cities_, settings.KodWojew);
        store_.report_.clear();
        writer_ = std::make_unique<DeclarationWriter>(
            table_, *lookups_, ConversionSettings{settings.NrInstalacji, settings.KodOddzialuNFZ},
            store_.report_);
        writer_->startRun();
        transaction_ = std::make_unique<store::AppendTransaction>(table_);
        return {};
    }

    void append(const DeclarationRow& row) override { writer_->WriteDeclarationRow(row); }

    WorkingTableCursor& commit() override {
        transaction_->commit();
        transaction_.reset();
        writer_.reset();
        return table_;
    }

private:
    const WorkingTableStore& store_;
    store::WorkingTable table_;
    store::CommuneDictionary communes_;
    store::CityDictionary cities_;
    std::unique_ptr<DictionaryLookups> lookups_;
    std::unique_ptr<DeclarationWriter> writer_;
    std::unique_ptr<store::AppendTransaction> transaction_;
};

WorkingTableStore::WorkingTableStore(const ImportLocations& locations, const GlobalVar& settings,
                                     ImportReport& report)
    : locations_(locations), settings_(settings), report_(report) {}

std::unique_ptr<DeclarationRun> WorkingTableStore::open() {
    const fs::path file = locations_.workingTableDir / kWorkingTableFile;
    try {
        store::WorkingTable table;
        table.open(file, store::WorkingTable::Access::Exclusive);
        table.deleteAll();
        table.close();
    } catch (const std::exception&) {
        return nullptr;
    }
    return std::make_unique<Run>(*this, file);
}

} // namespace xls2qdp
