// SPDX-License-Identifier: MIT
// The tables of one import run in one place: the working table, the two
// dictionaries, the row writer and the import report, in the order a run
// uses them:
//   emptyWorkTable, openWorkTable, openDictionaries,
//   startRows, WriteDeclarationRow for every row, finishRows,
//   (the package reads workingTable()), closeTables, emptyWorkTable.
// The rows of a run become visible to other connections only at
// finishRows(); a run that ends before it (stopped, failed) leaves none.
#pragma once

#include "conversion/DeclarationWriter.h"
#include "conversion/DictionaryLookups.h"
#include "conversion/ImportReport.h"
#include "store/CityDictionary.h"
#include "store/CommuneDictionary.h"
#include "store/WorkingTable.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace xls2qdp {

enum class DictionaryStatus { Opened, AccessError, IndexError };

struct DictionariesOpened {
    DictionaryStatus status = DictionaryStatus::Opened;
    std::string tableName; // the table the error concerns
    std::string errorText; // the store's own text
};

class ImportTables {
public:
    ImportTables(std::filesystem::path workingTableDir, std::filesystem::path dictionaryDir);
    ~ImportTables();

    std::filesystem::path workingTableFile() const;
    std::filesystem::path communeDictionaryFile() const;
    std::filesystem::path cityDictionaryFile() const;

    // Deletes every record of the working table, using it exclusively
    // meanwhile; false on any error (the text is in lastError()).
    bool emptyWorkTable() noexcept;
    // Opens the working table for the run; throws store::StoreError.
    void openWorkTable();
    // Opens the commune dictionary, adding its index "SlNazwa" when missing,
    // and, unless withoutCities, the city dictionary.
    DictionariesOpened openDictionaries(bool withoutCities) noexcept;

    // Begins the rows of a run: counter at 0, report cleared, transaction open.
    void startRows(const ConversionSettings& settings, const std::string& voivodeship,
                   DeclarationWriter::Clock clock = {});
    // Converts and appends one row; throws store::StoreError.
    int WriteDeclarationRow(const DeclarationRow& row);
    // Keeps the rows written since startRows(); throws store::StoreError.
    void finishRows();
    int declarationCount() const { return writer_ ? writer_->declarationCount() : 0; }

    // The working table as the package sections read it.
    WorkingTableCursor& workingTable() { return table_; }
    ImportReport& report() { return report_; }

    // Drops unfinished rows and closes every table; never throws.
    void closeTables() noexcept;

    const std::string& lastError() const { return lastError_; }

private:
    std::filesystem::path workingTableDir_;
    std::filesystem::path dictionaryDir_;
    store::WorkingTable table_;
    store::CommuneDictionary communes_;
    store::CityDictionary cities_;
    bool withCities_ = false;
    ImportReport report_;
    std::unique_ptr<DictionaryLookups> lookups_;
    std::unique_ptr<DeclarationWriter> writer_;
    std::unique_ptr<store::AppendTransaction> transaction_;
    std::string lastError_;
};

} // namespace xls2qdp
