// SPDX-License-Identifier: MIT
#include "WorkingTableStore.h"

#include "common/FileErrorText.h"
#include "common/FolderAccess.h"
#include "common/ProgramLocations.h"
#include "import/conversion/DeclarationWriter.h"
#include "import/conversion/DictionaryLookups.h"
#include "import/conversion/ImportReport.h"
#include "import/store/CityDictionary.h"
#include "import/store/CommuneDictionary.h"
#include "import/store/WorkingTable.h"

#include <cerrno>
#include <cstdio>

namespace xls2qdp {

namespace fs = std::filesystem;

namespace {

// Why the working table cannot be used, in words the user can act on: the
// table and its folder (where the store keeps its journal) must be writable.
std::string workingTableProblem(const fs::path& file, const std::string& storeError) {
    std::error_code error;
    if (fs::is_directory(file, error)) return "to jest katalog, a nie plik tabeli";
    errno = 0;
    if (std::FILE* probe = std::fopen(file.string().c_str(), "r+b"))
        std::fclose(probe);
    else
        return "nie można otworzyć pliku do zapisu: " +
               describeFileError({errno != 0 ? errno : EACCES, std::generic_category()});
    if (const std::string problem = folderWriteProblem(file.parent_path()); !problem.empty())
        return "nie można zapisywać w katalogu tabeli: " + problem;
    // The table store's own words for what it met.
    static constexpr std::pair<std::string_view, std::string_view> kKnown[] = {
        {"file is not a database", "plik nie jest tabelą programu (uszkodzony lub podmieniony)"},
        {"readonly database", "plik jest tylko do odczytu"},
        {"database is locked", "plik jest używany przez inny program"},
        {"disk I/O error", "błąd odczytu lub zapisu dysku"},
    };
    for (const auto& [english, polish] : kKnown)
        if (storeError.find(english) != std::string::npos) return std::string(polish);
    return storeError;
}

} // namespace

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
        // The run's lookups see one state of each dictionary, and skip the
        // file checks a lookup of its own would make.
        try {
            communes_.holdSnapshot();
        } catch (const std::exception&) {
            return {DictionaryOpenResult::AccessError, kCommuneDictionaryFile};
        }
        if (!withoutCities) {
            try {
                cities_.holdSnapshot();
            } catch (const std::exception&) {
                return {DictionaryOpenResult::AccessError, kCityDictionaryFile};
            }
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

    bool append(const DeclarationRow& row) override {
        if (!DeclarationWriter::isDeclaration(row)) {
            writer_->WriteDeclarationRow(row); // only notes it
            return false;
        }
        writer_->WriteDeclarationRow(row);
        return true;
    }

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

std::unique_ptr<DeclarationRun> WorkingTableStore::open(std::string& failure) {
    const fs::path file = locations_.workingTableDir / kWorkingTableFile;
    try {
        store::WorkingTable table;
        table.open(file, store::WorkingTable::Access::Exclusive);
        table.deleteAll();
        table.close();
    } catch (const std::exception& error) {
        failure =
            "Plik: " + file.string() + "\r\nPowód: " + workingTableProblem(file, error.what());
        return nullptr;
    }
    return std::make_unique<Run>(*this, file);
}

} // namespace xls2qdp
