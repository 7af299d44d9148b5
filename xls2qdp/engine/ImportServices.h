// SPDX-License-Identifier: MIT
// The parts of the importer that an import run drives: the workbook reader,
// the table store with its dictionaries, the output-name generator and the
// POZ package build. The production set wires the real modules
// (DefaultImportServices); tests give fakes. Except where noted the services
// show no messages: the workflow owns the texts of the run.
#pragma once

#include "import/DeclarationRow.h"
#include "common/MessageSink.h"
#include "common/GlobalVar.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace xls2qdp {

enum class DictionaryOpenResult { Opened, AccessError, IndexError };

struct DictionaryProblem {
    DictionaryOpenResult result = DictionaryOpenResult::Opened;
    std::string tableName; // the table the error concerns
};

class ImportServices {
public:
    virtual ~ImportServices() = default;

    // Working table: delete all its records (false on any error).
    virtual bool emptyWorkTable() = 0;
    virtual void openWorkTable() = 0; // throws on errors of the table store
    // Opens the commune dictionary (creating its name index when missing)
    // and, unless withoutCities, the city dictionary.
    virtual DictionaryProblem openDictionaries(bool withoutCities) = 0;
    // Appends one record made from one sheet row; throws on store errors.
    virtual void writeDeclarationRow(const DeclarationRow& row) = 0;
    // Closes the working table and the dictionaries; never throws.
    virtual void closeTables() noexcept = 0;

    // A full path in folder (which ends with a delimiter) of a package file
    // that does not exist yet, named prefix + time stamp + ".qdp". Shows
    // its own message on failure.
    virtual std::optional<std::filesystem::path>
    newFileName(const std::string& folder, const std::string& prefix, MessageSink& messages) = 0;

    // Opens the workbook and reads its first rows; shows its own message on failure.
    virtual bool openWorkbook(const std::filesystem::path& file, MessageSink& messages) = 0;
    // 0 when the header row is right, else the first column (1..11) that differs.
    virtual int checkSheetStructure() = 0;
    // Fills row with the next data row; false at the end of the data.
    virtual bool readSheetRow(DeclarationRow& row) = 0; // throws on reader errors
    virtual void closeWorkbook() noexcept = 0;

    // Creates and initialises the POZ package from the working table; false
    // on failure (the workflow then shows its message).
    virtual bool initPackage(const GlobalVar& settings) = 0;
    // Builds and saves the package; 1 when written, else the package layer's
    // result code (it has shown its own message).
    virtual int makePackage(const std::filesystem::path& outputFile,
                            const std::string& temporaryFolder, MessageSink& messages) = 0;
    // Frees the package object; never throws.
    virtual void releasePackage() noexcept = 0;
};

} // namespace xls2qdp

namespace xls2qdp {
// Makes a fresh set of services for one import run with the program's settings.
using ImportServicesFactory = std::function<std::unique_ptr<ImportServices>(const GlobalVar&)>;
} // namespace xls2qdp
